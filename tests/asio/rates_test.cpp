// Sample rate, clock source and the latency safety terms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "asio_test_support.h"
#include "latency_safety.h"

namespace {

using asiotest::Describe;
using asiotest::DriverRef;
using asiotest::Join;
using asiotest::Units;

TEST(Rates, CanSampleRateRoundsAsksTheUnitThenChecksTheTolerance) {
    vu::VirtualUnit unit(Units("1:rates=44100/48000"));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    struct Case {
        double rate;
        ASIOError result;
        int64_t asked;  // the rate the unit was asked about; -1: not asked
    };
    const Case kCases[] = {
        {44100.0, ASE_OK, 44100},
        {44100.09, ASE_OK, 44100},
        {44099.95, ASE_OK, 44100},
        {44100.2, ASE_NoClock, 44100},  // asked first, refused by the tolerance
        {44099.8, ASE_NoClock, 44100},
        {48000.4, ASE_NoClock, 48000},
        {22050.0, ASE_NoClock, 22050},  // the unit does not offer it
        {0.0, ASE_NoClock, 0},
        {-1.0, ASE_NoClock, -1},  // no whole rate at all: nobody is asked
        {1e12, ASE_NoClock, -1},
        {std::numeric_limits<double>::quiet_NaN(), ASE_NoClock, -1},
        {std::numeric_limits<double>::infinity(), ASE_NoClock, -1},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(c.rate));
        unit.ClearLog();
        EXPECT_EQ(driver->canSampleRate(c.rate), c.result);
        EXPECT_EQ(driver->m_lastError.load(), c.result);
        const std::vector<vu::LogEntry> checks = unit.Requests(IOCTL_CHECK_STREAM_RATE);
        ASSERT_EQ(checks.size(), c.asked < 0 ? 0u : 1u);
        if (c.asked >= 0) {
            EXPECT_EQ(checks[0].Word(1), static_cast<uint32_t>(c.asked));
        }
    }
}

TEST(Rates, SetSampleRatePaths) {
    struct Case {
        const char* name;
        const char* units;
        uint32_t outsideRate;  // the unit's rate changed behind the driver's back (0: not)
        double rate;
        ASIOError result;
        bool setFreq;
        uint32_t after;
    };
    static const Case kCases[] = {
        {"the current rate", "1:", 0, 44100.0, ASE_OK, false, 44100},
        {"the current rate, changed from outside", "1:", 48000, 44100.0, ASE_OK, true, 44100},
        {"a new rate", "1:", 0, 96000.0, ASE_OK, true, 96000},
        {"a rate the unit does not offer", "1:", 0, 32000.0, ASE_NoClock, false, 44100},
        {"a rate off the tolerance", "1:", 0, 48000.5, ASE_NoClock, false, 44100},
        {"a locked unit", "1:locked=1", 0, 48000.0, ASE_NoClock, true, 44100},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        vu::VirtualUnit unit(Units(c.units));
        vu::ScopedInstall install(unit);
        DriverRef driver;
        if (c.outsideRate != 0) {
            vu::UnitConfig config = unit.Config(1);
            config.unitRate = c.outsideRate;
            ASSERT_TRUE(unit.Configure(1, config));
        }
        unit.ClearLog();
        EXPECT_EQ(driver->setSampleRate(c.rate), c.result);
        EXPECT_EQ(driver->m_lastError.load(), c.result);
        EXPECT_EQ(driver->m_devAll.m_nRate, c.after);
        // SetFreq always begins by asking the unit about the rate a second time.
        EXPECT_EQ(unit.CountRequests(IOCTL_CHECK_STREAM_RATE) == 2, c.setFreq) << Join(Describe(unit.Log()));
    }
}

TEST(Rates, SetSampleRateRequestsForANewRate) {
    vu::VirtualUnit unit(Units("1:settle=1"));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    unit.ClearLog();
    ASSERT_EQ(driver->setSampleRate(48000.0), ASE_OK);
    const std::vector<std::string> log = Describe(unit.Log());
    EXPECT_EQ(log, (std::vector<std::string>{"1 IOCTL_CHECK_STREAM_RATE", "1 IOCTL_CHECK_STREAM_RATE", "open 1",
                                             "1 IOCTL_GET_RATE_LOCK", "close 1", "1 IOCTL_SET_STREAM_RATE",
                                             "1 IOCTL_SET_STREAM_RATE", "1 IOCTL_GET_UNIT_RATE",
                                             "1 IOCTL_GET_UNIT_RATE", "1 IOCTL_GET_STREAM_RATE",
                                             "1 IOCTL_SET_GROUP_CONFIG"}))
        << Join(log);
}

// The one slow test: a unit that never reaches the rate costs the full 3 s of
// polling; the change still counts as done with the rate the unit reports.
TEST(Rates, UnitThatNeverReachesTheRate) {
    vu::VirtualUnit unit(Units("1:settle=never"));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    unit.ClearLog();
    EXPECT_EQ(driver->setSampleRate(48000.0), ASE_OK);
    EXPECT_EQ(unit.CountRequests(IOCTL_GET_UNIT_RATE), 30u);
    EXPECT_EQ(driver->m_devAll.m_nRate, 44100u) << "what the unit reports, not what was asked";
}

TEST(Rates, GetSampleRateAndClockSources) {
    vu::VirtualUnit unit(Units("1:rate=88200"));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    ASIOSampleRate rate = 0;
    EXPECT_EQ(driver->getSampleRate(&rate), ASE_OK);
    EXPECT_EQ(rate, 88200.0);

    ASIOClockSource clocks[3];
    std::memset(clocks, 0x5A, sizeof clocks);
    ASIOLong count = 3;
    EXPECT_EQ(driver->getClockSources(clocks, &count), ASE_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(clocks[0].index, 0);
    EXPECT_EQ(clocks[0].associatedChannel, 0);
    EXPECT_EQ(clocks[0].associatedGroup, 0);
    EXPECT_EQ(clocks[0].isCurrentSource, ASIOTrue);
    EXPECT_STREQ(clocks[0].name, "Device");
    EXPECT_EQ(clocks[1].index, 0x5A5A5A5A) << "only one record is written";

    // A host that gives no room learns the count and gets nothing written.
    std::memset(clocks, 0x5A, sizeof clocks);
    count = 0;
    EXPECT_EQ(driver->getClockSources(clocks, &count), ASE_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(clocks[0].index, 0x5A5A5A5A);

    EXPECT_EQ(driver->setClockSource(0), ASE_OK);
    EXPECT_EQ(driver->setClockSource(1), ASE_InvalidParameter);
    EXPECT_EQ(driver->setClockSource(-1), ASE_InvalidParameter);
    EXPECT_EQ(driver->m_lastError.load(), ASE_InvalidParameter);
}

TEST(Rates, LatencySafetyFigures) {
    struct Case {
        uint32_t frames;
        uint32_t rate;
        int32_t position;
        bool result;
        uint32_t s1;
        uint32_t s2;
    };
    static const Case kCases[] = {
        {256, 44100, 5, true, 252, 143},
        {256, 48000, 5, true, 228, 179},
        {64, 48000, 2, true, 35, 94},     // with the extra quarter millisecond
        {48, 48000, 0, true, 46, 101},    // N = c
        {32, 44100, 0, true, 21, 58},     // N < c
        {2048, 48000, 9, true, 1702, 838},
        {256, 44100, 12, true, 252, 143},  // a position outside 0..9 counts as 5
        {256, 44100, -3, true, 252, 143},
        {0, 44100, 5, false, 7, 7},
        {256, 0, 5, false, 7, 7},
        // Below 2000 Hz a 1 ms margin is a frame or less; held at 2 frames.
        {16, 1000, 0, true, 15, 36},
        {1, 999, 2, true, 2, 3},
        // Absurd rates give large figures, never a wrapped or divided-by-zero one.
        {16384, 0xFFFFFFFFu, 9, true, 9177, 42956882},
    };
    vu::VirtualUnit unit(Units("1:"));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(c.frames) + " frames, " + std::to_string(c.rate) + " Hz, position " +
                     std::to_string(c.position));
        {
            CCsLock stream(&driver->m_csStream);
            driver->m_settings.settings.nBufPos = c.position;
        }
        uint32_t s1 = 7;
        uint32_t s2 = 7;
        EXPECT_EQ(driver->CalcSafety(c.frames, c.rate, &s1, &s2) != FALSE, c.result);
        EXPECT_EQ(s1, c.s1);
        EXPECT_EQ(s2, c.s2);
    }
}

}  // namespace
