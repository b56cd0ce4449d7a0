// What tests, tools and demos do to the units from outside: configure, plug,
// raise messages, step the stream and look at what it exchanged.
#include <cstring>

#include "device/ring.h"
#include "model_state.h"

namespace vu {

namespace {

// Polls `done` under the lock until it holds or `timeoutMs` passed.
template <typename Done>
bool WaitUntil(CRITICAL_SECTION& cs, DWORD timeoutMs, Done done) {
    const DWORD start = timeGetTime();
    for (;;) {
        {
            Lock lock(cs);
            if (done()) return true;
        }
        if (timeGetTime() - start >= timeoutMs) return false;
        Sleep(1);
    }
}

}  // namespace

void VirtualUnit::Impl::UnplugLocked(int unit) {
    UnitState& u = units[unit - 1];
    if (!u.config.present) return;
    // The ring is marked before any mapping completes: afterwards the block may
    // already be the process's again.
    EndStream(u);
    u.stream.armed = false;
    for (auto& entry : handles) {
        HandleState& h = *entry.second;
        if (h.unit != unit || h.generation != u.generation) continue;
        if (h.mapping.pending) CompleteMapping(h);
        if (h.registered && h.unitEvent != nullptr) SetEvent(h.unitEvent);
    }
    ++u.generation;
    u.config.present = false;
    u.messages = 0;
    u.targetRate = 0;
}

bool VirtualUnit::Configure(int unit, const UnitConfig& config) {
    Impl& m = *m_impl;
    if (!IsValid(config)) return false;
    Lock lock(m.cs);
    UnitState* u = m.Unit(unit);
    if (u == nullptr) return false;
    if (u->config.present && !config.present) m.UnplugLocked(unit);
    u->config = config;
    u->targetRate = 0;
    if (u->stream.running) {
        if (config.clock == ClockMode::RealTime && !u->stream.anchored) m.AnchorClock(*u);
        if (config.clock != ClockMode::RealTime) u->stream.anchored = false;
    }
    return true;
}

bool VirtualUnit::Configure(const UnitSet& units) {
    for (const UnitConfig& config : units.units)
        if (!IsValid(config)) return false;
    for (int unit = 1; unit <= kMaxUnits; ++unit) Configure(unit, units.units[unit - 1]);
    return true;
}

bool VirtualUnit::ConfigureFromText(const char* text, ParseError* error) {
    UnitSet units;
    if (!ParseUnitSet(text, &units, error)) return false;
    return Configure(units);
}

UnitConfig VirtualUnit::Config(int unit) const {
    Lock lock(m_impl->cs);
    const UnitState* u = m_impl->Unit(unit);
    if (u != nullptr) return u->config;
    UnitConfig absent;
    absent.present = false;
    return absent;
}

UnitSnapshot VirtualUnit::Inspect(int unit) const {
    Impl& m = *m_impl;
    Lock lock(m.cs);
    UnitSnapshot snap;
    UnitState* u = m.Unit(unit);
    if (u == nullptr) {
        snap.config.present = false;
        return snap;
    }
    m.CurrentRate(*u, false);
    snap.present = u->config.present;
    for (auto& entry : m.handles) {
        const HandleState& h = *entry.second;
        if (h.unit != unit || !m.Alive(h)) continue;
        ++snap.openHandles;
        snap.eventsRegistered = snap.eventsRegistered || h.registered;
        snap.mapped = snap.mapped || h.mapping.pending;
    }
    if (const Mapping* ring = m.NewestRing(unit)) snap.mappedFrames = ring->frames;
    const StreamState& s = u->stream;
    snap.armed = s.armed;
    snap.streaming = s.running;
    snap.periodEvent = s.running && s.periodEvent != nullptr;
    snap.periodsCompleted = s.periods;
    snap.framesCompleted = s.frames;
    snap.devPeriod = s.devPeriod;
    snap.lastPeriodMs = s.lastMs;
    snap.targetRate = u->targetRate;
    snap.groupUnits = u->groupUnits;
    snap.groupRate = u->groupRate;
    snap.unitOption = u->unitOption;
    snap.pendingMessages = u->messages;
    snap.config = u->config;
    return snap;
}

bool VirtualUnit::Unplug(int unit) {
    Lock lock(m_impl->cs);
    UnitState* u = m_impl->Unit(unit);
    if (u == nullptr || !u->config.present) return false;
    m_impl->UnplugLocked(unit);
    return true;
}

bool VirtualUnit::Plug(int unit) {
    Lock lock(m_impl->cs);
    UnitState* u = m_impl->Unit(unit);
    if (u == nullptr || u->config.present) return false;
    u->config.present = true;
    return true;
}

bool VirtualUnit::RaiseMessages(int unit, uint32_t bits) {
    Impl& m = *m_impl;
    Lock lock(m.cs);
    UnitState* u = m.Unit(unit);
    if (u == nullptr || !u->config.present) return false;
    u->messages |= bits;
    for (auto& entry : m.handles) {
        const HandleState& h = *entry.second;
        if (h.unit == unit && m.Alive(h) && h.registered && h.statusEvent != nullptr) SetEvent(h.statusEvent);
    }
    return true;
}

uint32_t VirtualUnit::Step(int unit, uint32_t periods) { return StepAt(unit, timeGetTime(), periods); }

uint32_t VirtualUnit::StepAt(int unit, DWORD timeMs, uint32_t periods) {
    Impl& m = *m_impl;
    Lock lock(m.cs);
    UnitState* u = m.Unit(unit);
    if (u == nullptr || !u->stream.running || u->config.clock != ClockMode::Stepped) return 0;
    for (uint32_t i = 0; i < periods; ++i) m.CompletePeriod(*u, timeMs);
    return periods;
}

bool VirtualUnit::EndStream(int unit) {
    Lock lock(m_impl->cs);
    UnitState* u = m_impl->Unit(unit);
    return u != nullptr && m_impl->EndStream(*u);
}

bool VirtualUnit::ReadRingHeader(int unit, RING_HEADER* header) const {
    if (header == nullptr) return false;
    Lock lock(m_impl->cs);
    const Mapping* ring = m_impl->NewestRing(unit);
    if (ring == nullptr) return false;
    const RING_HEADER* shared = ring->Header();
    RING_HEADER copy{};
    // Word by word, as the process and the unit share them.
    copy.cbHeader = device::LoadShared(shared->cbHeader);
    copy.reserved = device::LoadShared(shared->reserved);
    copy.devState = device::LoadShared(shared->devState);
    copy.ack = device::LoadShared(shared->ack);
    copy.devPeriod = device::LoadShared(shared->devPeriod);
    copy.usrPeriod = device::LoadShared(shared->usrPeriod);
    copy.inStart = __atomic_load_n(&shared->inStart, __ATOMIC_ACQUIRE);
    copy.inEnd = __atomic_load_n(&shared->inEnd, __ATOMIC_ACQUIRE);
    copy.inPos = device::LoadShared(shared->inPos);
    copy.inWraps = device::LoadShared(shared->inWraps);
    copy.inReserved = __atomic_load_n(&shared->inReserved, __ATOMIC_ACQUIRE);
    copy.inLen = device::LoadShared(shared->inLen);
    copy.unused60 = device::LoadShared(shared->unused60);
    copy.outStart = __atomic_load_n(&shared->outStart, __ATOMIC_ACQUIRE);
    copy.outEnd = __atomic_load_n(&shared->outEnd, __ATOMIC_ACQUIRE);
    copy.outReserved = __atomic_load_n(&shared->outReserved, __ATOMIC_ACQUIRE);
    copy.outPos = device::LoadShared(shared->outPos);
    copy.outWraps = device::LoadShared(shared->outWraps);
    copy.outLen = device::LoadShared(shared->outLen);
    copy.unused100 = device::LoadShared(shared->unused100);
    *header = copy;
    return true;
}

bool VirtualUnit::SetDevState(int unit, uint32_t value) {
    Lock lock(m_impl->cs);
    Mapping* ring = m_impl->NewestRing(unit);
    if (ring == nullptr) return false;
    device::StoreShared(ring->Header()->devState, value);
    return true;
}

bool VirtualUnit::WaitForPeriods(int unit, uint64_t count, DWORD timeoutMs) const {
    const UnitState* u = m_impl->Unit(unit);
    if (u == nullptr) return false;
    return WaitUntil(m_impl->cs, timeoutMs, [&] { return u->stream.periods >= count; });
}

uint64_t VirtualUnit::CapturedFrames(int unit) const {
    Lock lock(m_impl->cs);
    const UnitState* u = m_impl->Unit(unit);
    return u != nullptr ? u->stream.captureEnd : 0;
}

size_t VirtualUnit::ReadCapture(int unit, uint32_t channel, uint64_t firstFrame, int32_t* samples,
                                size_t frames) const {
    Lock lock(m_impl->cs);
    const UnitState* u = m_impl->Unit(unit);
    if (u == nullptr || samples == nullptr) return 0;
    const StreamState& s = u->stream;
    if (!s.capture || channel >= s.captureChannels || s.captureCapacity == 0) return 0;
    const uint64_t total = s.captureEnd;
    uint64_t oldest = total > s.captureCapacity ? total - s.captureCapacity : 0;
    if (oldest < s.captureStart) oldest = s.captureStart;
    if (firstFrame < oldest || firstFrame >= total) return 0;
    const uint64_t available = total - firstFrame;
    const size_t count = available < frames ? static_cast<size_t>(available) : frames;
    const int32_t* line = s.capture.get() + uint64_t{channel} * s.captureCapacity;
    for (size_t i = 0; i < count; ++i) samples[i] = line[(firstFrame + i) % s.captureCapacity];
    return count;
}

}  // namespace vu
