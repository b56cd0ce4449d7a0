// The per-period path of the driver: the ring check (DevsReady), the position
// request to the unit, AdvanceRings, ReadInputs, the host's bufferSwitch (empty
// here) and WriteOutputs, as processPeriods runs them for one ready period.
//
// Baseline, measured in the same iterations: one plain memcpy of the same
// number of bytes the period copies (every input channel's period into the
// host buffers and every output channel's period back). The counter `ratio` is
// the driver's time over the memcpy's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "bench_driver.h"

namespace {

using Clock = std::chrono::steady_clock;

void EmptyBufferSwitch(ASIOLong, ASIOBool) {}
ASIOLong NoMessages(ASIOLong, ASIOLong, void*, double*) { return 0; }

// The memcpy runs this many times between two clock readings, so that the
// clock's own cost hardly counts in the baseline of the smallest periods.
constexpr int kCopiesPerReading = 8;

void BM_PeriodPath(benchmark::State& state) {
    bench::StreamShape shape;
    shape.channels = static_cast<uint32_t>(state.range(0));
    shape.frames = static_cast<int32_t>(state.range(1));
    shape.width = static_cast<uint32_t>(state.range(2));
    ASIOCallbacks callbacks{EmptyBufferSwitch, nullptr, NoMessages, nullptr};
    bench::BenchDriver driver;
    if (!driver.Open(shape, &callbacks)) {
        state.SkipWithError("the driver did not start streaming");
        return;
    }
    const size_t bytes = static_cast<size_t>(shape.PeriodBytes());
    std::vector<uint8_t> source(bytes, 0x5A);
    std::vector<uint8_t> dest(bytes, 0);

    double driverNs = 0;
    double copyNs = 0;
    for (auto _ : state) {
        if (!driver.Step()) {
            state.SkipWithError("the unit did not complete a period");
            break;
        }
        const auto t0 = Clock::now();
        driver.Driver()->processPeriods();
        const auto t1 = Clock::now();
        for (int i = 0; i < kCopiesPerReading; ++i) {
            std::memcpy(dest.data(), source.data(), bytes);
            benchmark::ClobberMemory();
        }
        const auto t2 = Clock::now();
        const double periodNs = std::chrono::duration<double, std::nano>(t1 - t0).count();
        driverNs += periodNs;
        copyNs += std::chrono::duration<double, std::nano>(t2 - t1).count() / kCopiesPerReading;
        state.SetIterationTime(periodNs * 1e-9);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["memcpy_ns"] = benchmark::Counter(copyNs, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = copyNs > 0 ? driverNs / copyNs : 0;
    state.counters["period_bytes"] = static_cast<double>(bytes);
}

// channels per direction, frames per period, bytes per sample
BENCHMARK(BM_PeriodPath)
    ->ArgNames({"ch", "frames", "width"})
    ->ArgsProduct({{2, 8, 64}, {32, 256, 2048}, {2, 4}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
