// The registry as a text file shared by processes.
#include "win32.h"
#include "win32_linux.h"

#include "child_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using platform_test::Child;
using platform_test::StartChild;
using platform_test::WaitChild;

class RegistryFile : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/mxplatform-registry-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        m_file = m_dir + "/registry.txt";
        MxRegistryUseFile(m_file.c_str());
    }
    void TearDown() override {
        MxRegistryUseFile(nullptr);
        for (const char* suffix : {"", ".lock", ".tmp"}) unlink((m_file + suffix).c_str());
        rmdir(m_dir.c_str());
    }
    std::string FileText() const {
        std::ifstream in(m_file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void WriteFile(const std::string& text) const { std::ofstream(m_file, std::ios::binary) << text; }
    std::string Environment() const { return "MX_REGISTRY_FILE=" + m_file; }

    std::string m_dir, m_file;
};

TEST_F(RegistryFile, IsReadableTextThatAnotherProcessReads) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Test", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    const char text[] = "100% \"quoted\"";
    const DWORD number = 2;
    ASSERT_EQ(RegSetValueExA(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4), ERROR_SUCCESS);
    const wchar_t wide[] = L"W";
    ASSERT_EQ(RegSetValueExW(key, L"Wide", 0, REG_SZ, reinterpret_cast<const BYTE*>(wide), sizeof wide),
              ERROR_SUCCESS);
    RegCloseKey(key);

    EXPECT_EQ(FileText(),
              "mxregistry 1\n"
              "key \"HKEY_CLASSES_ROOT\"\n"
              "key \"HKEY_CURRENT_USER\"\n"
              "key \"HKEY_CURRENT_USER\\Software\"\n"
              "key \"HKEY_CURRENT_USER\\Software\\Test\"\n"
              "value \"Text\" 1 a \"100%25; %22;quoted%22;%0;\"\n"
              "value \"Count\" 4 b \"02000000\"\n"
              "value \"Wide\" 1 w \"W%0;\"\n"
              "key \"HKEY_LOCAL_MACHINE\"\n");

    Child child = StartChild({"reg-read", "software\\test", "text"}, {Environment()}, true);
    EXPECT_EQ(platform_test::ReadLine(child), text);
    EXPECT_EQ(WaitChild(child), 0);
}

TEST_F(RegistryFile, ConcurrentWritersInSeveralProcessesLoseNothing) {
    constexpr int kPerWriter = 40;
    Child a = StartChild({"reg-write", "Shared", "a", std::to_string(kPerWriter)}, {Environment()});
    Child b = StartChild({"reg-write", "Shared", "b", std::to_string(kPerWriter)}, {Environment()});
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Shared", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (int i = 0; i < kPerWriter; ++i) {
        const std::string name = "p" + std::to_string(i);
        const DWORD data = static_cast<DWORD>(i);
        ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), 4),
                  ERROR_SUCCESS);
    }
    EXPECT_EQ(WaitChild(a), 0);
    EXPECT_EQ(WaitChild(b), 0);
    for (const char* prefix : {"a", "b", "p"}) {
        for (int i = 0; i < kPerWriter; ++i) {
            const std::string name = prefix + std::to_string(i);
            SCOPED_TRACE(name);
            DWORD data = 0xFFFFFFFF, size = 4;
            EXPECT_EQ(RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size),
                      ERROR_SUCCESS);
            EXPECT_EQ(data, static_cast<DWORD>(i));
        }
    }
    RegCloseKey(key);
}

TEST_F(RegistryFile, DamagedFileIsReportedAndNeverOverwritten) {
    static const char* const kDamaged[] = {
        "",
        "not a registry\n",
        "mxregistry 2\n",
        "mxregistry 1",  // no newline: cut short
        "mxregistry 1\nvalue \"x\" 1 a \"y\"\n",  // a value outside any key
        "mxregistry 1\nkey \"HKEY_NOWHERE\\x\"\n",
        "mxregistry 1\nkey \"HKEY_CURRENT_USER\\a\\\\b\"\n",  // empty key name
        "mxregistry 1\nkey \"HKEY_CURRENT_USER\" \n",        // trailing blank
        "mxregistry 1\nkey \"HKEY_CURRENT_USER\"\nvalue \"x\" 1 a \"%zz;\"\n",
        "mxregistry 1\nkey \"HKEY_CURRENT_USER\"\nvalue \"x\" 4 b \"123\"\n",
        "mxregistry 1\nkey \"HKEY_CURRENT_USER\"\nvalue \"x\" 1 a \"y\"\nvalue \"X\" 1 a \"z\"\n",
    };
    for (const char* damaged : kDamaged) {
        SCOPED_TRACE(damaged);
        WriteFile(damaged);
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_READ, &key), ERROR_REGISTRY_CORRUPT);
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_REGISTRY_CORRUPT);
        EXPECT_EQ(RegDeleteValueA(HKEY_CURRENT_USER, "x"), ERROR_REGISTRY_CORRUPT);
        EXPECT_EQ(FileText(), damaged);
    }
    // A sound file next to it works, and a missing file is an empty registry.
    WriteFile("mxregistry 1\nkey \"HKEY_CURRENT_USER\\a\"\nvalue \"x\" 1 w \"%e9;%0;\"\n");
    wchar_t text[4] = {};
    DWORD size = sizeof text;
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "A", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExW(key, L"x", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(text), L"\u00e9");
    RegCloseKey(key);
    unlink(m_file.c_str());
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "A", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryFile, EveryReadSeesTheOtherProcessesChanges) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Seen", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "c0", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    Child child = StartChild({"reg-write", "Seen", "c", "1"}, {Environment()});
    EXPECT_EQ(WaitChild(child), 0);
    EXPECT_EQ(RegQueryValueExA(key, "c0", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
    RegCloseKey(key);
}

}  // namespace
