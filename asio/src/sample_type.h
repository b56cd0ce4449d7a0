// The ASIO sample type of the unit's samples. Host and ring buffers hold signed
// little-endian PCM of the unit's width, so the type must name exactly that
// width: 2, 3 and 4 bytes have one each.
#pragma once

#include <cstdint>

#include "asio/iasio.h"

// No integer type of the interface has 1 or 5 to 8 bytes; the driver cannot
// describe such samples to a host and does not stream them.
inline constexpr ASIOSampleType kNoSampleType = -1;

constexpr ASIOSampleType SampleTypeOfWidth(uint32_t bytes) {
    switch (bytes) {
        case 2:
            return ASIOSTInt16LSB;
        case 3:
            return ASIOSTInt24LSB;
        case 4:
            return ASIOSTInt32LSB;
        default:
            return kNoSampleType;
    }
}
