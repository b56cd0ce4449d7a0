// Checks what came back through a loopback against the test signal the host
// wrote: finds the delay, then compares every sample.
//
// Input channel c carries output channel c (channels without an output of the
// same number must stay silent). Before the delay an input is silent; from the
// delay on, capture frame t must hold the host's signal of frame t - delay.
#pragma once

#include <cstdint>
#include <vector>

namespace session {

struct LoopbackResult {
    uint32_t loopChannels = 0;     // inputs that carry an output
    bool delayFound = false;
    uint64_t delayFrames = 0;      // host frames from writing a sample to reading it back
    uint64_t comparedSamples = 0;
    uint64_t mismatches = 0;
    // The first mismatch, in capture frames (and host frames written, when it
    // lies after the delay).
    uint32_t mismatchChannel = 0;
    uint64_t mismatchFrame = 0;
    int32_t expected = 0;
    int32_t actual = 0;

    // Nothing to compare counts as intact; a loopback whose delay cannot be
    // found does not.
    bool Checked() const { return loopChannels > 0; }
    bool Intact() const { return !Checked() || (delayFound && mismatches == 0); }
};

// `inputs[c][t]` is the sample of input channel c at capture frame t (the
// first `frames` of each are used); `outputs` is the number of output channels
// the host wrote the signal to, with samples of `width` bytes.
LoopbackResult CheckLoopback(const std::vector<std::vector<int32_t>>& inputs, uint64_t frames, uint32_t outputs,
                             uint32_t width);

// The delay of the signal of `channel` in `samples`: the first offset at which
// a window of the signal matches (three quarters of its samples suffice, so a
// corrupted sample does not hide the delay). False when no offset matches.
bool FindSignalDelay(const int32_t* samples, uint64_t frames, uint32_t channel, uint32_t width, uint64_t* delay);

}  // namespace session
