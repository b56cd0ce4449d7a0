// The installation record: what counts as present, the 360-byte limit.
#include <gtest/gtest.h>

#include "settings/install_record.h"
#include "settings_test_support.h"

namespace settings_test {
namespace {

using InstallRecordTest = SettingsTest;

TEST_F(InstallRecordTest, KeyPath) {
    EXPECT_EQ(InstallKeyPath(), L"CLSID\\{2D7F41A9-3C05-4E8B-B716-95E0A4C3F812}\\MXID4410");
}

TEST_F(InstallRecordTest, MissingKeyOrValue) {
    std::wstring value = L"stale";
    EXPECT_FALSE(ReadInstallValue(L"version", value));
    EXPECT_EQ(value, L"");
    SetInstallValue(L"copyright", L"(C) us");
    EXPECT_FALSE(ReadInstallValue(L"version", value));
    EXPECT_FALSE(ReadInstallValue(nullptr, value)) << "no default value either";
    ASSERT_TRUE(ReadInstallValue(L"copyright", value));
    EXPECT_EQ(value, L"(C) us");
}

TEST_F(InstallRecordTest, DefaultValueIsTheInstallationFolder) {
    SetInstallValue(nullptr, L"C:\\Program Files\\Calvera");
    std::wstring value;
    ASSERT_TRUE(ReadInstallValue(nullptr, value));
    EXPECT_EQ(value, L"C:\\Program Files\\Calvera");
    ASSERT_TRUE(ReadInstallValue(L"", value));
    EXPECT_EQ(value, L"C:\\Program Files\\Calvera");
}

TEST_F(InstallRecordTest, ValuesOf180CharactersOrMoreCountAsMissing) {
    static const struct {
        size_t length;  // characters before the terminating zero
        bool found;
    } kCases[] = {{0, true}, {1, true}, {178, true}, {179, false}, {180, false}, {4000, false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.length << " characters");
        const std::wstring stored(c.length, L'7');
        SetInstallValue(L"version", stored);
        std::wstring value;
        EXPECT_EQ(ReadInstallValue(L"version", value), c.found);
        EXPECT_EQ(value, c.found ? stored : L"");
    }
}

TEST_F(InstallRecordTest, ValueWithoutTerminatingZeroIsCutAtItsEnd) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, InstallKeyPath().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    const std::wstring text(179, L'x');  // fills the buffer but for the terminator, with none stored
    ASSERT_EQ(RegSetValueExW(key, L"version", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                             static_cast<DWORD>(text.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
    RegCloseKey(key);
    std::wstring value;
    ASSERT_TRUE(ReadInstallValue(L"version", value));
    EXPECT_EQ(value, text);
}

}  // namespace
}  // namespace settings_test
