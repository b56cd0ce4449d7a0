// The session's host side of every period: the test signal into the outputs,
// the inputs into a capture, and what a host engineer wants to know about each
// call: the sample position (catch-up periods show as a position that jumped
// by more than one buffer), the wake-up time from the driver's period event,
// and the processor time of the callback and of the driver between callbacks.
//
// Everything is allocated by Prepare; a period allocates nothing.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "asio/iasio.h"
#include "host_harness.h"
#include "period_event_relay.h"

namespace session {

struct HostSetup {
    IASIO* driver = nullptr;        // asked for the sample position in every period
    uint32_t width = 4;             // bytes per sample of the driver's buffers
    int32_t inputs = 0;
    int32_t outputs = 0;
    int32_t bufferSize = 0;         // frames per half
    uint64_t maxPeriods = 0;        // periods whose details are kept
    uint64_t captureFrames = 0;     // input frames kept per channel
    const PeriodEventRelay* relay = nullptr;  // stamps of the period events, if any
    // A deliberate fault for tests of the check: the sample written to output
    // channel corruptChannel at host frame corruptFrame differs from the signal.
    int64_t corruptFrame = -1;
    uint32_t corruptChannel = 0;
};

// One bufferSwitch.
struct PeriodRecord {
    int64_t entryTicks = 0;     // QueryPerformanceCounter at entry
    int64_t wakeTicks = -1;     // from the period event being set to entry; -1 when unknown
    int64_t callbackCpuNs = 0;  // thread processor time inside the callback
    int64_t driverCpuNs = -1;   // the driver thread's processor time since the previous callback ended
    uint64_t position = 0;      // getSamplePosition
    bool streamingThread = false;  // false for the call made inside start
};

// What a progress line shows; safe to read while streaming.
struct HostLive {
    uint64_t switches = 0;
    uint64_t position = 0;
    uint64_t skippedPeriods = 0;
    int64_t lastCallbackCpuNs = 0;
    int64_t lastWakeTicks = -1;
};

class SessionHost final : public IHostProcessor {
public:
    bool Prepare(const HostSetup& setup);
    void OnBufferSwitch(HostHarness& host, ASIOLong index, ASIOBool directProcess) override;

    HostLive Live() const;

    // --- results, read once the driver stopped ---
    uint64_t Switches() const { return m_calls.load(std::memory_order_acquire); }
    const std::vector<PeriodRecord>& Records() const { return m_records; }
    uint64_t RecordCount() const;
    uint64_t SkippedPeriods() const { return m_skipped.load(std::memory_order_acquire); }
    uint64_t PositionErrors() const { return m_positionErrors; }   // failed, stalled or backwards positions
    uint64_t TimeStampBackwards() const { return m_timeBackwards; }
    uint64_t HalfOrderErrors() const { return m_halfErrors; }       // index not the half the position implies
    uint64_t NotDirectProcess() const { return m_notDirect; }
    const std::vector<std::vector<int32_t>>& Captured() const { return m_capture; }
    uint64_t CapturedFrames() const;
    uint64_t FramesWritten() const { return Switches() * static_cast<uint64_t>(m_setup.bufferSize); }

private:
    void CheckPosition(ASIOLong index, PeriodRecord& record);
    void Capture(HostHarness& host, ASIOLong index, uint64_t firstFrame);
    void Fill(HostHarness& host, ASIOLong index, uint64_t firstFrame);

    HostSetup m_setup;
    std::vector<PeriodRecord> m_records;
    std::vector<std::vector<int32_t>> m_capture;
    std::atomic<uint64_t> m_calls{0};
    std::atomic<uint64_t> m_skipped{0};
    std::atomic<uint64_t> m_lastPosition{0};
    std::atomic<int64_t> m_lastCallbackCpuNs{0};
    std::atomic<int64_t> m_lastWakeTicks{-1};
    // Touched only by the driver's threads, one call at a time.
    uint64_t m_previousPosition = 0;
    uint64_t m_previousTime = 0;
    uint64_t m_positionErrors = 0;
    uint64_t m_timeBackwards = 0;
    uint64_t m_halfErrors = 0;
    uint64_t m_notDirect = 0;
    DWORD m_previousThread = 0;
    int64_t m_previousExitCpuNs = -1;
};

// Processor time of the calling thread, in nanoseconds.
int64_t ThreadCpuNanoseconds();

}  // namespace session
