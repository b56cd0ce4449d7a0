// The driver's controlPanel reaches the settings program: the 32-bit build
// through the launcher, found like the settings program on the search path.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "driver_loader.h"
#include "package_test_support.h"
#include "win32_linux.h"

namespace {

using package_test::DriverLibrary;
using package_test::ReadLines;
using package_test::TempDir;
using package_test::WaitForFile;
using package_test::WriteStandIn;

struct MessageBoxes {
    int shown = 0;
    std::string text;
    static int Respond(void* context, HWND, const char* text, const char*, UINT) {
        auto* self = static_cast<MessageBoxes*>(context);
        ++self->shown;
        self->text = text != nullptr ? text : "";
        return IDOK;
    }
};

class ControlPanel : public ::testing::Test {
protected:
    void SetUp() override {
        const char* path = std::getenv("PATH");
        savedPath_ = path != nullptr ? path : "";
        std::filesystem::create_directory(dir_ / "settings");
        // A stand-in for the settings program that records how it was started.
        WriteStandIn(dir_ / "settings" / "Mxcp4410.exe", record_);
        MxSetMessageBoxResponder(&MessageBoxes::Respond, &boxes_);
    }
    void TearDown() override {
        MxSetMessageBoxResponder(nullptr, nullptr);
        setenv("PATH", savedPath_.c_str(), 1);
    }

    TempDir dir_;
    const std::filesystem::path record_ = dir_ / "record";
    std::string savedPath_;
    MessageBoxes boxes_;
};

TEST_F(ControlPanel, EachBuildReachesTheSettingsProgram) {
    const std::string launcherDir = std::filesystem::path(MX_LAUNCHER).parent_path().string();
    const std::string settingsDir = (dir_ / "settings").string();
    struct Case {
        const char* library;
        bool launcherOnPath;
        bool started;                 // the settings program runs
        const char* failedCommand;    // else: the command line the message box shows
    };
    static const Case kCases[] = {
        {MX_DRIVER_LIBRARY_32, true, true, nullptr},
        {MX_DRIVER_LIBRARY_32, false, false, "Mxlh4410.dat Mxcp4410.exe DrvConfig 0"},
        {MX_DRIVER_LIBRARY_64, false, true, nullptr},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.library) + (c.launcherOnPath ? " with the launcher" : " without the launcher"));
        std::filesystem::remove(record_);
        boxes_ = {};
        const std::string path = c.launcherOnPath ? settingsDir + ":" + launcherDir : settingsDir;
        setenv("PATH", path.c_str(), 1);

        DriverLibrary library(c.library);
        ASSERT_TRUE(library.Loaded());
        IASIO* driver = library.CreateDriver();
        ASSERT_NE(driver, nullptr);
        EXPECT_EQ(driver->controlPanel(), ASE_OK);
        driver->Release();

        if (c.started) {
            EXPECT_EQ(boxes_.shown, 0) << boxes_.text;
            ASSERT_TRUE(WaitForFile(record_));
            const std::vector<std::string> expected = {"Mxcp4410.exe", "DrvConfig", "0"};
            EXPECT_EQ(ReadLines(record_), expected);
        } else {
            EXPECT_EQ(boxes_.shown, 1);
            EXPECT_EQ(boxes_.text, c.failedCommand);
        }
    }
}

}  // namespace
