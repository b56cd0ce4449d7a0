#include "latency_safety.h"

#include <algorithm>

#include "device/buffer_position.h"

namespace {

// The results are small for every buffer size and rate a unit offers; a value
// past 32 bits (an absurd rate) is held at the largest one instead of wrapping.
uint32_t ToFrames(int64_t value) {
    if (value < 0) return 0;
    return value > int64_t{UINT32_MAX} ? UINT32_MAX : static_cast<uint32_t>(value);
}

}  // namespace

bool ComputeLatencySafety(uint32_t frames, uint32_t rate, int32_t position, uint32_t* s1, uint32_t* s2) {
    if (frames == 0 || rate == 0) return false;
    const int32_t p = device::TablePosition(position);
    // Computed in 64 bits: for every rate and size a unit offers this gives the
    // same figures as 32-bit arithmetic, and nothing a unit answers can overflow.
    const int64_t n = frames;
    const int64_t c = std::max<int64_t>(int64_t{rate} * device::LAT_SAFETY_MS[p] / 1000, 2);
    const int64_t e = device::LAT_EXTRA_FLAG[p] != 0 ? int64_t{rate} * 11 / 44100 : 0;
    const int64_t g = ((n % (c - 1)) * (c + 1)) / (c - 1) + n - c + 2;

    int64_t first;
    int64_t second;
    if (n < c) {
        first = n * ((c + n) / n) - c + 1;
        second = 2 * c + 2 - n * ((c + 1) / n) + e;
    } else if (n > c) {
        int64_t h = 0;
        if (g >= n) {
            h = g - n + 1;
            first = n - h;
        } else {
            first = g;
        }
        second = (c + 1) * ((c + n - 2) / (c - 1)) - n + c + 1 + h + e;
    } else {
        const int64_t k1 = n * ((c + n) / n) - c + 1;
        const int64_t k2 = 2 * c + 2 - n * ((c + 1) / n);
        const int64_t m = (c + 1) * ((c + n - 2) / (c - 1)) - n + c + 1;
        first = std::max(g, k1);
        second = std::max(m, k2) + e;
        if (first >= n) {
            const int64_t h = first - n + 1;
            first = n - h;
            second += h;
        }
    }
    *s1 = ToFrames(first);
    *s2 = ToFrames(second);
    return true;
}
