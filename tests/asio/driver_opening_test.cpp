// What the kernel driver sees when a driver object is made and destroyed, and
// what the object concludes from the answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "asio_test_support.h"

namespace {

using asiotest::Describe;
using asiotest::DriverRef;
using asiotest::Join;
using asiotest::OpeningOf;
using asiotest::Units;

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<std::string> kNoUnitAnswers = {"open 1 failed", "open 2 failed", "open 3 failed", "open 4 failed"};

// Unit 1 opened up to its event registration.
std::vector<std::string> RegisteringUnit1() {
    return {"open 1",
            "1 IOCTL_GET_PRIMARY_FLAG",
            "close 1",
            "open 1",
            "1 IOCTL_GET_DRIVER_RATE",
            "1 IOCTL_SET_STREAM_RATE",
            "1 IOCTL_GET_SAMPLE_SIZE",
            "1 IOCTL_GET_CHANNEL_COUNTS"};
}

TEST(DriverOpening, RequestSequencesOfConstructionAndDestruction) {
    struct Case {
        const char* name;
        const char* units;
        std::vector<vu::Fault> faults;
        bool present;
        std::vector<std::string> construction;
        std::vector<std::string> destruction;
    };
    static const Case kCases[] = {
        {"no unit", "", {}, false, kNoUnitAnswers, {}},
        {"a unit only in slot 5: slots 5 to 8 are never tried", "5:", {}, false, kNoUnitAnswers, {}},
        {"units in slots 2 and 3: slot 2 becomes the main unit, slot 3 is never opened",
         "2:;3:",
         {},
         true,
         Concat({"open 1 failed"}, OpeningOf(2)),
         {"2 IOCTL_UNREGISTER_EVENTS", "close 2"}},
        {"one unit in slot 1", "1:", {}, true, OpeningOf(1), {"1 IOCTL_UNREGISTER_EVENTS", "close 1"}},
        {"a primary flag of 0: the temporary handle is closed again",
         "1:primary=0",
         {},
         false,
         {"open 1", "1 IOCTL_GET_PRIMARY_FLAG", "close 1", "open 2 failed", "open 3 failed", "open 4 failed"},
         {}},
        {"a failing primary flag on unit 1 passes on to unit 2",
         "1:;2:",
         {vu::Fault::Fail(IOCTL_GET_PRIMARY_FLAG, ERROR_GEN_FAILURE, 1)},
         true,
         Concat({"open 1", "1 IOCTL_GET_PRIMARY_FLAG failed", "close 1"}, OpeningOf(2)),
         {"2 IOCTL_UNREGISTER_EVENTS", "close 2"}},
        {"registration failing: undone, and the unit closed with the device set",
         "1:",
         {vu::Fault::Fail(IOCTL_REGISTER_EVENTS)},
         false,
         Concat(RegisteringUnit1(), {"1 IOCTL_REGISTER_EVENTS failed", "1 IOCTL_UNREGISTER_EVENTS",
                                     "1 IOCTL_UNREGISTER_EVENTS", "close 1"}),
         {}},
        {"the unit id failing closes the device set again",
         "1:",
         {vu::Fault::Fail(IOCTL_GET_UNIT_ID)},
         false,
         Concat(RegisteringUnit1(), {"1 IOCTL_REGISTER_EVENTS", "1 IOCTL_GET_UNIT_ID failed",
                                     "1 IOCTL_UNREGISTER_EVENTS", "close 1"}),
         {}},
        {"the first settings read failing closes the device set again",
         "1:",
         {vu::Fault::Fail(IOCTL_GET_SETTINGS).Times(1)},
         false,
         Concat(RegisteringUnit1(), {"1 IOCTL_REGISTER_EVENTS", "1 IOCTL_GET_UNIT_ID", "1 IOCTL_GET_SETTINGS failed",
                                     "1 IOCTL_UNREGISTER_EVENTS", "close 1"}),
         {}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        vu::VirtualUnit unit(Units(c.units));
        vu::ScopedInstall install(unit);
        for (const vu::Fault& fault : c.faults) ASSERT_NE(unit.AddFault(fault), 0);
        DriverRef driver;
        const std::vector<std::string> construction = Describe(unit.Log());
        EXPECT_EQ(construction, c.construction) << Join(construction);
        EXPECT_EQ(driver->init(nullptr), c.present ? ASIOTrue : ASIOFalse);
        char message[124];
        driver->getErrorMessage(message);
        EXPECT_STREQ(message, c.present ? "" : "Can not found a device. Please connect the device.");
        unit.ClearLog();
        driver.Release();
        const std::vector<std::string> destruction = Describe(unit.Log());
        EXPECT_EQ(destruction, c.destruction) << Join(destruction);
        for (int n = 1; n <= vu::kMaxUnits; ++n) EXPECT_EQ(unit.Inspect(n).openHandles, 0u) << "unit " << n;
    }
}

TEST(DriverOpening, PayloadsOfTheOpeningRequests) {
    vu::VirtualUnit unit(Units("2:rate=48000,in=4,out=6"));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    const CDevAll& devices = driver->m_devAll;

    const std::vector<vu::LogEntry> setRate = unit.Requests(IOCTL_SET_STREAM_RATE, 2);
    ASSERT_EQ(setRate.size(), 1u);
    EXPECT_EQ(setRate[0].Word(1), 48000u);
    EXPECT_EQ(setRate[0].Word(2), 1u) << "the main unit's flag";

    const std::vector<vu::LogEntry> registration = unit.Requests(IOCTL_REGISTER_EVENTS, 2);
    ASSERT_EQ(registration.size(), 1u);
    EXPECT_EQ(registration[0].Word(1), 1u);
    EXPECT_EQ(registration[0].Word(2), static_cast<uint32_t>(HandleToWire(devices.m_thread.StatusEvent())));
    // Slot 2's own unit event.
    EXPECT_EQ(registration[0].Word(6), static_cast<uint32_t>(HandleToWire(devices.m_thread.UnitEvent(1))));

    const std::vector<vu::LogEntry> group = unit.Requests(IOCTL_SET_GROUP_CONFIG, 2);
    ASSERT_EQ(group.size(), 1u);
    EXPECT_EQ(group[0].Word(1), 1u);
    EXPECT_EQ(group[0].Word(2), 48000u);
    const std::vector<vu::LogEntry> option = unit.Requests(IOCTL_SET_UNIT_OPTION, 2);
    ASSERT_EQ(option.size(), 1u);
    EXPECT_EQ(option[0].Word(1), 0u);

    EXPECT_EQ(devices.m_nRate, 48000u);
    EXPECT_EQ(devices.m_nSampleBytes, 3u);
    EXPECT_EQ(devices.m_nIns, 4);
    EXPECT_EQ(devices.m_nOuts, 6);
    EXPECT_EQ(devices.m_nUnits, 1);
    EXPECT_EQ(devices.Main(), &driver->m_devAll.m_dev[1]);
    EXPECT_TRUE(devices.m_bUnitOpen[1]);
    EXPECT_FALSE(devices.m_bUnitOpen[0]);
    EXPECT_NE(devices.m_thread.m_hThread, nullptr);
    // The settings record was read from the unit.
    EXPECT_EQ(driver->m_settings.nResult, 1u);
}

// Information requests that fail, or answer what no unit can mean, leave their
// defaults; the unit is still used.
TEST(DriverOpening, InformationRequestsFallBackToTheirDefaults) {
    struct Case {
        const char* name;
        vu::Fault fault;
        uint32_t rate;
        uint32_t sampleBytes;
        int32_t ins;
        int32_t outs;
    };
    static const Case kCases[] = {
        {"driver rate failing", vu::Fault::Fail(IOCTL_GET_DRIVER_RATE), 44100, 3, 2, 2},
        {"driver rate answering 0 Hz", vu::Fault::Answer(IOCTL_GET_DRIVER_RATE, 4, 0), 44100, 3, 2, 2},
        {"sample size failing", vu::Fault::Fail(IOCTL_GET_SAMPLE_SIZE), 48000, 2, 2, 2},
        {"sample size answering 0", vu::Fault::Answer(IOCTL_GET_SAMPLE_SIZE, 4, 0), 48000, 2, 2, 2},
        {"sample size answering 1000", vu::Fault::Answer(IOCTL_GET_SAMPLE_SIZE, 4, 1000), 48000, 2, 2, 2},
        {"channel counts failing", vu::Fault::Fail(IOCTL_GET_CHANNEL_COUNTS), 48000, 3, 0, 0},
        {"channel counts of 255", vu::Fault::Answer(IOCTL_GET_CHANNEL_COUNTS, 4, 0xFFFF), 48000, 3, 255, 255},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        vu::VirtualUnit unit(Units("1:rate=48000"));
        vu::ScopedInstall install(unit);
        ASSERT_NE(unit.AddFault(c.fault), 0);
        DriverRef driver;
        EXPECT_EQ(driver->init(nullptr), ASIOTrue);
        EXPECT_EQ(driver->m_devAll.m_nRate, c.rate);
        EXPECT_EQ(driver->m_devAll.m_nSampleBytes, c.sampleBytes);
        EXPECT_EQ(driver->m_devAll.m_nIns, c.ins);
        EXPECT_EQ(driver->m_devAll.m_nOuts, c.outs);
        const std::vector<vu::LogEntry> setRate = unit.Requests(IOCTL_SET_STREAM_RATE);
        ASSERT_EQ(setRate.size(), 1u);
        EXPECT_EQ(setRate[0].Word(1), c.rate) << "the adopted rate goes back to the unit";
    }
}

}  // namespace
