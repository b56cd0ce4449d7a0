// AsioOurs: the checks of the query methods. Each answers ASE_NotPresent without
// a unit and ASE_InvalidParameter for a missing out-pointer, and hands the rest
// to the work of its concern.
#include "asio_ours.h"
#include "cs_lock.h"

namespace {

void ZeroIfGiven(ASIOLong* value) {
    if (value != nullptr) *value = 0;
}

}  // namespace

ASIOError AsioOurs::getChannels(ASIOLong* numInputChannels, ASIOLong* numOutputChannels) {
    if (!HasDevice()) {
        ZeroIfGiven(numInputChannels);
        ZeroIfGiven(numOutputChannels);
        return Fail(ASE_NotPresent);
    }
    if (numInputChannels == nullptr || numOutputChannels == nullptr) return Fail(ASE_InvalidParameter);
    const ASIOError result = doGetChannels(numInputChannels, numOutputChannels);
    if (result == ASE_OK) {
        // What the host last saw decides whether a later rate change needs a reset.
        CCsLock lock(&m_csFlags);
        m_flags.nLastIn = *numInputChannels;
        m_flags.nLastOut = *numOutputChannels;
        m_flags.bChChanged = 0;
    }
    return Fail(result);
}

ASIOError AsioOurs::getLatencies(ASIOLong* inputLatency, ASIOLong* outputLatency) {
    if (!HasDevice()) {
        ZeroIfGiven(inputLatency);
        ZeroIfGiven(outputLatency);
        return Fail(ASE_NotPresent);
    }
    if (inputLatency == nullptr || outputLatency == nullptr) return Fail(ASE_InvalidParameter);
    return Fail(doGetLatencies(inputLatency, outputLatency));
}

ASIOError AsioOurs::getBufferSize(ASIOLong* minSize, ASIOLong* maxSize, ASIOLong* preferredSize,
                                  ASIOLong* granularity) {
    if (!HasDevice()) {
        ZeroIfGiven(minSize);
        ZeroIfGiven(maxSize);
        ZeroIfGiven(preferredSize);
        ZeroIfGiven(granularity);
        return Fail(ASE_NotPresent);
    }
    if (minSize == nullptr || maxSize == nullptr || preferredSize == nullptr || granularity == nullptr)
        return Fail(ASE_InvalidParameter);
    return Fail(doGetBufferSize(minSize, maxSize, preferredSize, granularity));
}

ASIOError AsioOurs::canSampleRate(ASIOSampleRate sampleRate) {
    if (!HasDevice()) return Fail(ASE_NotPresent);
    return Fail(doCanSampleRate(sampleRate));
}

ASIOError AsioOurs::getSampleRate(ASIOSampleRate* sampleRate) {
    if (!HasDevice()) return Fail(ASE_NotPresent);
    if (sampleRate == nullptr) return Fail(ASE_InvalidParameter);
    return Fail(doGetSampleRate(sampleRate));
}

ASIOError AsioOurs::setSampleRate(ASIOSampleRate sampleRate) {
    CCsLock api(&m_csApi);
    return Fail(doSetSampleRate(sampleRate));
}

ASIOError AsioOurs::getClockSources(ASIOClockSource* clocks, ASIOLong* numSources) {
    if (!HasDevice()) return Fail(ASE_NotPresent);
    if (clocks == nullptr || numSources == nullptr) return Fail(ASE_InvalidParameter);
    return Fail(doGetClockSources(clocks, numSources));
}

ASIOError AsioOurs::setClockSource(ASIOLong reference) {
    if (!HasDevice()) return Fail(ASE_NotPresent);
    return Fail(doSetClockSource(reference));
}

ASIOError AsioOurs::getChannelInfo(ASIOChannelInfo* info) {
    if (!HasDevice()) return Fail(ASE_NotPresent);
    if (info == nullptr) return Fail(ASE_InvalidParameter);
    return Fail(doGetChannelInfo(info));
}
