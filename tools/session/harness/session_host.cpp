#include "session_host.h"

#include <time.h>

#include <algorithm>
#include <new>

#include "host_signal.h"

namespace session {

namespace {

int64_t Ticks() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

uint64_t Join(ASIOULong hi, ASIOULong lo) { return (uint64_t{hi} << 32) | lo; }

}  // namespace

int64_t ThreadCpuNanoseconds() {
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    const auto hundreds = [](const FILETIME& t) {
        return static_cast<int64_t>((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime);
    };
    return (hundreds(kernel) + hundreds(user)) * 100;
#else
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
#endif
}

bool SessionHost::Prepare(const HostSetup& setup) {
    if (setup.driver == nullptr || setup.width == 0 || setup.width > 4 || setup.bufferSize <= 0 ||
        setup.inputs < 0 || setup.outputs < 0)
        return false;
    m_setup = setup;
    m_records.clear();
    m_capture.clear();
    m_records.resize(setup.maxPeriods);
    m_capture.resize(static_cast<size_t>(setup.inputs));
    for (auto& channel : m_capture) channel.assign(setup.captureFrames, 0);
    m_calls.store(0);
    m_skipped.store(0);
    m_lastPosition.store(0);
    m_lastCallbackCpuNs.store(0);
    m_lastWakeTicks.store(-1);
    m_previousPosition = 0;
    m_previousTime = 0;
    m_positionErrors = m_timeBackwards = m_halfErrors = m_notDirect = 0;
    m_previousThread = 0;
    m_previousExitCpuNs = -1;
    return true;
}

HostLive SessionHost::Live() const {
    HostLive live;
    live.switches = m_calls.load(std::memory_order_acquire);
    live.position = m_lastPosition.load(std::memory_order_relaxed);
    live.skippedPeriods = m_skipped.load(std::memory_order_relaxed);
    live.lastCallbackCpuNs = m_lastCallbackCpuNs.load(std::memory_order_relaxed);
    live.lastWakeTicks = m_lastWakeTicks.load(std::memory_order_relaxed);
    return live;
}

uint64_t SessionHost::RecordCount() const { return std::min<uint64_t>(Switches(), m_records.size()); }

uint64_t SessionHost::CapturedFrames() const { return std::min<uint64_t>(FramesWritten(), m_setup.captureFrames); }

// The driver's threads: on the host's thread inside start, then its streaming thread.
void SessionHost::OnBufferSwitch(HostHarness& host, ASIOLong index, ASIOBool directProcess) {
    const int64_t entry = Ticks();
    const int64_t cpuEntry = ThreadCpuNanoseconds();
    const DWORD thread = GetCurrentThreadId();
    const uint64_t call = m_calls.load(std::memory_order_relaxed);

    PeriodRecord record;
    record.entryTicks = entry;
    record.streamingThread = !host.InStartCall();
    if (record.streamingThread && m_setup.relay != nullptr) {
        const int64_t set = m_setup.relay->LatestSetAtOrBefore(entry);
        if (set != 0) record.wakeTicks = entry - set;
    }
    if (record.streamingThread && thread == m_previousThread && m_previousExitCpuNs >= 0)
        record.driverCpuNs = cpuEntry - m_previousExitCpuNs;
    if (directProcess != ASIOTrue) ++m_notDirect;

    CheckPosition(index, record);
    const uint64_t firstFrame = call * static_cast<uint64_t>(m_setup.bufferSize);
    Capture(host, index, firstFrame);
    Fill(host, index, firstFrame);

    const int64_t cpuExit = ThreadCpuNanoseconds();
    record.callbackCpuNs = cpuExit - cpuEntry;
    if (call < m_records.size()) m_records[call] = record;
    m_previousThread = thread;
    m_previousExitCpuNs = cpuExit;
    m_lastCallbackCpuNs.store(record.callbackCpuNs, std::memory_order_relaxed);
    if (record.wakeTicks >= 0) m_lastWakeTicks.store(record.wakeTicks, std::memory_order_relaxed);
    m_calls.store(call + 1, std::memory_order_release);
}

// A host asks the position in every period. The driver counts the period being
// processed, so each call should find the position one buffer further on; more
// means the driver processed periods without calling us.
void SessionHost::CheckPosition(ASIOLong index, PeriodRecord& record) {
    ASIOSamples pos{};
    ASIOTimeStamp stamp{};
    if (m_setup.driver->getSamplePosition(&pos, &stamp) != ASE_OK) {
        ++m_positionErrors;
        return;
    }
    const uint64_t position = Join(pos.hi, pos.lo);
    const uint64_t time = Join(stamp.hi, stamp.lo);
    const uint64_t frames = static_cast<uint64_t>(m_setup.bufferSize);
    record.position = position;
    if (position <= m_previousPosition || (position - m_previousPosition) % frames != 0) {
        ++m_positionErrors;
    } else {
        const uint64_t periods = (position - m_previousPosition) / frames;
        if (periods > 1) m_skipped.fetch_add(periods - 1, std::memory_order_relaxed);
        // The driver swaps halves with every period it processes, called or not.
        const uint64_t processed = position / frames;
        if (static_cast<uint64_t>(index) != (processed - 1) % 2) ++m_halfErrors;
    }
    if (time < m_previousTime) ++m_timeBackwards;
    m_previousPosition = std::max(m_previousPosition, position);
    m_previousTime = std::max(m_previousTime, time);
    m_lastPosition.store(position, std::memory_order_relaxed);
}

void SessionHost::Capture(HostHarness& host, ASIOLong index, uint64_t firstFrame) {
    const uint32_t width = m_setup.width;
    const uint64_t frames = static_cast<uint64_t>(m_setup.bufferSize);
    if (firstFrame >= m_setup.captureFrames) return;
    const uint64_t count = std::min(frames, m_setup.captureFrames - firstFrame);
    for (int32_t c = 0; c < m_setup.inputs; ++c) {
        const auto* src = static_cast<const uint8_t*>(host.InputBuffer(c, index));
        int32_t* dest = m_capture[static_cast<size_t>(c)].data() + firstFrame;
        if (src == nullptr) {
            std::fill(dest, dest + count, 0);
            continue;
        }
        for (uint64_t i = 0; i < count; ++i) dest[i] = LoadHostSample(src + i * width, width);
    }
}

void SessionHost::Fill(HostHarness& host, ASIOLong index, uint64_t firstFrame) {
    const uint32_t width = m_setup.width;
    const uint64_t frames = static_cast<uint64_t>(m_setup.bufferSize);
    for (int32_t c = 0; c < m_setup.outputs; ++c) {
        auto* dest = static_cast<uint8_t*>(host.OutputBuffer(c, index));
        if (dest == nullptr) continue;
        for (uint64_t i = 0; i < frames; ++i) {
            const uint64_t frame = firstFrame + i;
            int32_t value = HostSignal(static_cast<uint32_t>(c), frame, width);
            if (static_cast<int64_t>(frame) == m_setup.corruptFrame && static_cast<uint32_t>(c) == m_setup.corruptChannel)
                value = value == 1 ? 2 : 1;
            StoreHostSample(dest + i * width, value, width);
        }
    }
}

}  // namespace session
