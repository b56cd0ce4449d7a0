// Unplugging and plugging a unit in again.
#include "vu_test_support.h"

namespace vutest {
namespace {

class UnplugTest : public VirtualUnitTest {
protected:
    UnplugTest() {
        statusEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        unitEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        periodEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        device = OpenUnit(1);
        NOTIFY_REG reg{0, 1, HandleToWire(statusEvent), 0, HandleToWire(unitEvent), 0};
        EXPECT_TRUE(Send(device, IOCTL_REGISTER_EVENTS, &reg));
    }
    ~UnplugTest() override {
        DevPort_CloseHandle(device);
        CloseHandle(statusEvent);
        CloseHandle(unitEvent);
        CloseHandle(periodEvent);
    }

    HANDLE statusEvent, unitEvent, periodEvent;
    HANDLE device;
};

TEST_F(UnplugTest, SignalsTheUnitEventAndFailsEverythingAfter) {
    RingBlock block{64, 3, 4};
    PendingMap map;
    ASSERT_TRUE(map.Send(device, block, 64));
    START_STREAM_REQ start{0, 0, 1, 0, HandleToWire(periodEvent)};
    ASSERT_TRUE(Send(device, IOCTL_START_STREAM, &start));
    model.Step(1);

    ASSERT_TRUE(model.Unplug(1));
    EXPECT_TRUE(Signalled(unitEvent));
    EXPECT_FALSE(Signalled(statusEvent));
    EXPECT_TRUE(map.Completed()) << "a sender waiting for its mapping must not hang";
    EXPECT_EQ(device::LoadShared(block.Header()->devState), 1u);
    EXPECT_FALSE(model.Inspect(1).present);
    EXPECT_EQ(model.Step(1), 0u);

    // Every request on the old handle fails, whatever it is, without writing.
    for (const device::RequestInfo& info : device::kRequestCatalogue) {
        SCOPED_TRACE(info.name);
        alignas(8) uint8_t buffer[2056];
        std::memset(buffer, 0, sizeof buffer);
        DWORD bytes = 0;
        SetLastError(kSentinel);
        EXPECT_FALSE(DevPort_DeviceIoControl(device, info.code, info.size ? buffer : nullptr, info.size,
                                             info.size ? buffer : nullptr, info.size, &bytes, nullptr));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    }
    SetLastError(kSentinel);
    EXPECT_EQ(OpenUnit(1), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(model.RaiseMessages(1, 1));
    EXPECT_FALSE(model.Unplug(1));
}

TEST_F(UnplugTest, PluggingInAgainServesNewHandlesOnly) {
    ASSERT_TRUE(model.Unplug(1));
    ASSERT_TRUE(model.Plug(1));
    EXPECT_FALSE(model.Plug(1));
    uint32_t primary = 0;
    SetLastError(kSentinel);
    EXPECT_FALSE(Send(device, IOCTL_GET_PRIMARY_FLAG, &primary));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));

    HANDLE fresh = OpenUnit(1);
    ASSERT_NE(fresh, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(Send(fresh, IOCTL_GET_PRIMARY_FLAG, &primary));
    EXPECT_EQ(primary, 1u);
    EXPECT_EQ(model.Inspect(1).openHandles, 1u);
    EXPECT_FALSE(model.Inspect(1).eventsRegistered) << "the registration died with the old handle";
    EXPECT_TRUE(DevPort_CloseHandle(fresh));
    EXPECT_TRUE(DevPort_CloseHandle(device)) << "a dead handle still closes";
    device = OpenUnit(1);
}

TEST_F(UnplugTest, ConfiguringAbsentUnplugsAndOtherUnitsCarryOn) {
    model.Configure(2, vu::UnitConfig{});
    HANDLE second = OpenUnit(2);
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    vu::UnitConfig absent;
    absent.present = false;
    ASSERT_TRUE(model.Configure(1, absent));
    EXPECT_TRUE(Signalled(unitEvent));
    uint32_t primary = 0;
    EXPECT_TRUE(Send(second, IOCTL_GET_PRIMARY_FLAG, &primary));
    DevPort_CloseHandle(second);
}

}  // namespace
}  // namespace vutest
