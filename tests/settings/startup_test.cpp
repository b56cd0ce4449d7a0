// Starting the program: which dialog, the single-instance guard, the no-device
// dialog with its README button, and a registry left as it was.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "settings/drv_prop_app.h"
#include "settings_test_support.h"
#include "win32_linux.h"

namespace settings_test {
namespace {

using StartupTest = SettingsTest;

TEST_F(StartupTest, NoUnitShowsTheNoDeviceDialog) {
    static const struct {
        LANGID language;
        const wchar_t* title;
    } kCases[] = {{kEnglish, L"Calvera Driver Settings"}, {kJapanese, L"Calvera ドライバー設定"}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << "language 0x" << std::hex << c.language);
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        ui.SetUserLanguage(c.language);
        ui.Do([&] {
            EXPECT_EQ(ui.Title(), c.title);
            EXPECT_EQ(ui.Text(IDC_NODEV_MESSAGE), ProgramString(IDS_NOT_CONNECTED, c.language));
            EXPECT_EQ(ui.Text(IDC_BTN_README), ProgramString(IDS_SHOW_README, c.language));
            EXPECT_EQ(ui.Text(IDOK), ProgramString(IDS_OK, c.language));
            EXPECT_FALSE(ui.IsEnabled(IDC_BTN_README)) << "no installation record";
            EXPECT_EQ(ui.WindowStyle(ui.ActiveDialog()) & WS_SYSMENU, 0u);
            EXPECT_NE(ui.WindowIcon(ui.ActiveDialog(), true), nullptr);
            EXPECT_NE(ui.WindowIcon(ui.ActiveDialog(), false), nullptr);
        });
        ui.PressKey(VK_ESCAPE);
        RunProgram();
        ASSERT_EQ(ui.Dialogs().size(), 1u);
        EXPECT_EQ(ui.Dialogs()[0].templateId, IDD_NODEVICE_DIALOG);
        EXPECT_TRUE(ui.Dialogs()[0].shown);
        EXPECT_EQ(ui.Dialogs()[0].result, IDCANCEL) << "Esc closes it";
        EXPECT_FALSE(ui.ScriptExhausted());
        EXPECT_EQ(ui.CommonControlClasses(), 0xFFu);
    }
    EXPECT_EQ(Requests(0), 0u) << "no request reaches a unit that is not there";
}

TEST_F(StartupTest, OkClosesTheNoDeviceDialog) {
    ui_.Click(IDOK);
    RunProgram();
    ASSERT_EQ(ui_.Dialogs().size(), 1u);
    EXPECT_EQ(ui_.Dialogs()[0].result, IDOK);
}

TEST_F(StartupTest, ReadmeButtonOnlyForAnExistingDocumentOfTheUsersLanguage) {
    static const struct {
        const char* name;
        LANGID language;
        std::vector<const char*> files;  // created in <folder>\Readme
        bool folderNamedLikeTheDocument;
        bool enabled;
        const char* opened;
    } kCases[] = {
        {"English document, English user", kEnglish, {"Readme_EN.htm"}, false, true, "Readme_EN.htm"},
        {"English document, Japanese user", kJapanese, {"Readme_EN.htm"}, false, false, nullptr},
        {"Japanese document, Japanese user", kJapanese, {"Readme_EN.htm", "Readme_JP.htm"}, false, true,
         "Readme_JP.htm"},
        {"German document, Swiss German user", 0x0807, {"Readme_DE.htm"}, false, true, "Readme_DE.htm"},
        {"a folder named like the document", kEnglish, {}, true, false, nullptr},
        {"no document", kEnglish, {}, false, false, nullptr},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        ui.SetUserLanguage(c.language);
        const std::filesystem::path folder = InstallReadmes(c.files);
        if (c.folderNamedLikeTheDocument) std::filesystem::create_directories(folder / "Readme" / "Readme_EN.htm");
        ui.Do([&] { EXPECT_EQ(ui.IsEnabled(IDC_BTN_README), c.enabled); });
        ui.Click(IDC_BTN_README);
        ui.Click(IDOK);
        RunProgram();
        if (c.opened == nullptr) {
            EXPECT_TRUE(ui.ShellOpens().empty());
        } else {
            ASSERT_EQ(ui.ShellOpens().size(), 1u);
            EXPECT_EQ(ui.ShellOpens()[0].file, folder.wstring() + L"\\Readme\\" + std::filesystem::path(c.opened).wstring());
            EXPECT_EQ(ui.ShellOpens()[0].parameters, L"");
            EXPECT_EQ(ui.ShellOpens()[0].directory, L"");
            EXPECT_EQ(ui.ShellOpens()[0].showCommand, SW_SHOWNORMAL);
        }
        std::filesystem::remove_all(folder);
    }
}

TEST_F(StartupTest, ReadmeRemovedAfterOpeningIsNotOpened) {
    const std::filesystem::path folder = InstallReadmes({"Readme_EN.htm"});
    ui_.Do([&] {
        EXPECT_TRUE(ui_.IsEnabled(IDC_BTN_README));
        std::filesystem::remove(folder / "Readme" / "Readme_EN.htm");
    });
    ui_.Click(IDC_BTN_README);
    ui_.Click(IDOK);
    RunProgram();
    EXPECT_TRUE(ui_.ShellOpens().empty());
}

TEST_F(StartupTest, ReadmeNeedsANonEmptyInstallationFolder) {
    InstallReadmes({"Readme_EN.htm"});
    SetInstallValue(nullptr, L"");
    ui_.Do([&] { EXPECT_FALSE(ui_.IsEnabled(IDC_BTN_README)); });
    ui_.Click(IDOK);
    RunProgram();
}

TEST_F(StartupTest, AUnitInAnySlotOpensTheMainDialog) {
    for (int slot = 1; slot <= 4; ++slot) {
        SCOPED_TRACE(testing::Message() << "unit " << slot);
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        ASSERT_TRUE(units_.Configure(vu::UnitSet()));
        Connect(slot);
        ui.Do([&] { EXPECT_TRUE(MainDialogRunning(ui)); });
        ui.Click(IDOK);
        RunProgram();
        ASSERT_EQ(ui.Dialogs().size(), 1u);
        EXPECT_EQ(ui.Dialogs()[0].templateId, IDD_DRVPROP_DIALOG);
        EXPECT_TRUE(ui.Dialogs()[0].shown);
        EXPECT_EQ(ui.Dialogs()[0].result, IDOK);
    }
}

TEST_F(StartupTest, ArgumentsMakeNoDifference) {
    Connect(1);
    std::vector<std::vector<uint32_t>> requests;
    std::vector<std::wstring> titles;
    for (const wchar_t* commandLine : {L"", L"DrvConfig 0", L"whatever --else"}) {
        SCOPED_TRACE(testing::Message() << "command line \"" << std::filesystem::path(commandLine).string() << "\"");
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        units_.ClearLog();
        ui.Do([&] { titles.push_back(ui.Title()); });
        ui.Wait(1000);
        ui.Click(IDOK);
        RunProgram(commandLine);
        std::vector<uint32_t> codes;
        for (const vu::LogEntry& entry : units_.Log()) codes.push_back(entry.code);
        requests.push_back(codes);
    }
    EXPECT_EQ(requests[1], requests[0]);
    EXPECT_EQ(requests[2], requests[0]);
    EXPECT_EQ(titles, (std::vector<std::wstring>(3, L"Calvera Driver Settings")));
}

// A second start while the first instance's dialog is open: it brings that
// dialog forward and ends without a dialog or a request of its own.
TEST_F(StartupTest, SecondInstanceBringsTheRunningDialogForward) {
    for (bool withUnit : {true, false}) {
        SCOPED_TRACE(withUnit ? "main dialog" : "no-device dialog");
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        ASSERT_TRUE(units_.Configure(vu::UnitSet()));
        if (withUnit) Connect(2);
        ui.Do([&] {
            const HWND first = ui.ActiveDialog();
            const HWND other = ui.AddForeignWindow(L"Some editor");
            EXPECT_EQ(ui.ZOrder().front(), other);
            const size_t requestsBefore = units_.Log().size();
            const size_t dialogsBefore = ui.Dialogs().size();
            RunProgram(L"DrvConfig 0");
            EXPECT_EQ(ui.Foreground(), first);
            EXPECT_EQ(ui.ZOrder().front(), first);
            EXPECT_TRUE(ui.WindowVisible(first));
            EXPECT_EQ(ui.Dialogs().size(), dialogsBefore);
            EXPECT_EQ(units_.Log().size(), requestsBefore);
            EXPECT_EQ(ui.ActiveDialog(), first) << "the first instance runs on";
        });
        ui.PressKey(VK_RETURN);
        RunProgram();
        EXPECT_EQ(ui.Dialogs().size(), 1u);
        EXPECT_FALSE(ui.ScriptExhausted());
    }
}

TEST_F(StartupTest, WindowSearchTakesTheFirstTitleThatBeginsWithTheProgramTitle) {
    Connect(1);
    const std::wstring name = CDrvPropApp::InstanceName();
    EXPECT_EQ(name, L"com.calvera-audio.Mxcp4410.exe");
    const HANDLE otherInstance = CreateMutexW(nullptr, FALSE, name.c_str());
    ASSERT_NE(otherInstance, nullptr);

    // Front to back.
    const HWND olderMatch = ui_.AddForeignWindow(L"Calvera Driver Settings");
    const HWND match = ui_.AddForeignWindow(L"Calvera Driver Settings - unit 2");
    const HWND lowerCase = ui_.AddForeignWindow(L"calvera driver settings");
    const HWND shorter = ui_.AddForeignWindow(L"Calvera Driver Setting");
    EXPECT_EQ(ui_.ZOrder(), (std::vector<HWND>{shorter, lowerCase, match, olderMatch}));

    RunProgram();
    EXPECT_TRUE(ui_.Dialogs().empty());
    EXPECT_EQ(ui_.Foreground(), match);
    EXPECT_EQ(ui_.ZOrder(), (std::vector<HWND>{match, shorter, lowerCase, olderMatch}));
    EXPECT_EQ(Requests(0), 0u);
    CloseHandle(otherInstance);

    // Another program's window that does not match is left alone; the second start still ends.
    ui::HeadlessBackend ui;
    ui::SetBackend(&ui);
    const HANDLE again = CreateMutexW(nullptr, FALSE, name.c_str());
    const HWND unrelated = ui.AddForeignWindow(L"Driver Settings");
    RunProgram();
    EXPECT_TRUE(ui.Dialogs().empty());
    EXPECT_EQ(ui.Foreground(), nullptr);
    EXPECT_EQ(ui.ZOrder(), std::vector<HWND>{unrelated});
    CloseHandle(again);
}

TEST_F(StartupTest, GuardExistsWhileTheProgramRuns) {
    const std::wstring name = CDrvPropApp::InstanceName();
    ui_.Do([&] {
        const HANDLE seen = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, name.c_str());
        EXPECT_NE(seen, nullptr);
        if (seen) CloseHandle(seen);
    });
    ui_.Click(IDOK);
    RunProgram();
    EXPECT_EQ(OpenMutexW(MUTEX_ALL_ACCESS, FALSE, name.c_str()), nullptr) << "gone when the program has ended";
}

// --- the registry stays as it was ---

std::set<std::wstring> KeysUnder(HKEY root, const std::wstring& path) {
    std::set<std::wstring> keys;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.empty() ? nullptr : path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return keys;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const std::wstring child = path.empty() ? name : path + L"\\" + name;
        keys.insert(child);
        for (const std::wstring& below : KeysUnder(root, child)) keys.insert(below);
    }
    RegCloseKey(key);
    return keys;
}

std::set<std::wstring> AllKeys() {
    std::set<std::wstring> keys;
    for (const auto& [root, prefix] : {std::pair{HKEY_CLASSES_ROOT, L"HKCR\\"}, std::pair{HKEY_CURRENT_USER, L"HKCU\\"},
                                       std::pair{HKEY_LOCAL_MACHINE, L"HKLM\\"}})
        for (const std::wstring& key : KeysUnder(root, L"")) keys.insert(prefix + key);
    return keys;
}

std::string FileContents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(StartupTest, ProgramWritesNoRegistryKeyOrValue) {
    const std::filesystem::path store = temp_ / "registry.txt";
    MxRegistryUseFile(store.c_str());
    InstallReadmes({"Readme_EN.htm"});
    SetInstallValue(L"version", L"1.0.4");
    const std::set<std::wstring> keysBefore = AllKeys();
    const std::string storeBefore = FileContents(store);
    ASSERT_FALSE(storeBefore.empty());

    // No unit; then a unit with an Apply, a Default answered with Yes at CLOSE.
    ui_.Click(IDC_BTN_README);
    ui_.Click(IDOK);
    RunProgram();
    Connect(1);
    ui::HeadlessBackend ui;
    ui::SetBackend(&ui);
    ui.DragSlider(IDC_SLD_BUFFER, 2);
    ui.Click(IDC_BTN_APPLY);
    ui.Click(IDC_BTN_DEFAULT);
    ui.Wait(1000);
    ui.Click(IDOK);
    RunProgram();
    EXPECT_EQ(ui.MessageBoxes().size(), 1u) << "the pending-change question";

    EXPECT_EQ(AllKeys(), keysBefore);
    EXPECT_EQ(FileContents(store), storeBefore);
    MxRegistryUseFile(nullptr);
}

TEST_F(StartupTest, EveryMessageBoxHasABlankCaption) {
    vu::UnitConfig config = Unit();
    config.getResult = 0;
    Connect(1, config);
    RunProgram();
    ASSERT_EQ(ui_.MessageBoxes().size(), 1u);
    EXPECT_EQ(ui_.MessageBoxes()[0].caption, L" ");
    EXPECT_EQ(ui_.MessageBoxes()[0].type, static_cast<UINT>(MB_OK));
}

}  // namespace
}  // namespace settings_test
