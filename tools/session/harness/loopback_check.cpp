#include "loopback_check.h"

#include <algorithm>

#include "host_signal.h"

namespace session {

namespace {

constexpr uint64_t kWindow = 64;
constexpr uint64_t kShortestWindow = 16;

}  // namespace

bool FindSignalDelay(const int32_t* samples, uint64_t frames, uint32_t channel, uint32_t width, uint64_t* delay) {
    if (samples == nullptr || frames < kShortestWindow) return false;
    int32_t window[kWindow];
    for (uint64_t i = 0; i < kWindow; ++i) window[i] = HostSignal(channel, i, width);
    for (uint64_t d = 0; d + kShortestWindow <= frames; ++d) {
        const uint64_t length = std::min(kWindow, frames - d);
        const uint64_t allowedMisses = length / 4;
        uint64_t misses = 0;
        for (uint64_t i = 0; i < length && misses <= allowedMisses; ++i)
            if (samples[d + i] != window[i]) ++misses;
        if (misses <= allowedMisses) {
            *delay = d;
            return true;
        }
    }
    return false;
}

LoopbackResult CheckLoopback(const std::vector<std::vector<int32_t>>& inputs, uint64_t frames, uint32_t outputs,
                             uint32_t width) {
    LoopbackResult r;
    const uint32_t channels = static_cast<uint32_t>(inputs.size());
    for (const auto& channel : inputs) frames = std::min<uint64_t>(frames, channel.size());
    r.loopChannels = std::min(channels, outputs);
    if (r.loopChannels == 0) return r;
    r.delayFound = FindSignalDelay(inputs[0].data(), frames, 0, width, &r.delayFrames);
    if (!r.delayFound) return r;

    auto note = [&r](uint32_t c, uint64_t t, int32_t expected, int32_t actual) {
        if (r.mismatches++ == 0) {
            r.mismatchChannel = c;
            r.mismatchFrame = t;
            r.expected = expected;
            r.actual = actual;
        }
    };
    // Frame by frame, so that the first mismatch reported is the earliest.
    for (uint64_t t = 0; t < frames; ++t) {
        for (uint32_t c = 0; c < channels; ++c) {
            const bool looped = c < r.loopChannels && t >= r.delayFrames;
            const int32_t expected = looped ? HostSignal(c, t - r.delayFrames, width) : 0;
            const int32_t actual = inputs[c][t];
            ++r.comparedSamples;
            if (actual != expected) note(c, t, expected, actual);
        }
    }
    return r;
}

}  // namespace session
