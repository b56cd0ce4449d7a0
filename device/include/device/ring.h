// Ring block arithmetic shared by the ASIO driver and the virtual unit.
//
// With F frames per period, W bytes per sample and P = F × W, the block is the
// 104-byte RING_HEADER followed by one ring per channel (inputs first, then
// outputs), each 64 periods of P bytes. Sizes are computed in 64 bits so that no
// value a unit or a host can hand us overflows.
#pragma once

#include <cstdint>

#include "device/records.h"

namespace device {

inline constexpr uint32_t kRingHeaderBytes = sizeof(RING_HEADER);  // 104
inline constexpr uint32_t kRingPeriods = 64;                        // both period indexes count modulo 64
inline constexpr int32_t kMaxBufferFrames = 16384;                  // the largest buffer size accepted
inline constexpr uint64_t kHostBlockFramesPerChannel = 2u * kMaxBufferFrames;  // two halves of the largest size
inline constexpr uint64_t kHostBlockAlignment = 64;

inline constexpr uint64_t PeriodBytes(uint64_t frames, uint64_t bytesPerSample) { return frames * bytesPerSample; }
inline constexpr uint64_t RingLength(uint64_t periodBytes) { return kRingPeriods * periodBytes; }
inline constexpr uint64_t RingOffsetOfChannel(uint64_t channel, uint64_t periodBytes) {
    return kRingHeaderBytes + channel * RingLength(periodBytes);
}
inline constexpr uint64_t RingBlockBytes(uint64_t frames, uint64_t bytesPerSample, uint64_t channels) {
    return RingOffsetOfChannel(channels, PeriodBytes(frames, bytesPerSample));
}
// The host block holds both halves of the largest buffer for every channel, plus
// room to align its start to 64 bytes.
inline constexpr uint64_t HostBlockBytes(uint64_t bytesPerSample, uint64_t channels) {
    return bytesPerSample * channels * kHostBlockFramesPerChannel + kHostBlockAlignment;
}
inline constexpr uint32_t NextPeriod(uint32_t period) { return period + 1 >= kRingPeriods ? 0 : period + 1; }

// The ring header is shared with the kernel driver while the stream runs. Each
// word is read and written whole; the acquire/release pairing orders the samples
// against the period counters (the kernel driver fills a period before it
// advances devPeriod, and the process writes its output before usrPeriod moves).
inline uint32_t LoadShared(const uint32_t& word) { return __atomic_load_n(&word, __ATOMIC_ACQUIRE); }
inline void StoreShared(uint32_t& word, uint32_t value) { __atomic_store_n(&word, value, __ATOMIC_RELEASE); }

static_assert(RingBlockBytes(256, 3, 4) == 104 + 4 * 64 * 768);
static_assert(RingOffsetOfChannel(1, 768) == 104 + 64 * 768);
static_assert(HostBlockBytes(4, 4) == 4 * 4 * 32768 + 64);

}  // namespace device
