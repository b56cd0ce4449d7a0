#include "host_signal.h"

namespace session {

namespace {

// A well-mixed 64-bit hash (the finaliser of splitmix64): neighbouring frames
// and channels give unrelated samples.
uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

int32_t SignExtend(uint32_t value, uint32_t width) {
    if (width == 0 || width >= 4) return static_cast<int32_t>(value);
    const uint32_t shift = 32 - 8 * width;
    return static_cast<int32_t>(value << shift) >> shift;
}

}  // namespace

uint32_t BytesOfSampleType(ASIOSampleType type) {
    switch (type) {
        case ASIOSTInt16LSB: return 2;
        case ASIOSTInt24LSB: return 3;
        case ASIOSTInt32LSB:
        case ASIOSTInt32LSB16:
        case ASIOSTInt32LSB18:
        case ASIOSTInt32LSB20:
        case ASIOSTInt32LSB24: return 4;
        default: return 0;
    }
}

const char* SampleTypeName(ASIOSampleType type) {
    switch (type) {
        case ASIOSTInt16MSB: return "Int16MSB";
        case ASIOSTInt24MSB: return "Int24MSB";
        case ASIOSTInt32MSB: return "Int32MSB";
        case ASIOSTFloat32MSB: return "Float32MSB";
        case ASIOSTFloat64MSB: return "Float64MSB";
        case ASIOSTInt16LSB: return "Int16LSB";
        case ASIOSTInt24LSB: return "Int24LSB";
        case ASIOSTInt32LSB: return "Int32LSB";
        case ASIOSTFloat32LSB: return "Float32LSB";
        case ASIOSTFloat64LSB: return "Float64LSB";
        case ASIOSTInt32LSB16: return "Int32LSB16";
        case ASIOSTInt32LSB18: return "Int32LSB18";
        case ASIOSTInt32LSB20: return "Int32LSB20";
        case ASIOSTInt32LSB24: return "Int32LSB24";
        default: return "unknown";
    }
}

int32_t HostSignal(uint32_t channel, uint64_t frame, uint32_t width) {
    const uint64_t h = Mix((uint64_t{channel} << 48) ^ frame);
    const uint32_t bits = width >= 4 ? 32 : 8 * (width == 0 ? 1 : width);
    uint32_t value = static_cast<uint32_t>(h >> (64 - bits));
    if (value == 0) value = 1;
    return SignExtend(value, width);
}

void StoreHostSample(uint8_t* dest, int32_t value, uint32_t width) {
    const uint32_t bits = static_cast<uint32_t>(value);
    for (uint32_t b = 0; b < width && b < 4; ++b) dest[b] = static_cast<uint8_t>(bits >> (8 * b));
}

int32_t LoadHostSample(const uint8_t* src, uint32_t width) {
    uint32_t bits = 0;
    for (uint32_t b = 0; b < width && b < 4; ++b) bits |= uint32_t{src[b]} << (8 * b);
    return SignExtend(bits, width);
}

}  // namespace session
