// Host calls from several threads while the unit streams on its real-time
// clock, units unplugged at random moments of a session, and driver objects
// made and destroyed in a loop. These look for crashes, hangs, leaks and (under
// ThreadSanitizer) races; the answers only have to be among the allowed ones.
//
// The unit does not read the output rings here (take=0): the driver writes its
// output a pre-roll ahead of the unit's reading, as with the real kernel driver,
// and a free-running stream would otherwise read and write the same bytes.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "asio_test_support.h"
#include "host_harness.h"
#include "win32_linux.h"

namespace {

using asiotest::HostHarness;
using asiotest::Units;

bool OneOf(ASIOError result, std::initializer_list<ASIOError> allowed) {
    for (ASIOError a : allowed)
        if (result == a) return true;
    return false;
}

// A second host thread working on the driver while the first one's stream runs.
struct SecondThread {
    IASIO* asio = nullptr;
    int rounds = 0;
    std::atomic<int> unexpected{0};
    std::atomic<int> backwards{0};

    static DWORD WINAPI Run(LPVOID param) {
        SecondThread* self = static_cast<SecondThread*>(param);
        uint64_t last = 0;
        for (int i = 0; i < self->rounds; ++i) {
            ASIOSamples position{};
            ASIOTimeStamp stamp{};
            if (self->asio->getSamplePosition(&position, &stamp) != ASE_OK) ++self->unexpected;
            const uint64_t now = (uint64_t{position.hi} << 32) | position.lo;
            // A start restarts the count; between starts it only grows.
            (void)last;
            last = now;
            ASIOLong in = 0, out = 0;
            if (self->asio->getLatencies(&in, &out) != ASE_OK) ++self->unexpected;
            if (!OneOf(self->asio->setSampleRate(i % 2 == 0 ? 48000.0 : 44100.0), {ASE_OK, ASE_NoClock}))
                ++self->unexpected;
            if (!OneOf(self->asio->stop(), {ASE_OK})) ++self->unexpected;
            if (!OneOf(self->asio->start(), {ASE_OK, ASE_InvalidMode})) ++self->unexpected;
            Sleep(1);
        }
        return 0;
    }
};

TEST(Concurrency, SecondHostThreadWhileStreaming) {
    // Counted with the unit gone too: its real-time clock holds handles of its own.
    const DWORD handles = MxOpenHandleCount();
    {
        vu::VirtualUnit unit(Units("1:clock=rt,take=0,source=ramp"));
        vu::ScopedInstall install(unit);
        {
            HostHarness host(unit);
            host.acceptReset = false;  // so that every start is tried in full
            host.Create();
            ASSERT_EQ(host.Query(), ASE_OK);
            ASSERT_EQ(host.CreateBuffers(64), ASE_OK);
            ASSERT_EQ(host.Start(), ASE_OK);
            ASSERT_TRUE(host.WaitForCalls(3));

            SecondThread second;
            second.asio = host.Asio();
            second.rounds = 20;
            HANDLE thread = CreateThread(nullptr, 0, &SecondThread::Run, &second, 0, nullptr);
            ASSERT_NE(thread, nullptr);
            // The first host thread reads positions meanwhile, as hosts do.
            while (WaitForSingleObject(thread, 0) == WAIT_TIMEOUT) {
                ASIOSamples position{};
                ASIOTimeStamp stamp{};
                EXPECT_EQ(host.Asio()->getSamplePosition(&position, &stamp), ASE_OK);
                Sleep(1);
            }
            CloseHandle(thread);
            EXPECT_EQ(second.unexpected.load(), 0);
            EXPECT_GE(host.selectorChecks.load(), 1) << "the rate changes asked whether the host takes resets";
            EXPECT_EQ(host.Stop(), ASE_OK);
            EXPECT_EQ(host.Dispose(), ASE_OK);
        }
        EXPECT_EQ(unit.Inspect(1).openHandles, 0u);
    }
    EXPECT_EQ(MxOpenHandleCount(), handles);
}

// The unit goes away at a random moment while a host runs a whole session.
TEST(Concurrency, UnitUnpluggedAtRandomMoments) {
    std::mt19937 random(20240611u);
    constexpr int kSessions = 40;
    for (int session = 0; session < kSessions; ++session) {
        const unsigned delayUs = std::uniform_int_distribution<unsigned>(0, 6000)(random);
        const bool stopFirst = (random() & 1) != 0;
        SCOPED_TRACE("session " + std::to_string(session) + ", unplugged after " + std::to_string(delayUs) + " us");
        const DWORD handles = MxOpenHandleCount();
        auto unitHolder = std::make_unique<vu::VirtualUnit>(Units("1:clock=rt,take=0"));
        vu::VirtualUnit& unit = *unitHolder;
        auto install = std::make_unique<vu::ScopedInstall>(unit);
        struct Unplugger {
            vu::VirtualUnit* unit;
            unsigned delayUs;
            static DWORD WINAPI Run(LPVOID param) {
                Unplugger* self = static_cast<Unplugger*>(param);
                LARGE_INTEGER frequency, start, now;
                QueryPerformanceFrequency(&frequency);
                QueryPerformanceCounter(&start);
                do {
                    QueryPerformanceCounter(&now);
                } while ((now.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart < self->delayUs);
                self->unit->Unplug(1);
                return 0;
            }
        } unplugger{&unit, delayUs};
        {
            HostHarness host(unit);
            HANDLE thread = CreateThread(nullptr, 0, &Unplugger::Run, &unplugger, 0, nullptr);
            ASSERT_NE(thread, nullptr);
            host.Create();
            if (host.Query() == ASE_OK && host.facts().init == ASIOTrue) {
                const ASIOError created = host.CreateBuffers(64);
                EXPECT_TRUE(OneOf(created, {ASE_OK, ASE_NotPresent, ASE_NoMemory})) << created;
                if (created == ASE_OK) {
                    EXPECT_TRUE(OneOf(host.Start(), {ASE_OK, ASE_NotPresent}));
                    host.WaitForCalls(4, 5);
                    if (stopFirst) {
                        EXPECT_EQ(host.Stop(), ASE_OK);
                        EXPECT_EQ(host.Dispose(), ASE_OK);
                    }
                }
            }
            host.Release();  // with or without stop and dispose
            ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
            CloseHandle(thread);
        }
        const vu::UnitSnapshot after = unit.Inspect(1);
        EXPECT_EQ(after.openHandles, 0u);
        EXPECT_FALSE(after.mapped);
        EXPECT_FALSE(after.streaming);
        install.reset();
        unitHolder.reset();
        EXPECT_EQ(MxOpenHandleCount(), handles);
    }
}

TEST(Concurrency, DriverObjectsMadeAndDestroyedInALoop) {
    const DWORD handles = MxOpenHandleCount();
    const LONG objects = ComObjectCount();
    auto unitHolder = std::make_unique<vu::VirtualUnit>(Units("1:clock=rt,take=0"));
    vu::VirtualUnit& unit = *unitHolder;
    auto install = std::make_unique<vu::ScopedInstall>(unit);
    for (int i = 0; i < 30; ++i) {
        SCOPED_TRACE("object " + std::to_string(i));
        HostHarness host(unit);
        host.Create();
        ASSERT_EQ(host.Query(), ASE_OK);
        if (i % 3 == 0) continue;  // released right after the queries
        ASSERT_EQ(host.CreateBuffers(64), ASE_OK);
        ASSERT_EQ(host.Start(), ASE_OK);
        ASSERT_TRUE(host.WaitForCalls(2));
        // Every other one is released while it streams, without stop or dispose.
        if (i % 3 == 1) {
            EXPECT_EQ(host.Stop(), ASE_OK);
            EXPECT_EQ(host.Dispose(), ASE_OK);
        }
    }
    EXPECT_EQ(unit.Inspect(1).openHandles, 0u);
    install.reset();
    unitHolder.reset();
    EXPECT_EQ(MxOpenHandleCount(), handles);
    EXPECT_EQ(ComObjectCount(), objects);
}

}  // namespace
