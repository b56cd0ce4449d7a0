#include "driver_facts.h"

#include <algorithm>
#include <cstring>

namespace session {

std::string FieldText(const char* field, size_t size) {
    size_t length = 0;
    while (length < size && field[length] != '\0') ++length;
    return std::string(field, length);
}

ASIOSampleType DriverFacts::CommonSampleType() const {
    ASIOSampleType common = -1;
    bool any = false;
    for (const auto* list : {&inputChannels, &outputChannels}) {
        for (const ChannelFacts& c : *list) {
            if (c.result != ASE_OK) return -1;
            if (!any) {
                common = c.info.type;
                any = true;
            } else if (c.info.type != common) {
                return -1;
            }
        }
    }
    return any ? common : -1;
}

bool QueryDriver(IASIO* driver, DriverFacts* facts) {
    DriverFacts f;
    f.initialised = driver->init(nullptr) == ASIOTrue;
    {
        char text[125] = {};
        driver->getErrorMessage(text);
        f.errorMessage = FieldText(text, 124);
    }
    {
        char name[33] = {};
        driver->getDriverName(name);
        f.name = FieldText(name, 32);
    }
    f.version = driver->getDriverVersion();
    if (!f.initialised) {
        *facts = std::move(f);
        return false;
    }

    f.channelsResult = driver->getChannels(&f.inputs, &f.outputs);
    f.bufferSizeResult = driver->getBufferSize(&f.minSize, &f.maxSize, &f.preferredSize, &f.granularity);
    f.sampleRateResult = driver->getSampleRate(&f.sampleRate);
    for (double rate : kUsualRates) f.rates.push_back(RateAnswer{rate, driver->canSampleRate(rate)});
    f.outputReadyResult = driver->outputReady();
    f.latenciesResult = driver->getLatencies(&f.inputLatency, &f.outputLatency);

    // Room for more sources than a driver is asked for: one that ignores the
    // capacity still writes inside our array.
    ASIOClockSource clocks[32] = {};
    ASIOLong numSources = 8;
    f.clockResult = driver->getClockSources(clocks, &numSources);
    if (f.clockResult == ASE_OK)
        f.clocks.assign(clocks, clocks + std::clamp<ASIOLong>(numSources, 0, 32));

    if (f.channelsResult == ASE_OK) {
        for (int input = 1; input >= 0; --input) {
            const ASIOLong count = std::clamp<ASIOLong>(input ? f.inputs : f.outputs, 0, kMaxChannelsAsked);
            auto& list = input ? f.inputChannels : f.outputChannels;
            for (ASIOLong c = 0; c < count; ++c) {
                ChannelFacts channel;
                channel.info.channel = c;
                channel.info.isInput = input ? ASIOTrue : ASIOFalse;
                channel.result = driver->getChannelInfo(&channel.info);
                channel.nameTerminated = std::memchr(channel.info.name, 0, sizeof channel.info.name) != nullptr;
                channel.info.name[sizeof channel.info.name - 1] = '\0';
                list.push_back(channel);
            }
        }
    }
    *facts = std::move(f);
    return true;
}

}  // namespace session
