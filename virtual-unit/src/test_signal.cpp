#include "virtual_unit/test_signal.h"

#include <cmath>

namespace vu {

namespace {

int32_t SignExtend(uint32_t value, uint32_t width) {
    if (width == 0 || width >= 4) return static_cast<int32_t>(value);
    const uint32_t shift = 32 - 8 * width;
    return static_cast<int32_t>(value << shift) >> shift;
}

}  // namespace

int32_t RampSample(uint32_t channel, uint64_t frame, uint32_t width) {
    const uint32_t value = static_cast<uint32_t>(frame << 8) | (channel & 0xFFu);
    return SignExtend(value, width);
}

int32_t SineSample(uint32_t channel, uint64_t frame, uint32_t width, uint32_t rate) {
    if (rate == 0 || width == 0 || width > 4) return 0;
    const uint64_t frequency = 440ull * (channel + 1);
    // The phase in cycles is frequency × frame / rate; only its fraction
    // matters, which integers give exactly for any frame index.
    const uint64_t phase = (frequency * (frame % rate)) % rate;
    const double pi = 3.14159265358979323846;
    const double fullScale = static_cast<double>((uint64_t{1} << (8 * width - 1)) - 1);
    return static_cast<int32_t>(std::lround(0.5 * fullScale * std::sin(2.0 * pi * static_cast<double>(phase) / rate)));
}

int32_t SourceSample(InputSource source, uint32_t channel, uint64_t frame, uint32_t width, uint32_t rate) {
    switch (source) {
        case InputSource::Ramp: return RampSample(channel, frame, width);
        case InputSource::Sine: return SineSample(channel, frame, width, rate);
        case InputSource::Silence:
        case InputSource::Loopback: break;
    }
    return 0;
}

void StoreSample(uint8_t* dest, int32_t value, uint32_t width) {
    const uint32_t bits = static_cast<uint32_t>(value);
    for (uint32_t b = 0; b < width && b < 4; ++b) dest[b] = static_cast<uint8_t>(bits >> (8 * b));
}

int32_t LoadSample(const uint8_t* src, uint32_t width) {
    uint32_t bits = 0;
    for (uint32_t b = 0; b < width && b < 4; ++b) bits |= uint32_t{src[b]} << (8 * b);
    return SignExtend(bits, width);
}

}  // namespace vu
