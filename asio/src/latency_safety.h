// The driver's latency safety terms for a buffer size and a rate: S1, which the
// output latency reports on top of the unit's own term, and S2, which is both
// reported and used as the output pre-roll (how far ahead of the unit's reading
// the driver writes its output).
#pragma once

#include <cstdint>

// Computes S1 and S2 for `frames` per buffer at `rate` Hz with the margin of the
// buffer position `position` (a position outside 0..9 counts as the default).
// False, leaving both untouched, when `frames` or `rate` is 0.
//
// The margin c is at least 2 frames: at rates below 2000 Hz a 1 ms margin would
// be a frame or less and the formulas would divide by c - 1 = 0.
bool ComputeLatencySafety(uint32_t frames, uint32_t rate, int32_t position, uint32_t* s1, uint32_t* s2);
