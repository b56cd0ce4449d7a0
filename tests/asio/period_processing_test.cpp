// Period processing at class level: the unit streams in stepped mode without a
// period event, so nothing runs on the streaming thread and the test calls
// processPeriods itself after each step.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "asio_test_support.h"
#include "virtual_unit/test_signal.h"

namespace {

using asiotest::DriverRef;
using asiotest::Host;
using asiotest::Units;

constexpr int32_t kFrames = 256;
constexpr uint64_t kPeriodNs = uint64_t{kFrames} * 1000000000u / 44100;  // one buffer at 44100 Hz

class PeriodProcessing : public ::testing::Test {
protected:
    void Open(const char* units, int32_t frames = kFrames) {
        TearDown();
        m_unit = std::make_unique<vu::VirtualUnit>(Units(units));
        m_install = std::make_unique<vu::ScopedInstall>(*m_unit);
        m_driver = std::make_unique<DriverRef>();
        Host::Instance().Reset(m_driver->object);
        m_callbacks = Host::Callbacks();
        ASSERT_TRUE(asiotest::StartDirect(m_driver->object, frames, &m_callbacks, false));
        m_unit->ClearLog();
    }
    // The driver goes first, then the port is given back, then the unit.
    void TearDown() override {
        m_driver.reset();
        m_install.reset();
        m_unit.reset();
        Host::Instance().Reset(nullptr);
    }
    AsioOurs* Driver() { return m_driver->object; }
    // Completes `periods` periods at `timeMs` and lets the driver process them.
    void Step(uint32_t periods, DWORD timeMs = 1000) {
        ASSERT_EQ(m_unit->StepAt(1, timeMs, periods), periods);
        Driver()->processPeriods();
    }
    uint32_t UserPeriod() { return Driver()->m_devAll.Main()->UserPeriod(); }
    // Input channel 0 of the call's half, decoded from W-byte samples.
    std::vector<int32_t> Input(size_t call, uint32_t width) {
        std::vector<int32_t> samples;
        const std::vector<uint8_t>& bytes = Host::Instance().inputs.at(call);
        for (size_t i = 0; i + width <= bytes.size(); i += width) samples.push_back(vu::LoadSample(&bytes[i], width));
        return samples;
    }

    std::unique_ptr<vu::VirtualUnit> m_unit;
    std::unique_ptr<vu::ScopedInstall> m_install;
    std::unique_ptr<DriverRef> m_driver;
    ASIOCallbacks m_callbacks{};
};

TEST_F(PeriodProcessing, PeriodEventWithNothingReadyDoesNothing) {
    Open("1:");
    Driver()->processPeriods();
    EXPECT_EQ(Host::Instance().Calls(), 0u);
    EXPECT_TRUE(m_unit->Log().empty()) << "not even a position request";
    EXPECT_EQ(UserPeriod(), 0u);
}

TEST_F(PeriodProcessing, HalvesAlternateAndThePositionCountsEachPeriod) {
    Open("1:source=ramp");
    Host::Instance().recordInput = true;
    for (int i = 0; i < 5; ++i) Step(1);
    Host& host = Host::Instance();
    EXPECT_EQ(host.halves, (std::vector<ASIOLong>{0, 1, 0, 1, 0}));
    EXPECT_EQ(host.positions, (std::vector<uint64_t>{256, 512, 768, 1024, 1280}));
    EXPECT_EQ(m_unit->CountRequests(IOCTL_GET_POSITION), 5u);
    // Each call's input half holds that period of the unit's ramp.
    for (size_t call = 0; call < 5; ++call) {
        const std::vector<int32_t> samples = Input(call, 3);
        ASSERT_EQ(samples.size(), static_cast<size_t>(kFrames));
        for (int32_t i = 0; i < kFrames; ++i)
            ASSERT_EQ(samples[i], vu::RampSample(0, call * kFrames + i, 3)) << "call " << call << " frame " << i;
    }
}

TEST_F(PeriodProcessing, ThreePeriodsBehindCatchesUpWithoutTheHost) {
    Open("1:source=ramp");
    Host::Instance().recordInput = true;
    Step(3);
    Host& host = Host::Instance();
    // Period 0 goes through the rings unheard; periods 1 and 2 reach the host.
    EXPECT_EQ(host.halves, (std::vector<ASIOLong>{1, 0}));
    EXPECT_EQ(host.positions, (std::vector<uint64_t>{512, 768}));
    EXPECT_EQ(m_unit->CountRequests(IOCTL_GET_POSITION), 2u) << "one position request per pass";
    EXPECT_EQ(Input(0, 3).front(), vu::RampSample(0, kFrames, 3));
    EXPECT_EQ(UserPeriod(), 3u);
}

TEST_F(PeriodProcessing, SixtyThreeToZeroIsNotFallingBehind) {
    Open("1:");
    for (int i = 0; i < 62; ++i) Step(1);
    ASSERT_EQ(UserPeriod(), 62u);
    ASSERT_EQ(Host::Instance().Calls(), 62u);
    // The unit completes periods 62 and 63; its index is 0 again. After the
    // first advance usrPeriod is 63 and 63 + 1 wraps to the unit's 0: both
    // periods reach the host.
    Step(2);
    EXPECT_EQ(Host::Instance().Calls(), 64u);
    EXPECT_EQ(Host::Instance().positions.back(), 64u * kFrames);
    EXPECT_EQ(UserPeriod(), 0u);
    Step(1);
    EXPECT_EQ(Host::Instance().Calls(), 65u);
    EXPECT_EQ(UserPeriod(), 1u);
}

TEST_F(PeriodProcessing, TimeStampsFollowTheUnitsTimeAndNeverPassIt) {
    constexpr DWORD kUnitMs = 5000;
    constexpr uint64_t kLimit = uint64_t{kUnitMs} * 1000000u;
    struct Case {
        const char* name;
        uint64_t startStamp;
        uint32_t periods;
        std::vector<uint64_t> seen;  // the time stamps the host reads in bufferSwitch
    };
    static const Case kCases[] = {
        {"in step with the unit: the unit's time", 0, 1, {kLimit}},
        {"behind: one buffer's duration per period, then the unit's time",
         kLimit - 10 * kPeriodNs,
         3,
         {kLimit - 8 * kPeriodNs, kLimit}},
        {"behind but close: clamped to the unit's time", kLimit - kPeriodNs / 2, 3, {kLimit, kLimit}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Open("1:");
        {
            CCsLock pos(&Driver()->m_csPos);
            Driver()->m_timeStamp = c.startStamp;
        }
        Step(c.periods, kUnitMs);
        EXPECT_EQ(Host::Instance().stamps, c.seen);
    }
}

// Answers no unit should give, and failures, stop the pass; nothing is read
// or written on their account.
TEST_F(PeriodProcessing, UnusablePositionAnswersStopThePass) {
    struct Case {
        const char* name;
        vu::Fault fault;
    };
    static const Case kCases[] = {
        {"position request failing", vu::Fault::Fail(IOCTL_GET_POSITION).Times(1)},
        {"period index 200", vu::Fault::Answer(IOCTL_GET_POSITION, 12, 200).Times(1)},
        {"period index 64", vu::Fault::Answer(IOCTL_GET_POSITION, 12, 64).Times(1)},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Open("1:");
        ASSERT_NE(m_unit->AddFault(c.fault), 0);
        Step(1);
        EXPECT_EQ(Host::Instance().Calls(), 0u);
        EXPECT_EQ(UserPeriod(), 0u);
        EXPECT_EQ(m_unit->CountRequests(IOCTL_GET_POSITION), 1u);
        // The next period event finds the period still ready.
        Driver()->processPeriods();
        EXPECT_EQ(Host::Instance().Calls(), 1u);
    }
}

TEST_F(PeriodProcessing, EndedStreamIsSilencedAndNotPassedOn) {
    Open("1:source=ramp");
    Step(1);
    ASSERT_EQ(Host::Instance().Calls(), 1u);
    ASSERT_TRUE(m_unit->EndStream(1));
    Driver()->processPeriods();
    EXPECT_EQ(Host::Instance().Calls(), 1u);
    CDevOne* main = Driver()->m_devAll.Main();
    EXPECT_EQ(main->Ring()->ack, 1u);
    EXPECT_FALSE(main->IsActive());
    const uint8_t* half = main->HostHalf(0, 0);
    for (uint32_t i = 0; i < Driver()->m_devAll.m_nHalfBytes; ++i) ASSERT_EQ(half[i], 0) << "byte " << i;
}

TEST_F(PeriodProcessing, StoppedDriverCountsPeriodsOffWithoutTheHost) {
    Open("1:");
    {
        CCsLock stream(&Driver()->m_csStream);
        Driver()->m_bStarted = FALSE;
    }
    Step(2);
    EXPECT_EQ(Host::Instance().Calls(), 0u);
    EXPECT_EQ(UserPeriod(), 2u);
    EXPECT_EQ(Driver()->m_nSamples, 0u);
}

// The widest unit the counts can describe streams without a copy outside its
// blocks (AddressSanitizer watches).
TEST_F(PeriodProcessing, UnitWith255ChannelsEachWay) {
    Open("1:in=255,out=255,width=4,source=ramp", 64);
    Host::Instance().recordInput = true;
    Host::Instance().writeOutput = true;
    Step(1);
    Step(1);
    ASSERT_EQ(Host::Instance().Calls(), 2u);
    const uint8_t* last = Driver()->m_devAll.Main()->HostHalf(254, 1);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(vu::LoadSample(last, 4), vu::RampSample(254, 64, 4));
}

}  // namespace
