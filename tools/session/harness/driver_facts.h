// What a host learns from a driver before it creates buffers, asked in the
// order large hosts ask it: init (and the error message when it fails), name,
// version, channels, buffer sizes, rate, the rate menu (canSampleRate over the
// usual list), the outputReady probe, latencies, clock sources and the
// channels' names and sample types.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "asio/iasio.h"

namespace session {

// The rates hosts offer in their menus.
inline constexpr double kUsualRates[] = {8000,  11025, 16000, 22050,  32000,  44100, 48000,
                                         88200, 96000, 176400, 192000, 352800, 384000};

struct RateAnswer {
    double rate = 0;
    ASIOError result = ASE_OK;
};

struct ChannelFacts {
    ASIOError result = ASE_OK;
    ASIOChannelInfo info = {};  // asked with a zeroed name; name[31] is forced to 0 afterwards
    bool nameTerminated = true;  // the driver left a zero within the 32 bytes
};

struct DriverFacts {
    bool initialised = false;
    std::string errorMessage;
    std::string name;
    ASIOLong version = 0;

    ASIOError channelsResult = ASE_NotPresent;
    ASIOLong inputs = 0;
    ASIOLong outputs = 0;

    ASIOError bufferSizeResult = ASE_NotPresent;
    ASIOLong minSize = 0, maxSize = 0, preferredSize = 0, granularity = 0;

    ASIOError sampleRateResult = ASE_NotPresent;
    double sampleRate = 0;
    std::vector<RateAnswer> rates;

    ASIOError outputReadyResult = ASE_NotPresent;

    ASIOError latenciesResult = ASE_NotPresent;
    ASIOLong inputLatency = 0;
    ASIOLong outputLatency = 0;

    ASIOError clockResult = ASE_NotPresent;
    std::vector<ASIOClockSource> clocks;

    std::vector<ChannelFacts> inputChannels;
    std::vector<ChannelFacts> outputChannels;

    // The sample type all channels share, or -1 when they differ or none was read.
    ASIOSampleType CommonSampleType() const;
};

// The channels asked about per direction at most, whatever count a driver reports.
inline constexpr ASIOLong kMaxChannelsAsked = 1024;

// Runs init and, when it succeeds, the queries. False when init fails.
bool QueryDriver(IASIO* driver, DriverFacts* facts);

// A zero-terminated copy of a fixed-size text field a driver filled.
std::string FieldText(const char* field, size_t size);

}  // namespace session
