// The device set: buffer creation and its bounds, starting and stopping the
// units, dropping a unit, and rates.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "asio_test_support.h"

namespace {

using asiotest::Describe;
using asiotest::DriverRef;
using asiotest::Join;
using asiotest::Units;

TEST(DevAll, CreateBufChecksTheSizeBeforeItMapsAnything) {
    vu::VirtualUnit unit(Units("1:"));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    CDevAll& devices = driver->m_devAll;
    struct Case {
        const char* name;
        int32_t frames;
        bool result;
        std::vector<std::string> log;
    };
    const std::vector<std::string> refused = {"1 IOCTL_GET_BUFFER_SIZES"};
    const std::vector<std::string> mapped = {"1 IOCTL_GET_BUFFER_SIZES", "1 IOCTL_MAP_BUFFER", "1 IOCTL_GET_SETTINGS"};
    static const Case kCases[] = {
        {"-1 frames", -1, false, refused},
        {"16385 frames", 16385, false, refused},
        // 0 passes the size test; this unit refuses to map an empty ring.
        {"0 frames", 0, false, {"1 IOCTL_GET_BUFFER_SIZES", "1 IOCTL_MAP_BUFFER failed", "1 IOCTL_GET_SETTINGS"}},
        {"16384 frames", 16384, true, mapped},
        {"256 frames", 256, true, mapped},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        unit.ClearLog();
        devices.m_bInActive[3] = TRUE;
        EXPECT_EQ(devices.CreateBuf(c.frames), c.result);
        EXPECT_FALSE(devices.m_bInActive[3]) << "buffer creation starts from no active channel";
        const std::vector<std::string> log = Describe(unit.Log());
        EXPECT_EQ(log, c.log) << Join(log);
        EXPECT_EQ(devices.Main()->Ring() != nullptr, c.result);
        if (c.result) {
            EXPECT_EQ(devices.m_nHalfBytes, static_cast<uint32_t>(c.frames) * 3);
        }
        unit.ClearLog();
        devices.DisposeBuf();
        EXPECT_EQ(Describe(unit.Log()), c.result ? std::vector<std::string>{"1 IOCTL_RELEASE_BUFFER"}
                                                 : std::vector<std::string>{});
        EXPECT_EQ(devices.Main()->Ring(), nullptr);
    }

    // Failing buffer-size query: nothing is created.
    unit.ClearLog();
    const int fault = unit.AddFault(vu::Fault::Fail(IOCTL_GET_BUFFER_SIZES));
    EXPECT_FALSE(devices.CreateBuf(256));
    EXPECT_EQ(Describe(unit.Log()), (std::vector<std::string>{"1 IOCTL_GET_BUFFER_SIZES failed"}));
    unit.RemoveFault(fault);
}

TEST(DevAll, UnitWithoutChannelsGetsNoBlocks) {
    vu::VirtualUnit unit(Units("1:in=0,out=0"));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    unit.ClearLog();
    EXPECT_TRUE(driver->m_devAll.CreateBuf(256));
    EXPECT_EQ(Describe(unit.Log()), (std::vector<std::string>{"1 IOCTL_GET_BUFFER_SIZES", "1 IOCTL_GET_SETTINGS"}));
    EXPECT_EQ(driver->m_devAll.Main()->Ring(), nullptr);
    EXPECT_FALSE(driver->m_devAll.DevsReady(256));
}

TEST(DevAll, StartSendsEveryUnitThenTheMainUnitWithThePeriodEvent) {
    vu::VirtualUnit unit(Units("1:"));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    CDevAll& devices = driver->m_devAll;
    ASSERT_TRUE(devices.CreateBuf(256));
    ASSERT_TRUE(devices.PreStartDevs());
    unit.ClearLog();
    ASSERT_TRUE(devices.StartDevs());
    const std::vector<vu::LogEntry> starts = unit.Requests(IOCTL_START_STREAM);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].Word(2), 0u);
    EXPECT_EQ(starts[0].Word(4), 0u);
    EXPECT_EQ(starts[1].Word(2), 1u);
    const uint64_t event = HandleToWire(devices.m_thread.PeriodEvent());
    EXPECT_EQ(starts[1].Word(4), static_cast<uint32_t>(event));
    EXPECT_EQ(starts[1].Word(5), static_cast<uint32_t>(event >> 32));
    EXPECT_TRUE(unit.Inspect(1).periodEvent);
    devices.StopDevs();
    devices.DisposeBuf();
}

TEST(DevAll, FailedStartStopsTheUnitsAgain) {
    struct Case {
        const char* name;
        vu::Fault fault;
        std::vector<std::string> log;
    };
    static const Case kCases[] = {
        {"first start failing",
         vu::Fault::Fail(IOCTL_START_STREAM),
         {"1 IOCTL_START_STREAM failed", "1 IOCTL_STOP_STREAM", "1 IOCTL_STOP_STREAM"}},
        {"the main unit's start failing",
         vu::Fault::Fail(IOCTL_START_STREAM).From(2),
         {"1 IOCTL_START_STREAM", "1 IOCTL_START_STREAM failed", "1 IOCTL_STOP_STREAM", "1 IOCTL_STOP_STREAM"}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        vu::VirtualUnit unit(Units("1:"));
        vu::ScopedInstall install(unit);
        DriverRef driver;
        CDevAll& devices = driver->m_devAll;
        ASSERT_TRUE(devices.CreateBuf(256));
        ASSERT_TRUE(devices.PreStartDevs());
        ASSERT_NE(unit.AddFault(c.fault), 0);
        unit.ClearLog();
        EXPECT_FALSE(devices.StartDevs());
        const std::vector<std::string> log = Describe(unit.Log());
        EXPECT_EQ(log, c.log) << Join(log);
        EXPECT_FALSE(devices.Main()->IsActive());
        EXPECT_FALSE(unit.Inspect(1).streaming);
    }
}

TEST(DevAll, DroppingTheMainUnitLeavesADeviceThatAnswersNothing) {
    vu::VirtualUnit unit(Units("2:"));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    CDevAll& devices = driver->m_devAll;
    ASSERT_TRUE(devices.CreateBuf(256));
    CDevOne* main = devices.Main();
    unit.ClearLog();
    {
        CCsLock stream(&driver->m_csStream);
        EXPECT_FALSE(devices.DropDev(8)) << "no such slot";
        EXPECT_FALSE(devices.DropDev(-1));
        EXPECT_TRUE(devices.DropDev(0)) << "not the main unit";
        EXPECT_TRUE(unit.Log().empty());
        EXPECT_FALSE(devices.DropDev(1)) << "no unit remains";
    }
    EXPECT_EQ(Describe(unit.Log()),
              (std::vector<std::string>{"2 IOCTL_RELEASE_BUFFER", "2 IOCTL_UNREGISTER_EVENTS", "close 2"}));
    EXPECT_EQ(devices.Main(), main) << "the main pointer stays on the closed unit";
    EXPECT_FALSE(main->IsOpen());
    EXPECT_TRUE(devices.IsPresent()) << "the presence test does not change";
    EXPECT_EQ(driver->init(nullptr), ASIOTrue);
    EXPECT_TRUE(devices.m_bUnitOpen[1]);
    EXPECT_EQ(devices.m_nIns, 2);

    // Every later request to the unit is skipped or fails.
    unit.ClearLog();
    EXPECT_TRUE(devices.PreStartDevs());
    EXPECT_TRUE(devices.StartDevs()) << "a closed unit counts as started";
    EXPECT_FALSE(devices.DevsReady(256));
    devices.StopDevs();
    EXPECT_FALSE(devices.CreateBuf(256));
    devices.DisposeBuf();
    EXPECT_TRUE(unit.Log().empty()) << Join(Describe(unit.Log()));
    EXPECT_EQ(main->Ring(), nullptr) << "the blocks are freed once the host disposes of them";
}

TEST(DevAll, RateCheckAndChange) {
    vu::VirtualUnit unit(Units("1:rates=44100/48000/96000,settle=2"));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    CDevAll& devices = driver->m_devAll;
    EXPECT_TRUE(devices.CheckFreq(48000));
    EXPECT_FALSE(devices.CheckFreq(22050));

    unit.ClearLog();
    EXPECT_TRUE(devices.SetFreq(96000));
    EXPECT_EQ(devices.m_nRate, 96000u);
    const std::vector<std::string> expected = {
        "1 IOCTL_CHECK_STREAM_RATE", "open 1", "1 IOCTL_GET_RATE_LOCK", "close 1",
        "1 IOCTL_SET_STREAM_RATE",   "1 IOCTL_SET_STREAM_RATE",       "1 IOCTL_GET_UNIT_RATE",
        "1 IOCTL_GET_UNIT_RATE",     "1 IOCTL_GET_UNIT_RATE",         "1 IOCTL_GET_STREAM_RATE",
        "1 IOCTL_SET_GROUP_CONFIG"};
    const std::vector<std::string> log = Describe(unit.Log());
    EXPECT_EQ(log, expected) << Join(log);
    const std::vector<vu::LogEntry> sets = unit.Requests(IOCTL_SET_STREAM_RATE);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].Word(2), 0u);
    EXPECT_EQ(sets[1].Word(2), 1u);
    const std::vector<vu::LogEntry> group = unit.Requests(IOCTL_SET_GROUP_CONFIG);
    ASSERT_EQ(group.size(), 1u);
    EXPECT_EQ(group[0].Word(2), 96000u);

    // A unit that reports itself busy refuses the change and keeps the rate.
    vu::UnitConfig locked = unit.Config(1);
    locked.rateLocked = true;
    ASSERT_TRUE(unit.Configure(1, locked));
    unit.ClearLog();
    EXPECT_FALSE(devices.SetFreq(48000));
    EXPECT_EQ(devices.m_nRate, 96000u);
    EXPECT_EQ(unit.CountRequests(IOCTL_SET_STREAM_RATE), 0u);
}

}  // namespace
