// Opening and closing device objects.
#include <set>

#include "vu_test_support.h"

namespace vutest {
namespace {

class OpenCloseTest : public VirtualUnitTest {
protected:
    OpenCloseTest() {
        vu::UnitSet units;
        units.units[0].present = true;  // unit 1
        units.units[7].present = true;  // unit 8
        model.Configure(units);
    }
};

TEST_F(OpenCloseTest, PathsOpenOnlyForPresentUnits) {
    struct Case {
        const char* name;
        const wchar_t* path;
        DWORD creation;
        DWORD error;  // 0: opens
    };
    static const Case kCases[] = {
        {"unit 1", L"\\\\.\\Mxkd4410001", OPEN_EXISTING, 0},
        {"unit 8", L"\\\\.\\Mxkd4410008", OPEN_EXISTING, 0},
        {"other case", L"\\\\.\\MXKD4410001", OPEN_EXISTING, 0},
        {"absent unit 2", L"\\\\.\\Mxkd4410002", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {"unit 9", L"\\\\.\\Mxkd4410009", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {"unit 0", L"\\\\.\\Mxkd4410000", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {"unit 10", L"\\\\.\\Mxkd44100010", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {"one zero", L"\\\\.\\Mxkd441001", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {"trailing text", L"\\\\.\\Mxkd4410001x", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {"no prefix", L"Mxkd4410001", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {"other name", L"\\\\.\\Mxkd4411001", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {"empty", L"", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {"creation", L"\\\\.\\Mxkd4410001", CREATE_NEW, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        SetLastError(kSentinel);
        HANDLE h = DevPort_CreateFileW(c.path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, c.creation,
                                       FILE_FLAG_OVERLAPPED, nullptr);
        EXPECT_EQ(GetLastError(), c.error);
        if (c.error == 0) {
            ASSERT_NE(h, INVALID_HANDLE_VALUE);
            EXPECT_NE(h, nullptr);
            EXPECT_TRUE(DevPort_CloseHandle(h));
        } else {
            EXPECT_EQ(h, INVALID_HANDLE_VALUE);
        }
    }
}

TEST_F(OpenCloseTest, AnsiPathsReachTheSameUnits) {
    char path[device::kDevicePathChars];
    ASSERT_TRUE(device::FormatDevicePathA(path, sizeof path, 8));
    HANDLE h = DevPort_CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                                   nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    uint32_t primary = 0;
    EXPECT_TRUE(Send(h, IOCTL_GET_PRIMARY_FLAG, &primary));
    EXPECT_EQ(model.Requests(IOCTL_GET_PRIMARY_FLAG).back().unit, 8);
    EXPECT_TRUE(DevPort_CloseHandle(h));
}

TEST_F(OpenCloseTest, ManyHandlesPerUnitAreDistinctAndCloseOnce) {
    std::set<HANDLE> handles;
    for (int i = 0; i < 6; ++i) {
        HANDLE h = OpenUnit(i % 2 == 0 ? 1 : 8);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(handles.insert(h).second) << "handle value repeated";
    }
    EXPECT_EQ(model.Inspect(1).openHandles, 3u);
    for (HANDLE h : handles) {
        EXPECT_TRUE(DevPort_CloseHandle(h));
        SetLastError(kSentinel);
        EXPECT_FALSE(DevPort_CloseHandle(h));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
    EXPECT_EQ(model.Inspect(1).openHandles, 0u);
}

TEST_F(OpenCloseTest, CloseRefusesHandlesItDidNotOpen) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    for (HANDLE h : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE, event}) {
        SetLastError(kSentinel);
        EXPECT_FALSE(DevPort_CloseHandle(h));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
    EXPECT_TRUE(Signalled(event) == false);  // still a live event of the process
    CloseHandle(event);
}

}  // namespace
}  // namespace vutest
