// Movable global memory.
#include "win32.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr DWORD kSentinel = 0xdeadbeef;

TEST(GlobalMemory, ZeroInitialisedBlocksCountTheirLocks) {
    static const SIZE_T kSizes[] = {1, 100, 4096, 1u << 20};
    for (SIZE_T size : kSizes) {
        SCOPED_TRACE(testing::Message() << size << " bytes");
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
        ASSERT_NE(mem, nullptr);
        EXPECT_EQ(GlobalSize(mem), size);
        auto* data = static_cast<unsigned char*>(GlobalLock(mem));
        ASSERT_NE(data, nullptr);
        EXPECT_NE(static_cast<void*>(data), mem);  // the handle is not the address
        for (SIZE_T i = 0; i < size; ++i) ASSERT_EQ(data[i], 0) << "byte " << i;
        std::memset(data, 0xA5, size);
        EXPECT_EQ(GlobalLock(mem), data);  // second lock, same address

        SetLastError(kSentinel);
        EXPECT_TRUE(GlobalUnlock(mem));
        EXPECT_EQ(GetLastError(), kSentinel);
        SetLastError(kSentinel);
        EXPECT_FALSE(GlobalUnlock(mem));  // count reached 0
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
        SetLastError(kSentinel);
        EXPECT_FALSE(GlobalUnlock(mem));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));

        SetLastError(kSentinel);
        EXPECT_EQ(GlobalFree(mem), nullptr);
        EXPECT_EQ(GetLastError(), kSentinel);
    }
}

TEST(GlobalMemory, EmptyBlockHasNoAddress) {
    HGLOBAL mem = GlobalAlloc(GHND, 0);
    ASSERT_NE(mem, nullptr);
    EXPECT_EQ(GlobalSize(mem), 0u);
    SetLastError(kSentinel);
    EXPECT_EQ(GlobalLock(mem), nullptr);  // Windows: a discarded block
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISCARDED));
    EXPECT_EQ(GlobalFree(mem), nullptr);
}

TEST(GlobalMemory, SizesThatCannotBeHadFailCleanly) {
    static const SIZE_T kSizes[] = {~SIZE_T{0}, ~SIZE_T{0} / 2, SIZE_T{1} << 40};
    for (SIZE_T size : kSizes) {
        SCOPED_TRACE(testing::Message() << size << " bytes");
        SetLastError(kSentinel);
        EXPECT_EQ(GlobalAlloc(GHND, size), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    }
}

TEST(GlobalMemory, FreedOrForeignHandlesFail) {
    HGLOBAL freed = GlobalAlloc(GHND, 8);
    ASSERT_EQ(GlobalFree(freed), nullptr);
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
#ifdef _WIN32
    const HGLOBAL bad[] = {freed, reinterpret_cast<HGLOBAL>(0x1236)};
#else  // Windows takes any other value for the address of a fixed block
    const HGLOBAL bad[] = {freed, nullptr, event, reinterpret_cast<HGLOBAL>(0x1236)};
#endif
    for (HGLOBAL mem : bad) {
        SCOPED_TRACE(testing::Message() << "handle " << mem);
        SetLastError(kSentinel);
        EXPECT_EQ(GlobalLock(mem), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        SetLastError(kSentinel);
        EXPECT_FALSE(GlobalUnlock(mem));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        SetLastError(kSentinel);
        EXPECT_EQ(GlobalSize(mem), 0u);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        SetLastError(kSentinel);
        EXPECT_EQ(GlobalFree(mem), mem);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
    EXPECT_TRUE(CloseHandle(event));  // GlobalFree did not take the event
}

}  // namespace
