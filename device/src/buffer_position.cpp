#include "device/buffer_position.h"

#include "device/records.h"

namespace device {

const int32_t LAT_SAFETY_MS[kBufferPositions] = {1, 1, 1, 1, 2, 3, 3, 4, 5, 10};
const int32_t LAT_CLAMP_MUL[kBufferPositions] = {2, 3, 3, 4, 4, 4, 4, 4, 5, 7};
const int32_t LAT_EXTRA_FLAG[kBufferPositions] = {0, 1, 1, 1, 1, 0, 0, 0, 0, 0};
const int32_t LOW_LATENCY_BY_POS[kBufferPositions] = {1, 1, 1, 1, 1, 0, 0, 0, 0, 0};

const int32_t BUFSIZE_BY_RATE[4][kBufferPositions] = {
    {48, 48, 64, 96, 128, 256, 384, 512, 1024, 2048},         // up to 48000 Hz
    {96, 96, 128, 192, 256, 512, 768, 1024, 2048, 4096},      // up to 96000 Hz
    {192, 192, 256, 384, 512, 1024, 1536, 2048, 4096, 8192},  // up to 192000 Hz
    {384, 384, 512, 768, 1024, 2048, 3072, 4096, 8192, 16384},  // up to 384000 Hz
};

namespace {
constexpr uint32_t kBandUpperRate[4] = {48000, 96000, 192000, 384000};
}

int32_t TablePosition(int32_t position) {
    return IsValidBufferPosition(position) ? position : kDefaultBufferPosition;
}

int32_t ComputeBufferSize(int32_t position, uint32_t rate) {
    for (int band = 0; band < 4; ++band)
        if (rate <= kBandUpperRate[band]) return BUFSIZE_BY_RATE[band][TablePosition(position)];
    // 3.4 ms rounded up to a whole frame, then up to a multiple of 16. In 64 bits
    // the largest 32-bit rate gives about 14.6 million frames, well inside int32.
    const uint64_t frames = (static_cast<uint64_t>(rate) * 34 + 9999) / 10000;
    return static_cast<int32_t>((frames + 15) / 16 * 16);
}

}  // namespace device
