// The Linux installation: `cmake --install` of the calvera component lays the
// files out under a prefix, registers the drivers and writes the installation
// record into the platform registry file; the settings program then finds its
// version line and README exactly as on Windows. The uninstaller takes all of
// it away again and leaves the registry as it found it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "device/identity.h"
#include "driver_loader.h"
#include "package_test_support.h"
#include "settings/drv_prop_app.h"
#include "settings/install_record.h"
#include "settings/resource.h"
#include "settings/resources.h"
#include "ui/app.h"
#include "ui/headless.h"
#include "virtual_unit/virtual_unit.h"
#include "win32_linux.h"

namespace {

using package_test::DriverLibrary;
using package_test::ReadFile;
using package_test::RunProgram;
using package_test::TempDir;

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT);
constexpr LANGID kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_DEFAULT);
constexpr LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

std::wstring Widen(const std::string& text) {
    // Paths and the recorded texts here are ASCII.
    return std::wstring(text.begin(), text.end());
}

std::wstring ProgramString(LANGID language, UINT id) {
    const ui::StringTable* table = ui::ResolveStringTable(settings::ProgramResources(), language);
    const wchar_t* text = table != nullptr ? ui::FindString(*table, id) : nullptr;
    return text != nullptr ? text : L"";
}

std::wstring ReplaceAll(std::wstring text, const std::wstring& from, const std::wstring& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::wstring::npos; at += to.size()) text.replace(at, from.size(), to);
    return text;
}

bool KeyExists(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::string ReadString(HKEY root, const std::string& path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    char buffer[512] = {};
    DWORD size = sizeof buffer - 1;
    const LSTATUS read = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS ? std::string(buffer) : "<no value>";
}

void CreateKeyWithValue(HKEY root, const char* path, const char* name, const char* text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                             static_cast<DWORD>(std::strlen(text) + 1)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

// What the settings program shows once it has opened its dialog.
struct SettingsView {
    bool mainDialog = false;
    std::wstring version;
    bool readmeEnabled = false;
};

class LinuxInstall : public ::testing::Test {
protected:
    void SetUp() override {
        // The settings program's single-instance guard is a named mutex visible
        // to the user's other processes; this test keeps its own namespace.
        std::filesystem::create_directory(dir_ / "runtime");
        setenv("XDG_RUNTIME_DIR", (dir_ / "runtime").c_str(), 1);

        // A registry that already holds another driver's entries, which the
        // installation must leave alone.
        MxRegistryUseFile(registry_.c_str());
        CreateKeyWithValue(HKEY_CLASSES_ROOT, "CLSID\\{0E5B1C7A-1111-4222-8333-944455556666}\\InprocServer32", nullptr,
                           "C:\\Windows\\system32\\other.dll");
        CreateKeyWithValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO\\Other Interface", "CLSID",
                           "{0E5B1C7A-1111-4222-8333-944455556666}");
        baseline_ = ReadFile(registry_);
    }
    void TearDown() override { MxRegistryUseFile(nullptr); }

    int Install() {
        return RunProgram({MX_CMAKE_COMMAND, "--install", MX_BUILD_DIR, "--prefix", prefix_.string(), "--component", "calvera"},
                   {{"MX_REGISTRY_FILE", registry_.string()}, {"DESTDIR", ""}});
    }
    // Without MX_REGISTRY_FILE: the uninstaller cleans the registry the
    // installation used.
    int Uninstall() { return RunProgram({(folder_ / "uninstall.sh").string()}, {{"MX_REGISTRY_FILE", ""}}); }

    // Runs the settings program in this process, as the user starts it, with a
    // unit connected or not, and looks at the dialog it opens.
    SettingsView RunSettings(LANGID language, bool unitConnected) {
        vu::UnitSet units;
        units.units[0].present = unitConnected;
        vu::VirtualUnit model(units);
        vu::ScopedInstall install(model);
        ui::HeadlessBackend backend;
        backend.SetUserLanguage(language);
        ui::SetBackend(&backend);
        SettingsView view;
        backend.Do([&] {
            view.mainDialog = backend.Item(IDC_SLD_BUFFER) != nullptr;
            view.version = backend.Item(IDC_STC_VERSION) != nullptr ? backend.Text(IDC_STC_VERSION) : L"";
            view.readmeEnabled = backend.IsEnabled(IDC_BTN_README);
        });
        {
            CDrvPropApp app;
            ui::RunApplication(app, L"");
        }
        ui::SetBackend(nullptr);
        return view;
    }

    TempDir dir_;
    const std::filesystem::path registry_ = dir_ / "registry";
    const std::filesystem::path prefix_ = dir_ / "prefix";
    const std::filesystem::path folder_ = prefix_ / "Calvera";
    std::string baseline_;
};

TEST_F(LinuxInstall, LaysOutTheFilesAndWritesTheInstallationRecord) {
    ASSERT_EQ(Install(), 0);

    static const char* const kFiles[] = {
        "system32/Mxsb4410.so", "syswow64/Mxsa4410.so", "lib/libmxplatform.so", "Calvera/Mxcp4410.exe",
        "Calvera/Mxlh4410.dat", "Calvera/uninstall.sh", "bin/Mxcp4410.exe",     "bin/Mxlh4410.dat",
    };
    for (const char* file : kFiles) EXPECT_TRUE(std::filesystem::is_regular_file(prefix_ / file)) << file;

    // Read as the settings program reads it.
    std::wstring value;
    EXPECT_TRUE(ReadInstallValue(nullptr, value));
    EXPECT_EQ(value, Widen(folder_.string()));
    EXPECT_TRUE(ReadInstallValue(L"version", value));
    EXPECT_EQ(value, Widen(MX_PACKAGE_VERSION));
    EXPECT_TRUE(ReadInstallValue(L"copyright", value));
    EXPECT_EQ(value, Widen(MX_PACKAGE_COPYRIGHT));

    // Every language's README where the program's relative path points.
    for (size_t i = 0; i < settings::ProgramResources().tableCount; ++i) {
        const ui::StringTable& table = settings::ProgramResources().tables[i];
        const wchar_t* relative = ui::FindString(table, IDS_README_PATH);
        ASSERT_NE(relative, nullptr);
        SCOPED_TRACE(testing::PrintToString(std::wstring(relative)));
        EXPECT_TRUE(ui::IsExistingFile(Widen(folder_.string()) + L"\\" + relative));
    }
}

TEST_F(LinuxInstall, SettingsProgramShowsTheRecordedVersionAndItsReadme) {
    ASSERT_EQ(Install(), 0);
    struct Case {
        LANGID language;
        bool unitConnected;
    };
    static const Case kCases[] = {{kEnglish, true}, {kGerman, true}, {kJapanese, true}, {kEnglish, false}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << "language " << c.language << (c.unitConnected ? ", unit" : ", no unit"));
        const SettingsView view = RunSettings(c.language, c.unitConnected);
        EXPECT_EQ(view.mainDialog, c.unitConnected);
        if (c.unitConnected) {
            const std::wstring expected = ReplaceAll(ReplaceAll(ProgramString(c.language, IDS_VERSION_LINE), L"__MODEL__",
                                                                L"Calvera"),
                                                     L"__VERSION__", Widen(MX_PACKAGE_VERSION));
            EXPECT_EQ(view.version, expected);
        }
        EXPECT_TRUE(view.readmeEnabled);
    }

    ASSERT_EQ(Uninstall(), 0);
    const SettingsView after = RunSettings(kEnglish, true);
    EXPECT_TRUE(after.mainDialog);
    EXPECT_EQ(after.version, L"");
    EXPECT_FALSE(after.readmeEnabled);
}

TEST_F(LinuxInstall, UninstallRemovesEverythingItAddedAndNothingElse) {
    ASSERT_EQ(Install(), 0);
    ASSERT_NE(ReadFile(registry_), baseline_);
    ASSERT_EQ(Uninstall(), 0);

    EXPECT_EQ(ReadFile(registry_), baseline_);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(prefix_))
        left.push_back(entry.path().lexically_relative(prefix_).string());
    EXPECT_TRUE(left.empty()) << testing::PrintToString(left);
}

// Whether the driver library writes its registration yet: registered into a
// scratch registry in memory, it leaves its ASIO entry behind.
bool DriverWritesItsRegistration() {
    MxRegistryUseFile(nullptr);
    MxRegistryReset();
    bool written = false;
    {
        DriverLibrary library(MX_DRIVER_LIBRARY_64);
        auto registerServer = library.Export<HRESULT (*)()>("DllRegisterServer");
        if (registerServer != nullptr && registerServer() == S_OK)
            written = KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO\\Calvera");
    }
    MxRegistryReset();
    return written;
}

TEST_F(LinuxInstall, RegistersTheDriversForHostsAndUnregistersThem) {
    if (!DriverWritesItsRegistration()) {
        MxRegistryUseFile(registry_.c_str());
        GTEST_SKIP() << "the driver library does not write its registration yet";
    }
    MxRegistryUseFile(registry_.c_str());
    ASSERT_EQ(Install(), 0);

    const std::string classKey = std::string("CLSID\\") + device::kDriverClassIdString;
    const std::string asioKey = std::string("SOFTWARE\\ASIO\\") + device::kModelName;
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, asioKey, "CLSID"), device::kDriverClassIdString);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, asioKey, "Description"), device::kModelName);
    // The 64-bit library registers first; the 32-bit one, registered from its
    // own system folder, leaves that class entry alone, as it would in a
    // registry with one view.
    const std::string module = ReadString(HKEY_CLASSES_ROOT, classKey + "\\InprocServer32", nullptr);
    EXPECT_EQ(module.rfind((prefix_ / "system32").string() + "\\", 0), 0u) << module;
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, classKey + "\\InprocServer32", "ThreadingModel"), "Apartment");

    ASSERT_EQ(Uninstall(), 0);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, classKey.c_str()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, asioKey.c_str()));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO"));
    EXPECT_EQ(ReadFile(registry_), baseline_);
}

}  // namespace
