// Registry semantics over the in-memory store.
#include "win32.h"
#include "test_hooks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kSentinel = 0xdeadbeef;

// The registration pattern: delete a key with all its subkeys, deepest first.
LONG DeleteTree(HKEY parent, const char* name) {
    HKEY key;
    LONG error = RegOpenKeyExA(parent, name, 0, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, &key);
    if (error) return error;
    char child[256];
    DWORD length = sizeof child;
    while (!error && RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        error = DeleteTree(key, child);
        length = sizeof child;
    }
    RegCloseKey(key);
    return error ? error : RegDeleteKeyA(parent, name);
}

class Registry : public testing::Test {
protected:
    void SetUp() override {
#ifndef _WIN32
        MxRegistryUseFile(nullptr);
        MxRegistryReset();
#endif
        RemoveTestKeys();
    }
    void TearDown() override { RemoveTestKeys(); }

    // The keys these tests write (on Windows the registry is the real one).
    static void RemoveTestKeys() {
        DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO");
        DeleteTree(HKEY_CLASSES_ROOT, "CLSID\\{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}");
        DeleteTree(HKEY_CLASSES_ROOT, "CLSID\\{2D7F41A9-3C05-4E8B-B716-95E0A4C3F812}");
        DeleteTree(HKEY_CURRENT_USER, "Software\\MxPlatformTest");
    }

    static HKEY Create(HKEY root, const char* path, DWORD* disposition = nullptr) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                  disposition),
                  ERROR_SUCCESS)
            << path;
        return key;
    }
    static LONG Open(HKEY root, const char* path, HKEY* key) {
        *key = reinterpret_cast<HKEY>(0x1234);
        return RegOpenKeyExA(root, path, 0, KEY_READ, key);
    }
    static std::vector<std::string> SubkeysA(HKEY key) {
        std::vector<std::string> names;
        char name[256];
        DWORD length = sizeof name;
        for (DWORD i = 0; RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
             ++i, length = sizeof name) {
            EXPECT_EQ(length, std::strlen(name));
            names.emplace_back(name);
        }
        return names;
    }
    static LONG SetString(HKEY key, const char* name, const char* text) {
        return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                              static_cast<DWORD>(std::strlen(text) + 1));
    }
};

TEST_F(Registry, KeysAreCreatedOpenedAndEnumeratedWithoutRegardToCase) {
    DWORD disposition = 0;
    HKEY first = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO\\Calvera", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    HKEY again = Create(HKEY_LOCAL_MACHINE, "software\\asio\\CALVERA", &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    EXPECT_NE(first, again);
    RegCloseKey(first);
    RegCloseKey(again);
    RegCloseKey(Create(HKEY_LOCAL_MACHINE, "Software\\asio\\beta"));
    RegCloseKey(Create(HKEY_LOCAL_MACHINE, "Software\\ASIO\\Alpha\\Deeper"));

    HKEY asio;
    ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, "SoFtWaRe\\Asio", &asio), ERROR_SUCCESS);
    EXPECT_EQ(SubkeysA(asio), (std::vector<std::string>{"Alpha", "beta", "Calvera"}));  // case kept, order ignores it

    // Wide enumeration, and the buffer rules: the name and its zero must fit.
    wchar_t wide[8];
    DWORD length = 8;
    EXPECT_EQ(RegEnumKeyExW(asio, 2, wide, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(wide), L"Calvera");
    EXPECT_EQ(length, 7u);
    char small[8];
    length = 7;
    EXPECT_EQ(RegEnumKeyExA(asio, 2, small, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    length = sizeof small;
    EXPECT_EQ(RegEnumKeyExA(asio, 3, small, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    RegCloseKey(asio);

    // The roots are separate, and a missing key does not open.
    struct Missing {
        HKEY root;
        const char* path;
    };
    static const Missing kMissing[] = {{HKEY_CURRENT_USER, "Software\\ASIO"},
                                       {HKEY_CLASSES_ROOT, "SOFTWARE"},
                                       {HKEY_LOCAL_MACHINE, "Software\\ASIO\\Calvera\\Nope"}};
    for (const Missing& m : kMissing) {
        SCOPED_TRACE(m.path);
        HKEY key;
        SetLastError(kSentinel);
        EXPECT_EQ(Open(m.root, m.path, &key), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(key, nullptr);
        EXPECT_EQ(GetLastError(), kSentinel);  // registry calls report through their result only
    }
}

TEST_F(Registry, ValueQueriesReportSizesAndRefuseSmallBuffers) {
    HKEY key = Create(HKEY_CLASSES_ROOT, "CLSID\\{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}\\InprocServer32");
    const DWORD number = 0x12345678;
    ASSERT_EQ(SetString(key, nullptr, "C:\\Windows\\system32\\Mxsb4410.dll"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, "ThreadingModel", "Apartment"), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "Empty", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);

    struct Case {
        const char* name;
        DWORD type;
        std::string data;
    };
    static const char kPath[] = "C:\\Windows\\system32\\Mxsb4410.dll";
    const Case cases[] = {
        {nullptr, REG_SZ, std::string(kPath, sizeof kPath)},
        {"", REG_SZ, std::string(kPath, sizeof kPath)},  // "" is the default value too
        {"threadingmodel", REG_SZ, std::string("Apartment", 10)},
        {"Number", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4)},
        {"Empty", REG_BINARY, std::string()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(default)");
        const DWORD needed = static_cast<DWORD>(c.data.size());
        DWORD type = 0, size = 0;
        EXPECT_EQ(RegQueryValueExA(key, c.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(size, needed);

        std::vector<BYTE> buffer(needed + 4, 0xEE);
        if (needed > 0) {
            size = needed - 1;
            EXPECT_EQ(RegQueryValueExA(key, c.name, nullptr, nullptr, buffer.data(), &size), ERROR_MORE_DATA);
            EXPECT_EQ(size, needed);
        }
        size = static_cast<DWORD>(buffer.size());
        EXPECT_EQ(RegQueryValueExA(key, c.name, nullptr, &type, buffer.data(), &size), ERROR_SUCCESS);
        EXPECT_EQ(size, needed);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()), size), c.data);
    }
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    BYTE byte;
    EXPECT_EQ(RegQueryValueExA(key, "Number", nullptr, nullptr, &byte, nullptr), ERROR_INVALID_PARAMETER);

    // Deleting a value.
    EXPECT_EQ(RegDeleteValueA(key, "THREADINGMODEL"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, "ThreadingModel", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(key, "ThreadingModel"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(Registry, StringsWrittenInOneWidthReadInTheOther) {
    HKEY key = Create(HKEY_CLASSES_ROOT, "CLSID\\{2D7F41A9-3C05-4E8B-B716-95E0A4C3F812}\\MXID4410");
    const wchar_t wideText[] = L"Cafe 1.0";  // 8 characters and the zero
    ASSERT_EQ(RegSetValueExW(key, L"version", 0, REG_SZ, reinterpret_cast<const BYTE*>(wideText), sizeof wideText),
              ERROR_SUCCESS);
    ASSERT_EQ(SetString(key, "copyright", "(c) Maker"), ERROR_SUCCESS);

    // W written, W read: exactly as given.
    wchar_t wide[32];
    DWORD size = sizeof wide;
    ASSERT_EQ(RegQueryValueExW(key, L"VERSION", nullptr, nullptr, reinterpret_cast<BYTE*>(wide), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof wideText);
    EXPECT_EQ(std::wstring(wide), wideText);
    // W written, A read: UTF-8 of the same text.
    char narrow[32];
    size = sizeof narrow;
    ASSERT_EQ(RegQueryValueExA(key, "version", nullptr, nullptr, reinterpret_cast<BYTE*>(narrow), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(narrow), "Cafe 1.0");
    EXPECT_EQ(size, 9u);
    // A written, W read: wchar_t units, and the size query agrees with the read.
    DWORD needed = 0;
    ASSERT_EQ(RegQueryValueExW(key, L"copyright", nullptr, nullptr, nullptr, &needed), ERROR_SUCCESS);
    EXPECT_EQ(needed, 10 * sizeof(wchar_t));
    size = sizeof wide;
    ASSERT_EQ(RegQueryValueExW(key, L"copyright", nullptr, nullptr, reinterpret_cast<BYTE*>(wide), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(wide), L"(c) Maker");
#ifndef _WIN32
    // The ANSI code page of the Linux subset is UTF-8.
    const wchar_t accented[] = L"\u00e9t\u00e9";
    ASSERT_EQ(RegSetValueExW(key, L"accented", 0, REG_SZ, reinterpret_cast<const BYTE*>(accented), sizeof accented),
              ERROR_SUCCESS);
    size = sizeof narrow;
    ASSERT_EQ(RegQueryValueExA(key, "accented", nullptr, nullptr, reinterpret_cast<BYTE*>(narrow), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(narrow), "\xc3\xa9t\xc3\xa9");
    EXPECT_EQ(size, 6u);
#endif
    RegCloseKey(key);
}

TEST_F(Registry, DeletingRefusesKeysWithSubkeysAndDeletesTreesLeafFirst) {
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\MxPlatformTest\\{X}\\InprocServer32"));
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\MxPlatformTest\\{X}\\Other\\Deep"));
    HKEY clsid;
    ASSERT_EQ(Open(HKEY_CURRENT_USER, "Software\\MxPlatformTest", &clsid), ERROR_SUCCESS);

    struct Case {
        HKEY key;
        const char* subKey;
        LONG expected;
    };
    const Case cases[] = {
        {clsid, "{X}", ERROR_ACCESS_DENIED},        // has subkeys
        {clsid, "{Y}", ERROR_FILE_NOT_FOUND},       // never existed
        {clsid, "{X}\\Other", ERROR_ACCESS_DENIED},  // still has Deep
        {clsid, nullptr, ERROR_INVALID_PARAMETER},
        {HKEY_CLASSES_ROOT, "", ERROR_ACCESS_DENIED},  // a root
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.subKey ? c.subKey : "(null)");
        EXPECT_EQ(RegDeleteKeyA(c.key, c.subKey), c.expected);
    }
    HKEY still;
    EXPECT_EQ(Open(clsid, "{x}\\other\\deep", &still), ERROR_SUCCESS);
    RegCloseKey(still);

    EXPECT_EQ(DeleteTree(clsid, "{X}"), ERROR_SUCCESS);
    EXPECT_EQ(Open(clsid, "{X}", &still), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(SubkeysA(clsid).empty());
    EXPECT_EQ(DeleteTree(clsid, "{X}"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(clsid);
}

TEST_F(Registry, HandlesOfDeletedOrClosedKeysFail) {
    HKEY key = Create(HKEY_CURRENT_USER, "Software\\MxPlatformTest\\Gone");
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\MxPlatformTest\\Gone"), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "x", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(SetString(key, "x", "y"), ERROR_KEY_DELETED);
    HKEY below;
    EXPECT_EQ(RegCreateKeyExA(key, "Below", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &below, nullptr),
              ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    const HKEY bad[] = {key, nullptr, static_cast<HKEY>(GlobalAlloc(GHND, 4))};
    for (HKEY h : bad) {
        SCOPED_TRACE(testing::Message() << "key " << h);
        EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE);
        EXPECT_EQ(Open(h, "x", &below), ERROR_INVALID_HANDLE);
        EXPECT_EQ(SetString(h, "x", "y"), ERROR_INVALID_HANDLE);
    }
    GlobalFree(bad[2]);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);  // predefined keys close as a no-op
}

#ifndef _WIN32
TEST_F(Registry, ResetEmptiesTheStore) {
    RegCloseKey(Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO"));
    MxRegistryReset();
    HKEY key;
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, "SOFTWARE", &key), ERROR_FILE_NOT_FOUND);
}
#endif

}  // namespace
