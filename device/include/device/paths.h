// Device object paths: "\\.\" + base name + "00" + unit number.
#pragma once

#include <cstddef>

namespace device {

// Longest path either deliverable forms, with its terminating zero.
inline constexpr size_t kDevicePathChars = 260;

// Writes the ANSI path of unit `unitNumber` (the ASIO driver forms 1..8) into
// `buffer`. Returns false, leaving an empty string, when the buffer is too small.
bool FormatDevicePathA(char* buffer, size_t bufferChars, int unitNumber);

// The wide-character path of unit `unitNumber` (the settings program forms 1..4).
bool FormatDevicePathW(wchar_t* buffer, size_t bufferChars, int unitNumber);

}  // namespace device
