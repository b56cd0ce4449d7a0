// What the session host writes to the driver's outputs, and how it reads samples
// of the widths the driver reports.
//
// The test signal is noise computed from the channel and the host frame index
// (frames counted from 0 at the first bufferSwitch of a start), so a check can
// recompute every sample it expects, and a window of a few dozen samples pins
// the delay of a loopback without ambiguity, at any sample width.
#pragma once

#include <cstdint>

#include "asio/iasio.h"

namespace session {

// Bytes per sample of an ASIO sample type this host can fill: little-endian
// integer types only. 0 for any other type.
uint32_t BytesOfSampleType(ASIOSampleType type);
// A short name for a sample type ("Int16LSB"), "unknown" for the others.
const char* SampleTypeName(ASIOSampleType type);

// The test signal's sample of `channel` at host frame `frame`, for samples of
// `width` bytes (1..4): the value the W bytes hold, sign-extended. Never 0, so
// the signal cannot be mistaken for silence.
int32_t HostSignal(uint32_t channel, uint64_t frame, uint32_t width);

// Little-endian W-byte samples, sign-extended on loading.
void StoreHostSample(uint8_t* dest, int32_t value, uint32_t width);
int32_t LoadHostSample(const uint8_t* src, uint32_t width);

}  // namespace session
