// The wake-up from the period event to the host's bufferSwitch: the benchmark
// thread sets the driver's period event (as the kernel driver does after it
// completed a period) and waits until bufferSwitch has answered it. The
// driver's streaming thread wakes, asks the unit's position, advances the
// rings, copies the inputs and calls the host, which sets an event back.
//
// Baseline, measured in the same iterations: a bare ping-pong of the platform
// layer, two threads and two auto-reset events (SetEvent, WaitForSingleObject).
// `ratio` is the driver's round trip over the ping-pong's; `oneway_us` and
// `pingpong_oneway_us` count from setting the event to the woken thread's
// first instruction (bufferSwitch entry, or the return of its wait).
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>

#include "bench_driver.h"
#include "win32.h"

namespace {

using Clock = std::chrono::steady_clock;

// The callback record has no context pointer: one waiting benchmark at a time.
std::atomic<int64_t> g_switchEntryNs{0};
HANDLE g_switched = nullptr;

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

void SignallingBufferSwitch(ASIOLong, ASIOBool) {
    g_switchEntryNs.store(NowNs(), std::memory_order_relaxed);
    SetEvent(g_switched);
}
ASIOLong NoMessages(ASIOLong, ASIOLong, void*, double*) { return 0; }

// The other end of the ping-pong.
struct PingPong {
    HANDLE ping = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE pong = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE thread = nullptr;
    std::atomic<bool> quit{false};
    std::atomic<int64_t> wokenNs{0};

    static DWORD WINAPI Run(LPVOID param) {
        auto* self = static_cast<PingPong*>(param);
        // The same priority the driver gives its streaming thread.
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
        for (;;) {
            WaitForSingleObject(self->ping, INFINITE);
            self->wokenNs.store(NowNs(), std::memory_order_relaxed);
            if (self->quit.load(std::memory_order_acquire)) break;
            SetEvent(self->pong);
        }
        return 0;
    }
    PingPong() { thread = CreateThread(nullptr, 0, Run, this, 0, nullptr); }
    ~PingPong() {
        quit.store(true, std::memory_order_release);
        SetEvent(ping);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        CloseHandle(ping);
        CloseHandle(pong);
    }
};

void BM_WakeUp(benchmark::State& state) {
    bench::StreamShape shape;
    shape.channels = static_cast<uint32_t>(state.range(0));
    shape.frames = static_cast<int32_t>(state.range(1));
    shape.width = 4;
    g_switched = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    ASIOCallbacks callbacks{SignallingBufferSwitch, nullptr, NoMessages, nullptr};
    {
        bench::BenchDriver driver;
        PingPong pingPong;
        if (!driver.Open(shape, &callbacks) || driver.PeriodEvent() == nullptr) {
            state.SkipWithError("the driver did not start streaming");
        } else {
            double driverNs = 0, pingNs = 0, oneWayNs = 0, pingOneWayNs = 0;
            for (auto _ : state) {
                if (!driver.Step()) {
                    state.SkipWithError("the unit did not complete a period");
                    break;
                }
                const int64_t t0 = NowNs();
                SetEvent(driver.PeriodEvent());
                WaitForSingleObject(g_switched, INFINITE);
                const int64_t t1 = NowNs();
                // Let the driver finish the period (its output copy) untimed.
                if (!driver.WaitUntilCaughtUp(5000)) {
                    state.SkipWithError("the driver did not finish the period");
                    break;
                }
                const int64_t p0 = NowNs();
                SetEvent(pingPong.ping);
                WaitForSingleObject(pingPong.pong, INFINITE);
                const int64_t p1 = NowNs();

                driverNs += static_cast<double>(t1 - t0);
                oneWayNs += static_cast<double>(g_switchEntryNs.load(std::memory_order_relaxed) - t0);
                pingNs += static_cast<double>(p1 - p0);
                pingOneWayNs += static_cast<double>(pingPong.wokenNs.load(std::memory_order_relaxed) - p0);
                state.SetIterationTime(static_cast<double>(t1 - t0) * 1e-9);
            }
            using C = benchmark::Counter;
            state.counters["oneway_us"] = C(oneWayNs / 1000, C::kAvgIterations);
            state.counters["pingpong_us"] = C(pingNs / 1000, C::kAvgIterations);
            state.counters["pingpong_oneway_us"] = C(pingOneWayNs / 1000, C::kAvgIterations);
            state.counters["ratio"] = pingNs > 0 ? driverNs / pingNs : 0;
        }
    }
    CloseHandle(g_switched);
    g_switched = nullptr;
}

// channels per direction, frames per period (4-byte samples)
BENCHMARK(BM_WakeUp)
    ->ArgNames({"ch", "frames"})
    ->ArgsProduct({{2, 64}, {256}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
