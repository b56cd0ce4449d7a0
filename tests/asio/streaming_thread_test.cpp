// The streaming thread: periods from the virtual unit through processPeriods to
// the host and back, units going away, and the thread's own start and stop.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "asio_test_support.h"
#include "virtual_unit/test_signal.h"

namespace {

using asiotest::Describe;
using asiotest::DriverRef;
using asiotest::Host;
using asiotest::Join;
using asiotest::Units;

constexpr int32_t kFrames = 256;
constexpr DWORD kWaitMs = 10000;  // only a bound on a wait for something that must happen

// Waits until `done` holds; false after kWaitMs.
template <typename Predicate>
bool WaitUntil(Predicate done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > kWaitMs) return false;
        Sleep(1);
    }
    return true;
}

class StreamingThread : public ::testing::Test {
protected:
    void Open(const char* units, int32_t frames = kFrames, uint32_t preRoll = 0) {
        m_unit = std::make_unique<vu::VirtualUnit>(Units(units));
        m_install = std::make_unique<vu::ScopedInstall>(*m_unit);
        m_driver = std::make_unique<DriverRef>();
        Host::Instance().Reset(m_driver->object);
        m_callbacks = Host::Callbacks();
        ASSERT_TRUE(asiotest::StartDirect(m_driver->object, frames, &m_callbacks, true, preRoll));
    }
    void TearDown() override {
        m_driver.reset();
        m_install.reset();
        m_unit.reset();
        Host::Instance().Reset(nullptr);
    }
    AsioOurs* Driver() { return m_driver->object; }
    // Waits until the thread has finished the pass in which the host was called
    // for the `count`-th time: the pass holds the stream lock throughout.
    void AwaitCall(size_t count) {
        ASSERT_TRUE(Host::Instance().WaitForCalls(count)) << "call " << count << " never came";
        CCsLock stream(&Driver()->m_csStream);
    }

    std::unique_ptr<vu::VirtualUnit> m_unit;
    std::unique_ptr<vu::ScopedInstall> m_install;
    std::unique_ptr<DriverRef> m_driver;
    ASIOCallbacks m_callbacks{};
};

TEST_F(StreamingThread, StreamsPeriodsFromTheUnitToTheHostAndBack) {
    // A pre-roll of one period puts each period's output where the unit takes
    // its next period from.
    Open("1:source=ramp", kFrames, kFrames);
    Host& host = Host::Instance();
    host.recordInput = true;
    host.writeOutput = true;
    constexpr int kPeriods = 8;
    for (int n = 0; n < kPeriods; ++n) {
        ASSERT_EQ(m_unit->Step(1), 1u);
        AwaitCall(n + 1);
    }
    EXPECT_EQ(host.halves, (std::vector<ASIOLong>{0, 1, 0, 1, 0, 1, 0, 1}));
    EXPECT_EQ(host.positions.back(), uint64_t{kPeriods} * kFrames);
    EXPECT_EQ(m_unit->CountRequests(IOCTL_GET_POSITION), size_t{kPeriods});

    for (int n = 0; n < kPeriods; ++n) {
        SCOPED_TRACE("period " + std::to_string(n));
        const std::vector<uint8_t>& bytes = host.inputs[n];
        ASSERT_EQ(bytes.size(), size_t{kFrames} * 3);
        for (int i = 0; i < kFrames; ++i)
            ASSERT_EQ(vu::LoadSample(&bytes[i * 3], 3), vu::RampSample(0, uint64_t(n) * kFrames + i, 3)) << i;
    }
    // The unit took period 0 as silence (the pre-roll) and, in period n + 1, the
    // output the host wrote in its call n (every byte the call's number).
    ASSERT_EQ(m_unit->CapturedFrames(1), uint64_t{kPeriods} * kFrames);
    for (uint32_t channel = 0; channel < 2; ++channel) {
        std::vector<int32_t> captured(kPeriods * kFrames);
        ASSERT_EQ(m_unit->ReadCapture(1, channel, 0, captured.data(), captured.size()), captured.size());
        for (int n = 0; n < kPeriods; ++n) {
            const uint8_t value = static_cast<uint8_t>(n);  // call n wrote n + 1 into period n + 1
            const uint8_t sample[3] = {value, value, value};
            const int32_t expected = n == 0 ? 0 : vu::LoadSample(sample, 3);
            for (int i = 0; i < kFrames; ++i)
                ASSERT_EQ(captured[n * kFrames + i], expected) << "channel " << channel << " period " << n;
        }
    }
    asiotest::StopDirect(Driver());
}

TEST_F(StreamingThread, PeriodEventWithNothingReadyIsIgnored) {
    Open("1:");
    m_unit->ClearLog();
    SetEvent(Driver()->m_devAll.m_thread.PeriodEvent());
    Sleep(20);  // give the thread the chance to see the empty event on its own
    ASSERT_EQ(m_unit->Step(1), 1u);
    AwaitCall(1);
    EXPECT_EQ(Host::Instance().Calls(), 1u);
    EXPECT_EQ(m_unit->CountRequests(IOCTL_GET_POSITION), 1u);
    asiotest::StopDirect(Driver());
}

TEST_F(StreamingThread, UnitEventOfTheMainSlotDropsTheUnit) {
    Open("1:");
    ASSERT_EQ(m_unit->Step(1), 1u);
    AwaitCall(1);
    CDevOne* main = Driver()->m_devAll.Main();
    m_unit->ClearLog();
    ASSERT_TRUE(m_unit->Unplug(1));
    ASSERT_TRUE(WaitUntil([&] { return !main->IsOpen(); }));
    {
        CCsLock stream(&Driver()->m_csStream);  // the thread has left DropDev
        EXPECT_EQ(Driver()->m_devAll.Main(), main);
    }
    const std::vector<std::string> log = Describe(m_unit->Log());
    EXPECT_EQ(log, (std::vector<std::string>{"1 IOCTL_RELEASE_BUFFER failed", "1 IOCTL_UNREGISTER_EVENTS failed",
                                             "close 1"}))
        << Join(log);
    EXPECT_EQ(Host::Instance().Calls(), 1u);

    // The host's later calls find a lost device: nothing more reaches the unit.
    m_unit->ClearLog();
    asiotest::StopDirect(Driver());
    EXPECT_EQ(Driver()->stop(), ASE_InvalidMode);
    m_driver.reset();
    EXPECT_TRUE(m_unit->Log().empty()) << Join(Describe(m_unit->Log()));
}

TEST_F(StreamingThread, UnitEventOfAnotherSlotLeavesTheMainUnitStreaming) {
    Open("1:");
    m_unit->ClearLog();
    SetEvent(Driver()->m_devAll.m_thread.UnitEvent(3));
    // Signalled later, the period event is seen after the unit event.
    ASSERT_EQ(m_unit->Step(1), 1u);
    AwaitCall(1);
    EXPECT_TRUE(Driver()->m_devAll.Main()->IsOpen());
    const std::vector<std::string> log = Describe(m_unit->Log());
    EXPECT_EQ(log, (std::vector<std::string>{"1 IOCTL_GET_POSITION"})) << Join(log);
    asiotest::StopDirect(Driver());
}

TEST_F(StreamingThread, ThreadRunsTimeCriticalAndEndsOnItsStopEvent) {
    Open("1:");
    CAsioTh& thread = Driver()->m_devAll.m_thread;
    ASSERT_NE(thread.m_hThread, nullptr);
    EXPECT_NE(thread.m_dwThreadId, 0u);
    EXPECT_TRUE(WaitUntil([&] { return GetThreadPriority(thread.m_hThread) == THREAD_PRIORITY_TIME_CRITICAL; }));
    ASSERT_TRUE(SetEvent(thread.m_hEvent[0]));
    ASSERT_EQ(WaitForSingleObject(thread.m_hThread, kWaitMs), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    EXPECT_TRUE(GetExitCodeThread(thread.m_hThread, &exitCode));
    EXPECT_EQ(exitCode, 1u);
    asiotest::StopDirect(Driver());
}

TEST_F(StreamingThread, StopEventEndsTheThreadWhilePeriodsArrive) {
    Open("1:clock=rt", 64);
    AwaitCall(5);
    CAsioTh& thread = Driver()->m_devAll.m_thread;
    thread.Stop();
    EXPECT_EQ(thread.m_hThread, nullptr);
    EXPECT_EQ(thread.m_dwThreadId, 0u);
    const size_t calls = Host::Instance().Calls();
    // The unit keeps completing periods; nobody processes them any more.
    const uint64_t completed = m_unit->Inspect(1).periodsCompleted;
    EXPECT_TRUE(m_unit->WaitForPeriods(1, completed + 5, kWaitMs));
    EXPECT_EQ(Host::Instance().Calls(), calls);
    asiotest::StopDirect(Driver());
}

TEST_F(StreamingThread, HostReleasingWhileStreamingEndsEverything) {
    Open("1:clock=rt", 64);
    AwaitCall(5);
    m_driver.reset();  // no stop, no disposeBuffers
    const vu::UnitSnapshot after = m_unit->Inspect(1);
    EXPECT_FALSE(after.streaming);
    EXPECT_FALSE(after.mapped);
    EXPECT_FALSE(after.eventsRegistered);
    EXPECT_EQ(after.openHandles, 0u);
    const size_t calls = Host::Instance().Calls();
    Sleep(20);
    EXPECT_EQ(Host::Instance().Calls(), calls);
}

// Hosts read the position from their own threads while periods run: each read
// is a matching pair, and neither half ever goes backwards.
TEST_F(StreamingThread, PositionReadFromAnotherThreadNeverGoesBackwards) {
    Open("1:clock=rt", 64);
    AwaitCall(1);
    struct Poll {
        AsioOurs* driver;
        int reads = 0;
        int backwards = 0;
        int failures = 0;
        static DWORD WINAPI Run(LPVOID param) {
            Poll* self = static_cast<Poll*>(param);
            uint64_t lastPosition = 0;
            uint64_t lastStamp = 0;
            while (self->reads < 2000) {
                ASIOSamples position{};
                ASIOTimeStamp stamp{};
                if (self->driver->getSamplePosition(&position, &stamp) != ASE_OK) ++self->failures;
                const uint64_t p = (uint64_t{position.hi} << 32) | position.lo;
                const uint64_t t = (uint64_t{stamp.hi} << 32) | stamp.lo;
                if (p < lastPosition || t < lastStamp) ++self->backwards;
                lastPosition = p;
                lastStamp = t;
                ++self->reads;
                if (self->reads % 100 == 0) Sleep(1);
            }
            return 0;
        }
    } poll{Driver()};
    HANDLE thread = CreateThread(nullptr, 0, &Poll::Run, &poll, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, kWaitMs * 6), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(poll.failures, 0);
    EXPECT_EQ(poll.backwards, 0);
    asiotest::StopDirect(Driver());
}

}  // namespace
