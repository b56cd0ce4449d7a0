#include "settings_test_support.h"

#include <cstdlib>
#include <unistd.h>

#include "settings/drv_prop_app.h"
#include "settings/install_record.h"
#include "settings/resources.h"
#include "settings/text.h"
#include "win32_linux.h"

namespace settings_test {

namespace {

// Named mutexes are visible to every process of the user. Each test program
// gets a namespace of its own, so that test programs running side by side do
// not see each other's single-instance guard.
struct MutexNamespace {
    std::filesystem::path folder;
    MutexNamespace() {
        char pattern[] = "/tmp/mxsettings-test-XXXXXX";
        if (mkdtemp(pattern) != nullptr) {
            folder = pattern;
            setenv("XDG_RUNTIME_DIR", pattern, 1);
        }
    }
    ~MutexNamespace() {
        std::error_code ignored;
        if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
    }
};
const MutexNamespace g_mutexNamespace;

}  // namespace

vu::UnitConfig Unit(std::initializer_list<uint32_t> rates, uint32_t rate) {
    vu::UnitConfig config;
    config.rateCount = 0;
    for (uint32_t r : rates)
        if (config.rateCount < vu::kMaxRates) config.rates[config.rateCount++] = r;
    config.driverRate = rate;
    config.unitRate = rate;
    return config;
}

std::wstring ProgramString(UINT id, LANGID language) {
    const ui::StringTable* table = ui::ResolveStringTable(settings::ProgramResources(), language);
    const wchar_t* text = table ? ui::FindString(*table, id) : nullptr;
    return text ? settings::ReplaceAll(text, settings::kModelPlaceholder, L"Calvera") : std::wstring();
}

SettingsTest::SettingsTest() {
    MxRegistryReset();
    ui::SetBackend(&ui_);
    char pattern[] = "/tmp/mxsettings-case-XXXXXX";
    if (mkdtemp(pattern) != nullptr) temp_ = pattern;
}

SettingsTest::~SettingsTest() {
    ui::SetBackend(nullptr);
    MxRegistryUseFile(nullptr);
    MxRegistryReset();
    std::error_code ignored;
    if (!temp_.empty()) std::filesystem::remove_all(temp_, ignored);
}

void SettingsTest::Connect(int unit, const vu::UnitConfig& config) { ASSERT_TRUE(units_.Configure(unit, config)); }

int SettingsTest::RunProgram(const std::wstring& commandLine) {
    CDrvPropApp app;
    return ui::RunApplication(app, commandLine);
}

void SettingsTest::SetInstallValue(const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, InstallKeyPath().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

std::filesystem::path SettingsTest::InstallReadmes(const std::vector<const char*>& files) {
    const std::filesystem::path folder = temp_ / "install";
    std::filesystem::create_directories(folder / "Readme");
    for (const char* file : files) {
        FILE* f = std::fopen((folder / "Readme" / file).c_str(), "w");
        if (f != nullptr) {
            std::fputs("<html></html>", f);
            std::fclose(f);
        }
    }
    SetInstallValue(nullptr, folder.wstring());
    return folder;
}

std::vector<std::wstring> SettingsTest::Messages() const {
    std::vector<std::wstring> texts;
    for (const ui::MessageBoxRecord& box : ui_.MessageBoxes()) texts.push_back(box.text);
    return texts;
}

}  // namespace settings_test
