// DllRegisterServer and DllUnregisterServer against the platform registry: the
// entries hosts and COM read, what a second registration rewrites, another
// file's class, and what unregistering leaves.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver_library.h"
#include "registration.h"
#include "win32_linux.h"

namespace {

constexpr char kClassKey[] = "CLSID\\{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}";
constexpr char kServerKey[] = "CLSID\\{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}\\InprocServer32";
constexpr char kAsioKey[] = "SOFTWARE\\ASIO";
constexpr char kDriverKey[] = "SOFTWARE\\ASIO\\Calvera";
constexpr char kModule64[] = "C:\\Windows\\System32\\Mxsb4410.dll";

bool KeyExists(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::string Value(HKEY root, const char* path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    char buffer[512] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    const LSTATUS read = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS) return "<no value>";
    if (type != REG_SZ) return "<not a string>";
    // Written with the terminating zero.
    if (size == 0 || buffer[size - 1] != '\0') return "<unterminated>";
    return buffer;
}

void Put(HKEY root, const char* path, const char* name, const char* text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    if (text != nullptr) {
        ASSERT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                 static_cast<DWORD>(std::strlen(text) + 1)),
                  ERROR_SUCCESS);
    }
    RegCloseKey(key);
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override {
        MxRegistryUseFile(nullptr);
        MxRegistryReset();
        const char* dir = std::getenv("MX_SYSTEM_DIR");
        m_savedDir = dir != nullptr ? dir : "";
        m_hadDir = dir != nullptr;
        // One trailing backslash is dropped from the system directory.
        setenv("MX_SYSTEM_DIR", "C:\\Windows\\System32\\", 1);
        m_handles = MxOpenHandleCount();
    }
    void TearDown() override {
        EXPECT_EQ(MxOpenHandleCount(), m_handles) << "every registry key is closed again";
        if (m_hadDir)
            setenv("MX_SYSTEM_DIR", m_savedDir.c_str(), 1);
        else
            unsetenv("MX_SYSTEM_DIR");
        MxRegistryReset();
    }
    void ExpectRegistered(const char* module) {
        EXPECT_EQ(Value(HKEY_CLASSES_ROOT, kClassKey, nullptr), "Calvera");
        EXPECT_EQ(Value(HKEY_CLASSES_ROOT, kServerKey, nullptr), module);
        EXPECT_EQ(Value(HKEY_CLASSES_ROOT, kServerKey, "ThreadingModel"), "Apartment");
        EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kDriverKey, "CLSID"), "{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}");
        EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kDriverKey, "Description"), "Calvera");
    }

    std::string m_savedDir;
    bool m_hadDir = false;
    DWORD m_handles = 0;
};

TEST_F(Registration, FreshRegistryGetsBothEntries) {
    EXPECT_EQ(RegisterDriver(), S_OK);
    ExpectRegistered(kModule64);
}

TEST_F(Registration, RegisteringAgainRewritesBothEntries) {
    ASSERT_EQ(RegisterDriver(), S_OK);
    // Values and keys added by hand under both entries.
    Put(HKEY_LOCAL_MACHINE, kDriverKey, "Extra", "by hand");
    Put(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO\\Calvera\\Deep\\Deeper\\Deepest", "x", "y");
    Put(HKEY_CLASSES_ROOT, kServerKey, "ThreadingModel", "Free");
    Put(HKEY_CLASSES_ROOT, "CLSID\\{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}\\Extra", nullptr, nullptr);
    EXPECT_EQ(RegisterDriver(), S_OK);
    ExpectRegistered(kModule64);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kDriverKey, "Extra"), "<no value>");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO\\Calvera\\Deep"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}\\Extra"));
}

TEST_F(Registration, ExistingClassEntries) {
    struct Case {
        const char* name;
        const char* registered;  // InprocServer32 default value; null: none
        bool kept;
    };
    static const Case kCases[] = {
        {"another file: left pointing there", "D:\\Copies\\Mxsb4410.dll", true},
        {"the same file in other case: rewritten", "c:\\WINDOWS\\system32\\MXSB4410.DLL", false},
        {"no file to compare: rewritten", nullptr, false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        MxRegistryReset();
        Put(HKEY_CLASSES_ROOT, kClassKey, nullptr, "someone's");
        Put(HKEY_CLASSES_ROOT, kServerKey, nullptr, c.registered);
        Put(HKEY_CLASSES_ROOT, kServerKey, "Marker", "theirs");
        EXPECT_EQ(RegisterDriver(), S_OK);
        if (c.kept) {
            EXPECT_EQ(Value(HKEY_CLASSES_ROOT, kServerKey, nullptr), c.registered);
            EXPECT_EQ(Value(HKEY_CLASSES_ROOT, kServerKey, "Marker"), "theirs");
            EXPECT_EQ(Value(HKEY_CLASSES_ROOT, kClassKey, nullptr), "someone's");
            EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kDriverKey, "CLSID"), "{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}")
                << "the ASIO entry is written all the same";
        } else {
            ExpectRegistered(kModule64);
            EXPECT_EQ(Value(HKEY_CLASSES_ROOT, kServerKey, "Marker"), "<no value>");
        }
    }
}

TEST_F(Registration, UnregisteringRemovesOnlyTheDriversEntries) {
    // Nothing registered: success, and no key appears.
    EXPECT_EQ(UnregisterDriver(), S_OK);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAsioKey));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "CLSID"));

    ASSERT_EQ(RegisterDriver(), S_OK);
    Put(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO\\Other Driver", "CLSID", "{other}");
    Put(HKEY_CLASSES_ROOT, "CLSID\\{other}", nullptr, "other");
    // Pointing elsewhere does not protect the class from unregistering.
    Put(HKEY_CLASSES_ROOT, kServerKey, nullptr, "D:\\Copies\\Mxsb4410.dll");
    EXPECT_EQ(UnregisterDriver(), S_OK);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kDriverKey));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO\\Other Driver"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\{other}"));

    // The last driver gone: SOFTWARE\ASIO stays, empty.
    ASSERT_EQ(RegisterDriver(), S_OK);
    HKEY asio = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAsioKey, 0, KEY_ALL_ACCESS, &asio), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyA(asio, "Other Driver"), ERROR_SUCCESS);
    RegCloseKey(asio);
    EXPECT_EQ(UnregisterDriver(), S_OK);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kAsioKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kDriverKey));
}

TEST_F(Registration, RegistryThatCannotBeWrittenIsReported) {
    char path[] = "/tmp/mxregXXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const char garbage[] = "this is no registry\n";
    ASSERT_EQ(write(fd, garbage, sizeof garbage - 1), static_cast<ssize_t>(sizeof garbage - 1));
    close(fd);
    MxRegistryUseFile(path);
    EXPECT_EQ(RegisterDriver(), SELFREG_E_CLASS);
    MxRegistryUseFile(nullptr);
    FILE* file = std::fopen(path, "r");
    ASSERT_NE(file, nullptr);
    char contents[64] = {};
    EXPECT_EQ(std::fread(contents, 1, sizeof contents - 1, file), sizeof garbage - 1);
    std::fclose(file);
    EXPECT_STREQ(contents, garbage) << "the file is left as it was";
    unlink(path);
}

// Through each library's exports, as an installer calls them: each registers
// its own file name. The libraries have their own registry store, so both share
// a file with this process.
TEST_F(Registration, EachBuildRegistersItsOwnFile) {
    struct Case {
        const char* library;
        const char* module;
    };
    static const Case kCases[] = {
        {MX_DRIVER_LIBRARY_64, "C:\\Windows\\System32\\Mxsb4410.dll"},
        {MX_DRIVER_LIBRARY_32, "C:\\Windows\\System32\\Mxsa4410.dll"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.library);
        char path[] = "/tmp/mxregXXXXXX";
        const int fd = mkstemp(path);
        ASSERT_GE(fd, 0);
        close(fd);
        unlink(path);  // a missing file is an empty registry
        setenv("MX_REGISTRY_FILE", path, 1);
        {
            asiotest::DriverLibrary library(c.library);
            ASSERT_TRUE(library.Loaded());
            MxRegistryUseFile(path);
            EXPECT_EQ(library.RegisterServer(), S_OK);
            ExpectRegistered(c.module);
            EXPECT_EQ(library.UnregisterServer(), S_OK);
            EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
            EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kDriverKey));
            EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kAsioKey));
            MxRegistryUseFile(nullptr);
        }
        unsetenv("MX_REGISTRY_FILE");
        unlink(path);
        const std::string lock = std::string(path) + ".lock";
        unlink(lock.c_str());
    }
}

}  // namespace
