// The ring mapping: pending until released, refused when it cannot be served.
#include "vu_test_support.h"

namespace vutest {
namespace {

// The contract's example: F = 256, W = 3, two inputs, two outputs.
constexpr uint32_t kFrames = 256;

class MappingTest : public VirtualUnitTest {
protected:
    MappingTest() { device = OpenUnit(1); }
    ~MappingTest() override {
        if (device != INVALID_HANDLE_VALUE) DevPort_CloseHandle(device);
    }

    HANDLE device = INVALID_HANDLE_VALUE;
    RingBlock block{kFrames, 3, 4};
};

TEST_F(MappingTest, StaysPendingUntilReleased) {
    ASSERT_EQ(block.Size(), 104u + 4 * 64 * 768);
    PendingMap map;
    ASSERT_TRUE(map.Send(device, block, kFrames)) << "result " << map.result << " error " << map.error;
    EXPECT_FALSE(map.Completed());
    EXPECT_TRUE(model.Inspect(1).mapped);
    EXPECT_EQ(model.Inspect(1).mappedFrames, kFrames);

    // Other requests on the handle, and a release on another handle, leave it pending.
    uint32_t primary = 0;
    EXPECT_TRUE(Send(device, IOCTL_GET_PRIMARY_FLAG, &primary));
    HANDLE other = OpenUnit(1);
    EXPECT_TRUE(Release(other));
    EXPECT_FALSE(map.Completed());
    DevPort_CloseHandle(other);
    EXPECT_FALSE(map.Completed());

    EXPECT_TRUE(Release(device));
    EXPECT_TRUE(map.Completed());
    EXPECT_FALSE(model.Inspect(1).mapped);
    EXPECT_TRUE(Release(device)) << "a release without a mapping is harmless";
}

TEST_F(MappingTest, ClosingTheHandleCompletesIt) {
    PendingMap map;
    ASSERT_TRUE(map.Send(device, block, kFrames));
    EXPECT_TRUE(DevPort_CloseHandle(device));
    device = INVALID_HANDLE_VALUE;
    EXPECT_TRUE(map.Completed());
}

TEST_F(MappingTest, OnePerHandleButManyPerUnit) {
    PendingMap first;
    ASSERT_TRUE(first.Send(device, block, kFrames));
    RingBlock second{kFrames, 3, 4};
    PendingMap again;
    EXPECT_FALSE(again.Send(device, second, kFrames));
    EXPECT_EQ(again.error, vu::kErrorBusy);
    EXPECT_FALSE(again.Completed());

    HANDLE other = OpenUnit(1);
    PendingMap parallel;
    EXPECT_TRUE(parallel.Send(other, second, kFrames));
    DevPort_CloseHandle(other);
    EXPECT_TRUE(parallel.Completed());
    EXPECT_FALSE(first.Completed());
    EXPECT_TRUE(Release(device));
    EXPECT_TRUE(first.Completed());
}

TEST_F(MappingTest, RefusesWhatItCannotServe) {
    const HANDLE plain = OpenUnit(1, 0);  // without FILE_FLAG_OVERLAPPED
    RingBlock misaligned{kFrames, 3, 4, 8};
    RingBlock wrongHeader{kFrames, 3, 4};
    wrongHeader.Header()->cbHeader = 0;
    struct Case {
        const char* name;
        HANDLE handle;
        MAP_BUFFER_REQ req;
        uint8_t* data;
        DWORD size;
        bool noEvent;
        DWORD error;
    };
    const Case cases[] = {
        {"ring one byte too small", device, {0, kFrames, kFrames * 64}, block.Data(), block.Size() - 1, false, ERROR_INSUFFICIENT_BUFFER},
        {"ring sized for a larger F", device, {0, kFrames * 2, kFrames * 128}, block.Data(), block.Size(), false, ERROR_INSUFFICIENT_BUFFER},
        {"F of 0", device, {0, 0, 0}, block.Data(), block.Size(), false, ERROR_INVALID_PARAMETER},
        {"F above 16384", device, {0, 16385, 16385 * 64}, block.Data(), block.Size(), false, ERROR_INVALID_PARAMETER},
        {"ring frames not F x 64", device, {0, kFrames, kFrames * 32}, block.Data(), block.Size(), false, ERROR_INVALID_PARAMETER},
        {"first word not 0", device, {1, kFrames, kFrames * 64}, block.Data(), block.Size(), false, ERROR_INVALID_PARAMETER},
        {"no ring", device, {0, kFrames, kFrames * 64}, nullptr, block.Size(), false, ERROR_INVALID_PARAMETER},
        {"misaligned ring", device, {0, kFrames, kFrames * 64}, misaligned.Data() + 4, block.Size(), false, ERROR_INVALID_PARAMETER},
        {"cbHeader not 104", device, {0, kFrames, kFrames * 64}, wrongHeader.Data(), wrongHeader.Size(), false, ERROR_INVALID_PARAMETER},
        {"no event in the record", device, {0, kFrames, kFrames * 64}, block.Data(), block.Size(), true, ERROR_INVALID_PARAMETER},
        {"handle without overlapped I/O", plain, {0, kFrames, kFrames * 64}, block.Data(), block.Size(), false, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PendingMap map;
        const HANDLE event = map.overlapped.hEvent;
        if (c.noEvent) map.overlapped.hEvent = nullptr;
        EXPECT_FALSE(map.SendRaw(c.handle, c.req, c.data, c.size));
        EXPECT_FALSE(map.result);
        EXPECT_EQ(map.error, c.error);
        map.overlapped.hEvent = event;
        EXPECT_FALSE(model.Inspect(1).mapped);
    }
    // Nothing but the header was ever written, and the header only by the test.
    for (DWORD i = device::kRingHeaderBytes; i < block.Size(); ++i) ASSERT_EQ(block.Data()[i], 0) << "byte " << i;

    // Without a record at all.
    MAP_BUFFER_REQ req{0, kFrames, kFrames * 64};
    DWORD bytes = 0;
    SetLastError(kSentinel);
    EXPECT_FALSE(DevPort_DeviceIoControl(device, IOCTL_MAP_BUFFER, &req, sizeof req, block.Data(), block.Size(), &bytes,
                                         nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    DevPort_CloseHandle(plain);
}

TEST_F(MappingTest, ChecksTheUnitsOwnShape) {
    vu::UnitConfig config;
    config.inputs = 3;
    config.outputs = 5;
    config.sampleBytes = 4;
    model.Configure(1, config);
    RingBlock exact{128, 4, 8};
    RingBlock forDefaults{128, 3, 4};
    PendingMap small;
    EXPECT_FALSE(small.Send(device, forDefaults, 128));
    EXPECT_EQ(small.error, static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    PendingMap fits;
    EXPECT_TRUE(fits.Send(device, exact, 128));
    EXPECT_TRUE(Release(device));
    EXPECT_TRUE(fits.Completed());
}

}  // namespace
}  // namespace vutest
