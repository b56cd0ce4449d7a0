// AsioOurs: period processing. Everything here runs on the streaming thread at
// time-critical priority (processPeriod also once on the host's thread inside
// start): no allocation, no formatting, no sleeping, never m_csApi, and one
// IOCTL_GET_POSITION per pass over the ready periods.
#include "asio_ours.h"
#include "cs_lock.h"
#include "device/ring.h"

namespace {

// One pass handles at most a ring's worth of periods. A unit that keeps
// reporting periods beyond that (or header words that never settle) cannot hold
// the thread away from its stop event: the next period event starts a new pass.
constexpr int kMaxPassesPerRun = static_cast<int>(device::kRingPeriods);
constexpr int kMaxCatchUp = static_cast<int>(device::kRingPeriods);

}  // namespace

// Streaming thread. The whole run holds m_csStream: a host call that swaps the
// units' blocks or resets their headers (all under that lock) waits for the run
// to end, so the blocks the run reads stay in place.
void AsioOurs::processPeriods() {
    CCsLock stream(&m_csStream);
    for (int pass = 0; pass < kMaxPassesPerRun && m_devAll.DevsReady(m_nBufferSize); ++pass) {
        CDevOne* main = m_devAll.Main();
        DWORD devMs = 0;
        DWORD devPeriod = 0;
        if (main == nullptr || !main->GetPosition(&devMs, &devPeriod)) return;
        m_nDevMs = devMs;
        m_nDevPeriod = devPeriod;
        if (!m_devAll.AdvanceRings()) return;

        // More than one period behind the unit: the surplus periods go through the
        // rings without the host, so the host is called at most one period late.
        uint32_t current = m_devAll.MainUserPeriod();
        for (int skipped = 0; skipped < kMaxCatchUp && current != m_nDevPeriod &&
                              (current + 1) % device::kRingPeriods != m_nDevPeriod;
             ++skipped) {
            processPeriod(true);
            if (!m_devAll.AdvanceRings()) return;
            current = m_devAll.MainUserPeriod();
        }
        processPeriod(false);
    }
}

// Streaming thread, and once from start on the host's thread.
void AsioOurs::processPeriod(bool skipHost) {
    CCsLock stream(&m_csStream);
    if (!m_bStarted || m_pCallbacks == nullptr) return;
    const uint64_t frames = m_nBufferSize > 0 ? static_cast<uint64_t>(m_nBufferSize) : 0;
    m_nSamples += frames;
    const uint64_t limit = static_cast<uint64_t>(m_nDevMs) * 1000000u;
    {
        CCsLock pos(&m_csPos);
        // The position counts the period being processed.
        m_samplePos = m_nSamples;
        const uint32_t current = m_devAll.MainUserPeriod();
        const uint32_t rate = m_devAll.m_nRate;
        if (current < m_nDevPeriod && rate != 0) {
            // Behind the unit: one buffer's duration per period, but never past
            // the time the unit completed its latest period.
            m_timeStamp += frames * 1000000000u / rate;
            if (m_timeStamp > limit) m_timeStamp = limit;
        } else {
            m_timeStamp = limit;
        }
    }
    const uint32_t half = m_nBufIndex != 0 ? 1u : 0u;
    m_devAll.ReadInputs(half);
    if (!skipHost && m_pCallbacks->bufferSwitch != nullptr) m_pCallbacks->bufferSwitch(half, ASIOTrue);
    m_devAll.WriteOutputs(half);
    m_nBufIndex = half == 0 ? 1 : 0;
}

// Streaming thread: the unit event of slot index + 1.
void AsioOurs::dropUnit(int index) {
    CCsLock stream(&m_csStream);
    m_devAll.DropDev(index);
}
