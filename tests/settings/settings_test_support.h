// What the settings program's tests share: a virtual unit behind the device
// port, the headless backend playing the user, a fresh registry and a way to run
// the program as a user starts it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "device/ioctl.h"
#include "settings/resource.h"
#include "ui/headless.h"
#include "virtual_unit/virtual_unit.h"

namespace settings_test {

inline constexpr LANGID kEnglish = 0x0409;
inline constexpr LANGID kGerman = 0x0407;
inline constexpr LANGID kJapanese = 0x0411;

// A present unit that supports `rates` and runs at `rate`.
vu::UnitConfig Unit(std::initializer_list<uint32_t> rates = {44100, 48000}, uint32_t rate = 44100);

// String `id` of the program's table for `language`, "__MODEL__" filled in.
std::wstring ProgramString(UINT id, LANGID language = kEnglish);

// The main dialog is the one running on `ui`.
inline bool MainDialogRunning(const ui::HeadlessBackend& ui) {
    return ui.ActiveDialog() != nullptr && ui.Item(IDC_SLD_BUFFER) != nullptr;
}

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest();
    ~SettingsTest() override;

    void Connect(int unit, const vu::UnitConfig& config = Unit());

    // Starts the program as the user does: a new application object, run until
    // its dialog closes. Returns the exit status.
    int RunProgram(const std::wstring& commandLine = L"");

    // The installation record.
    void SetInstallValue(const wchar_t* name, const std::wstring& value);
    // A folder holding "Readme\<file>" for each file given, made the installation folder.
    std::filesystem::path InstallReadmes(const std::vector<const char*>& files);

    // Texts of the message boxes shown so far.
    std::vector<std::wstring> Messages() const;


    size_t Requests(uint32_t code, int unit = 0) const { return units_.CountRequests(code, unit); }

    vu::VirtualUnit units_;
    vu::ScopedInstall install_{units_};
    ui::HeadlessBackend ui_;
    std::filesystem::path temp_;
};

}  // namespace settings_test
