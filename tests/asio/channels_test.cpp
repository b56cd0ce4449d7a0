// getChannels and getChannelInfo: counts, names, activity, sample types, and
// channel numbers the tables do not hold.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "asio_test_support.h"
#include "host_harness.h"

namespace {

using asiotest::HostHarness;
using asiotest::Units;

ASIOChannelInfo InfoFor(ASIOLong channel, bool input) {
    ASIOChannelInfo info{};
    info.channel = channel;
    info.isInput = input ? ASIOTrue : ASIOFalse;
    std::strcpy(info.name, "host's");
    info.isActive = 7;
    info.channelGroup = 7;
    info.type = 7;
    return info;
}

TEST(Channels, NamesBySlotAndPlaceInTheUnit) {
    struct Case {
        const char* units;
        ASIOLong channel;
        bool input;
        const char* name;
    };
    static const Case kCases[] = {
        {"1:in=3,out=2", 0, true, "IN"},
        {"1:in=3,out=2", 1, true, "IN(R)"},
        {"1:in=3,out=2", 2, true, "host's"},  // later channels keep the host's text
        {"1:in=3,out=2", 0, false, "OUT"},
        {"1:in=3,out=2", 1, false, "OUT(R)"},
        {"2:in=2,out=2", 0, true, "IN (2)"},
        {"2:in=2,out=2", 1, true, "IN(R) (2)"},
        {"3:in=2,out=2", 0, false, "OUT (3)"},
        {"3:in=2,out=2", 1, false, "OUT(R) (3)"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.units) + (c.input ? " input " : " output ") + std::to_string(c.channel));
        vu::VirtualUnit unit(Units(c.units));
        vu::ScopedInstall install(unit);
        asiotest::DriverRef driver;
        ASIOChannelInfo info = InfoFor(c.channel, c.input);
        ASSERT_EQ(driver->getChannelInfo(&info), ASE_OK);
        EXPECT_STREQ(info.name, c.name);
        EXPECT_EQ(info.channel, c.channel);
        EXPECT_EQ(info.isActive, ASIOFalse);
        EXPECT_EQ(info.channelGroup, 0);
        EXPECT_EQ(info.type, ASIOSTInt24LSB);
    }
}

TEST(Channels, CountsAndTheRecordOfWhatTheHostSaw) {
    vu::VirtualUnit unit(Units("1:in=4,out=6"));
    vu::ScopedInstall install(unit);
    asiotest::DriverRef driver;
    {
        CCsLock lock(&driver->m_csFlags);
        driver->m_flags.bChChanged = 1;
    }
    ASIOLong in = 0;
    ASIOLong out = 0;
    ASSERT_EQ(driver->getChannels(&in, &out), ASE_OK);
    EXPECT_EQ(in, 4);
    EXPECT_EQ(out, 6);
    CCsLock lock(&driver->m_csFlags);
    EXPECT_EQ(driver->m_flags.nLastIn, 4);
    EXPECT_EQ(driver->m_flags.nLastOut, 6);
    EXPECT_EQ(driver->m_flags.bChChanged, 0);
}

TEST(Channels, SampleTypeDescribesTheUnitsWidth) {
    struct Case {
        const char* units;
        ASIOError result;
        ASIOSampleType type;
    };
    static const Case kCases[] = {
        {"1:width=2", ASE_OK, ASIOSTInt16LSB},
        {"1:width=3", ASE_OK, ASIOSTInt24LSB},
        {"1:width=4", ASE_OK, ASIOSTInt32LSB},
        // No type of the interface has one byte: such samples are not offered.
        {"1:width=1", ASE_NotPresent, 7},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.units);
        vu::VirtualUnit unit(Units(c.units));
        vu::ScopedInstall install(unit);
        HostHarness host(unit);
        host.Create();
        ASIOChannelInfo info = InfoFor(1, false);
        EXPECT_EQ(host.Asio()->getChannelInfo(&info), c.result);
        EXPECT_EQ(info.type, c.type);
        ASSERT_EQ(host.Asio()->getChannels(&info.channel, &info.channelGroup), ASE_OK);
        host.Query();
        unit.ClearLog();
        const ASIOError created = host.CreateBuffers(256);
        EXPECT_EQ(created, c.result == ASE_OK ? ASE_OK : ASE_NotPresent);
        if (created != ASE_OK) {
            EXPECT_EQ(unit.CountRequests(IOCTL_MAP_BUFFER), 0u) << "nothing is mapped";
        }
    }
}

TEST(Channels, ActivityFollowsTheBuffers) {
    vu::VirtualUnit unit(Units("1:"));
    vu::ScopedInstall install(unit);
    HostHarness host(unit);
    host.Create();
    ASSERT_EQ(host.Query(), ASE_OK);
    ASSERT_EQ(host.CreateBuffers(256, {ASIOBufferInfo{ASIOTrue, 1, {}}, ASIOBufferInfo{ASIOFalse, 0, {}}}), ASE_OK);
    struct Case {
        ASIOLong channel;
        bool input;
        ASIOBool active;
    };
    static const Case kCases[] = {{0, true, ASIOFalse}, {1, true, ASIOTrue}, {0, false, ASIOTrue}, {1, false, ASIOFalse}};
    for (const Case& c : kCases) {
        ASIOChannelInfo info = InfoFor(c.channel, c.input);
        ASSERT_EQ(host.Asio()->getChannelInfo(&info), ASE_OK);
        EXPECT_EQ(info.isActive, c.active) << (c.input ? "input " : "output ") << c.channel;
    }
    ASSERT_EQ(host.Dispose(), ASE_OK);
    ASIOChannelInfo info = InfoFor(1, true);
    ASSERT_EQ(host.Asio()->getChannelInfo(&info), ASE_OK);
    EXPECT_EQ(info.isActive, ASIOFalse) << "disposeBuffers clears the tables";
}

TEST(Channels, NumbersWithoutAChannelAreRefusedAndLeaveTheRecordAlone) {
    vu::VirtualUnit unit(Units("1:in=2,out=2"));
    vu::ScopedInstall install(unit);
    asiotest::DriverRef driver;
    struct Case {
        ASIOLong channel;
        bool input;
    };
    static const Case kCases[] = {{-1, true}, {2, true}, {2, false}, {511, true}, {512, false}, {0x7FFFFFFF, true}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(c.channel));
        ASIOChannelInfo info = InfoFor(c.channel, c.input);
        EXPECT_EQ(driver->getChannelInfo(&info), ASE_InvalidParameter);
        EXPECT_EQ(driver->m_lastError.load(), ASE_InvalidParameter);
        EXPECT_STREQ(info.name, "host's");
        EXPECT_EQ(info.isActive, 7);
        EXPECT_EQ(info.type, 7);
    }
}

TEST(Channels, MapChannelWalksTheOpenSlots) {
    vu::VirtualUnit unit(Units(""));
    vu::ScopedInstall install(unit);
    asiotest::DriverRef driver;
    CDevAll& devices = driver->m_devAll;
    devices.m_bUnitOpen[1] = TRUE;
    devices.m_bUnitOpen[4] = TRUE;
    struct Case {
        int32_t channel;
        int slot;
        int32_t inside;
    };
    static const Case kCases[] = {{0, 1, 0}, {2, 1, 2}, {3, 4, 0}, {5, 4, 2}, {6, -1, 0}, {10, -1, 4}};
    for (const Case& c : kCases) {
        int32_t k = c.channel;
        EXPECT_EQ(devices.MapChannel(&k, 3), c.slot) << c.channel;
        EXPECT_EQ(k, c.inside) << c.channel;
    }
    devices.m_bUnitOpen[1] = FALSE;
    devices.m_bUnitOpen[4] = FALSE;
}

}  // namespace
