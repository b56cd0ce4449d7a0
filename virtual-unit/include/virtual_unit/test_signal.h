// The deterministic input signals of a virtual unit. The value of every sample
// is a function of the input channel and the absolute frame index, counted from
// 0 at the stream's start request, so a test can compute what must arrive.
//
// Samples are signed PCM of W bytes (1..4), little-endian in the ring. The
// functions answer the value the W bytes hold, sign-extended to 32 bits.
#pragma once

#include <cstdint>

#include "virtual_unit/unit_config.h"

namespace vu {

// The low byte is the channel (0..255), the bytes above count frames:
// (frame << 8 | channel) truncated to W bytes. W = 1 carries only the channel.
int32_t RampSample(uint32_t channel, uint64_t frame, uint32_t width);

// A tone of 440 × (channel + 1) Hz at half of full scale, phase 0 at frame 0.
int32_t SineSample(uint32_t channel, uint64_t frame, uint32_t width, uint32_t rate);

// The sample `source` gives (Silence and Loopback give 0 here).
int32_t SourceSample(InputSource source, uint32_t channel, uint64_t frame, uint32_t width, uint32_t rate);

// Little-endian W-byte encoding and decoding (sign-extending) of a sample.
void StoreSample(uint8_t* dest, int32_t value, uint32_t width);
int32_t LoadSample(const uint8_t* src, uint32_t width);

}  // namespace vu
