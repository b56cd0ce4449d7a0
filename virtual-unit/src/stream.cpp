// The unit's stream: the period exchange through the ring, output capture,
// loopback, and the real-time clock thread.
#include <cstring>
#include <new>

#include "device/ring.h"
#include "model_state.h"

namespace vu {

namespace {

// The capture of all output channels together stays below this.
constexpr uint64_t kMaxCaptureBytes = uint64_t{64} << 20;
// Periods the clock completes in one pass before it gives up catching up and
// starts counting again from now (after the process was stopped in a debugger).
constexpr uint32_t kMaxCatchUpPeriods = 64;

// Clock ticks of `frames` frames at `rate`, without overflow for any stream length.
int64_t TicksOfFrames(uint64_t frames, uint32_t rate, int64_t ticksPerSecond) {
    const uint64_t perSecond = static_cast<uint64_t>(ticksPerSecond);
    return static_cast<int64_t>((frames / rate) * perSecond + ((frames % rate) * perSecond) / rate);
}

int64_t Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

DWORD WINAPI ClockThreadProc(LPVOID param) {
    auto* impl = static_cast<VirtualUnit::Impl*>(param);
#ifdef _WIN32
    // Windows' default timer tick is 15.6 ms, longer than most periods; without a
    // finer one the periods would arrive in bursts.
    timeBeginPeriod(1);
#endif
    for (;;) {
        const DWORD waitMs = impl->RunClockOnce();
        if (waitMs == 0) break;  // told to quit
        WaitForSingleObject(impl->clockWake, waitMs);
    }
#ifdef _WIN32
    timeEndPeriod(1);
#endif
    return 0;
}

}  // namespace

Mapping* VirtualUnit::Impl::StreamRing(UnitState& u) {
    HandleState* owner = u.stream.owner;
    return owner != nullptr && owner->mapping.pending ? &owner->mapping : nullptr;
}

Mapping* VirtualUnit::Impl::NewestRing(int unit) {
    UnitState* u = Unit(unit);
    if (u == nullptr) return nullptr;
    if (Mapping* ring = StreamRing(*u)) return ring;
    Mapping* newest = nullptr;
    for (auto& entry : handles) {
        HandleState& h = *entry.second;
        if (h.unit == unit && Alive(h) && h.mapping.pending && (newest == nullptr || h.mapping.serial > newest->serial))
            newest = &h.mapping;
    }
    return newest;
}

DWORD VirtualUnit::Impl::StartStream(UnitState& u, HandleState& h, HANDLE periodEvent) {
    StreamState& s = u.stream;
    // A main start on a running stream starts it over.
    const Mapping* ring = h.mapping.pending ? &h.mapping : nullptr;
    const uint32_t inputs = ring ? ring->inputs : u.config.inputs;
    const uint32_t outputs = ring ? ring->outputs : u.config.outputs;
    const uint32_t width = ring ? ring->width : u.config.sampleBytes;

    // Everything the period exchange needs is allocated here, never per period.
    uint32_t capacity = u.config.captureFrames;
    if (outputs > 0 && uint64_t{capacity} * outputs * sizeof(int32_t) > kMaxCaptureBytes)
        capacity = static_cast<uint32_t>(kMaxCaptureBytes / (uint64_t{outputs} * sizeof(int32_t)));
    const uint64_t captureSamples = uint64_t{capacity} * outputs;
    std::unique_ptr<int32_t[]> capture;
    if (captureSamples > 0) {
        capture.reset(new (std::nothrow) int32_t[captureSamples]());
        if (!capture) return ERROR_NOT_ENOUGH_MEMORY;
    }
    const uint32_t delayChannels = inputs < outputs ? inputs : outputs;
    const uint32_t delayFrames = u.config.source == InputSource::Loopback ? u.config.loopbackDelayFrames : 0;
    const uint64_t delayBytes = uint64_t{delayChannels} * delayFrames * width;
    std::unique_ptr<uint8_t[]> delay;
    if (delayBytes > 0) {
        delay.reset(new (std::nothrow) uint8_t[delayBytes]());
        if (!delay) return ERROR_NOT_ENOUGH_MEMORY;
    }

    s.running = true;
    s.owner = &h;
    s.periodEvent = periodEvent;
    s.periods = 0;
    s.frames = 0;
    s.captureStart = 0;
    s.captureEnd = 0;
    s.devPeriod = 0;
    s.lastMs = timeGetTime();
    s.capture = std::move(capture);
    s.captureChannels = outputs;
    s.captureCapacity = capacity;
    s.delay = std::move(delay);
    s.delayChannels = delayChannels;
    s.delayFrames = delayFrames;
    s.delayWidth = width;
    s.anchored = false;
    if (u.config.clock == ClockMode::RealTime) AnchorClock(u);
    return 0;
}

bool VirtualUnit::Impl::EndStream(UnitState& u) {
    StreamState& s = u.stream;
    if (!s.running) return false;
    if (Mapping* ring = StreamRing(u)) device::StoreShared(ring->Header()->devState, 1);
    s.running = false;
    s.owner = nullptr;
    s.periodEvent = nullptr;
    s.anchored = false;
    return true;  // the capture stays for inspection until the next start
}

// One period: outputs taken, inputs written, then devPeriod released, then the
// event. The lock is held, so the process's own requests never see half a period.
void VirtualUnit::Impl::CompletePeriod(UnitState& u, DWORD timeMs) {
    StreamState& s = u.stream;
    if (Mapping* ring = StreamRing(u)) {
        const uint32_t frames = ring->frames;
        const uint32_t width = ring->width;
        const uint64_t periodBytes = ring->PeriodBytes();
        const uint64_t offset = uint64_t{s.devPeriod} * periodBytes;
        uint8_t* const block = ring->block;
        // The mapping was checked to hold every ring of its shape in full.
        auto channelPeriod = [&](uint64_t channel) {
            return block + device::RingOffsetOfChannel(channel, periodBytes) + offset;
        };

        const bool take = u.config.takeOutputs;
        for (uint32_t o = 0; take && o < ring->outputs && o < s.captureChannels && s.capture; ++o) {
            const uint8_t* src = channelPeriod(uint64_t{ring->inputs} + o);
            int32_t* dest = s.capture.get() + uint64_t{o} * s.captureCapacity;
            for (uint32_t i = 0; i < frames; ++i)
                dest[(s.frames + i) % s.captureCapacity] = LoadSample(src + uint64_t{i} * width, width);
        }

        const InputSource source = u.config.source;
        const uint32_t rate = u.config.unitRate;
        for (uint32_t c = 0; c < ring->inputs; ++c) {
            uint8_t* dest = channelPeriod(c);
            if (source == InputSource::Ramp || source == InputSource::Sine) {
                for (uint32_t i = 0; i < frames; ++i)
                    StoreSample(dest + uint64_t{i} * width, SourceSample(source, c, s.frames + i, width, rate), width);
            } else if (source == InputSource::Loopback && take && c < ring->outputs) {
                const uint8_t* src = channelPeriod(uint64_t{ring->inputs} + c);
                if (s.delayFrames == 0) {
                    std::memcpy(dest, src, periodBytes);
                } else if (c < s.delayChannels && s.delayWidth == width) {
                    uint8_t* line = s.delay.get() + uint64_t{c} * s.delayFrames * width;
                    for (uint32_t i = 0; i < frames; ++i) {
                        uint8_t* slot = line + ((s.frames + i) % s.delayFrames) * width;
                        std::memcpy(dest + uint64_t{i} * width, slot, width);
                        std::memcpy(slot, src + uint64_t{i} * width, width);
                    }
                } else {
                    std::memset(dest, 0, periodBytes);
                }
            } else {
                std::memset(dest, 0, periodBytes);
            }
        }
        if (take && s.capture) {
            if (s.captureEnd != s.frames) s.captureStart = s.frames;  // a gap: the window starts over
            s.captureEnd = s.frames + frames;
        }
        s.frames += frames;
        s.devPeriod = device::NextPeriod(s.devPeriod);
        device::StoreShared(ring->Header()->devPeriod, s.devPeriod);
    } else {
        s.devPeriod = device::NextPeriod(s.devPeriod);
    }
    ++s.periods;
    s.lastMs = timeMs;
    if (s.periodEvent != nullptr) SetEvent(s.periodEvent);
}

void VirtualUnit::Impl::AnchorClock(UnitState& u) {
    StreamState& s = u.stream;
    const Mapping* ring = StreamRing(u);
    const int32_t preferred = u.config.bufferSizes.nPreferred;
    s.anchored = true;
    s.anchorTicks = Now();
    s.anchorPeriods = s.periods;
    s.anchorRate = u.config.unitRate != 0 ? u.config.unitRate : 44100;
    s.anchorFrames = ring ? ring->frames : (preferred > 0 && preferred <= device::kMaxBufferFrames ? preferred : 256);
    EnsureClockThread();
    if (clockWake != nullptr) SetEvent(clockWake);
}

void VirtualUnit::Impl::EnsureClockThread() {
    if (clockThread != nullptr) return;
    if (clockWake == nullptr) clockWake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (clockWake == nullptr) return;
    clockThread = CreateThread(nullptr, 0, ClockThreadProc, this, 0, nullptr);
}

DWORD VirtualUnit::Impl::RunClockOnce() {
    Lock lock(cs);
    if (clockQuit) return 0;
    DWORD waitMs = INFINITE;
    const int64_t now = Now();
    for (UnitState& u : units) {
        StreamState& s = u.stream;
        if (!s.running || !s.anchored || u.config.clock != ClockMode::RealTime) continue;
        // A new rate or period size starts a new count at the deadline of the
        // latest period, so that no time is lost or gained across the change.
        const uint32_t rate = CurrentRate(u, false);
        const Mapping* ring = StreamRing(u);
        const uint32_t frames = ring ? ring->frames : s.anchorFrames;
        if (rate != 0 && (rate != s.anchorRate || frames != s.anchorFrames)) {
            s.anchorTicks += TicksOfFrames((s.periods - s.anchorPeriods) * s.anchorFrames, s.anchorRate, ticksPerSecond);
            s.anchorPeriods = s.periods;
            s.anchorRate = rate;
            s.anchorFrames = frames;
        }
        auto deadline = [&] {
            return s.anchorTicks +
                   TicksOfFrames((s.periods - s.anchorPeriods + 1) * s.anchorFrames, s.anchorRate, ticksPerSecond);
        };
        uint32_t done = 0;
        while (s.running && deadline() <= now && done < kMaxCatchUpPeriods) {
            CompletePeriod(u, timeGetTime());
            ++done;
        }
        if (done == kMaxCatchUpPeriods && deadline() <= now) {
            s.anchorTicks = now;
            s.anchorPeriods = s.periods;
        }
        const int64_t ahead = deadline() - now;
        const int64_t ms = (ahead * 1000 + ticksPerSecond - 1) / ticksPerSecond;
        const DWORD unitWait = ms < 1 ? 1 : (ms > 1000 ? 1000 : static_cast<DWORD>(ms));
        if (unitWait < waitMs) waitMs = unitWait;
    }
    return waitMs;
}

void VirtualUnit::Impl::StopClockThread() {
    HANDLE thread = nullptr;
    {
        Lock lock(cs);
        clockQuit = true;
        thread = clockThread;
        clockThread = nullptr;
        if (clockWake != nullptr) SetEvent(clockWake);
    }
    if (thread != nullptr) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    if (clockWake != nullptr) {
        CloseHandle(clockWake);
        clockWake = nullptr;
    }
}

}  // namespace vu
