// Writes captured input channels to a WAV file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace session {

// Whether this build can write WAV files (it needs libsndfile).
bool CanWriteWav();

// `channels[c][t]` holds samples of `width` bytes (1..4), sign-extended; the
// first `frames` of each are written as PCM of that width at `rate` Hz. False
// with a reason when the file cannot be written.
bool WriteWav(const std::string& path, const std::vector<std::vector<int32_t>>& channels, uint64_t frames,
              uint32_t width, uint32_t rate, std::string* error);

}  // namespace session
