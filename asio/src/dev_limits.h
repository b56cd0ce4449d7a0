// Bounds on what a unit may answer before it sizes anything.
#pragma once

#include <cstdint>

// A unit answers its channel counts in one byte per direction.
inline constexpr uint32_t kMaxUnitChannels = 255 + 255;

// Sample widths the blocks can be sized for: up to a 64-bit float. A unit
// answering anything else (0, or a width no audio format has) gets the default
// width instead, as if it had not answered.
inline constexpr uint32_t kDefaultSampleBytes = 2;
inline constexpr uint32_t kMaxSampleBytes = 8;
constexpr bool IsSupportedSampleBytes(uint32_t bytes) { return bytes >= 1 && bytes <= kMaxSampleBytes; }

// The largest block handed to GlobalAlloc and, for the ring, to the mapping
// request, whose length is a DWORD; it also keeps every block addressable by a
// 32-bit process. Larger shapes (255 + 255 channels of 8-byte samples at 16384
// frames) fail buffer creation instead of wrapping a size.
inline constexpr uint64_t kMaxBlockBytes = 0x7FFFFFFFu;

// The default rate, also taken when a unit answers 0 Hz.
inline constexpr uint32_t kDefaultRate = 44100;
