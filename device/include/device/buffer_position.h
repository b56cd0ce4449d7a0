// The tables that interpret the buffer position nBufPos (0..9) of the settings
// record. The ASIO driver and the settings program read the same values.
#pragma once

#include <cstdint>

namespace device {

inline constexpr int kBufferPositions = 10;

extern const int32_t LAT_SAFETY_MS[kBufferPositions];       // safety margin, ms
extern const int32_t LAT_CLAMP_MUL[kBufferPositions];       // bound of the adjustments = margin × this
extern const int32_t LAT_EXTRA_FLAG[kBufferPositions];      // output gets an extra quarter millisecond
extern const int32_t LOW_LATENCY_BY_POS[kBufferPositions];  // the record's bLowLatency for the position
extern const int32_t BUFSIZE_BY_RATE[4][kBufferPositions];  // frames per buffer, by rate band

constexpr bool IsValidBufferPosition(int32_t position) { return position >= 0 && position < kBufferPositions; }

// A position as the tables may use it: one outside 0..9 (a unit can answer
// anything) becomes the default position 5 rather than a read outside a table.
int32_t TablePosition(int32_t position);

// Buffer size in frames for a position and a rate in Hz: the row of the first
// band (48000, 96000, 192000, 384000 Hz, inclusive) not below the rate; above
// 384000 Hz, 3.4 ms of samples rounded up to a multiple of 16, whatever the
// position.
int32_t ComputeBufferSize(int32_t position, uint32_t rate);

}  // namespace device
