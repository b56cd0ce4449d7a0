// The driver object a host gets from the class factory and drives through IASIO.
//
// The unit is opened while the object is constructed, not in init; the object
// exists even when no unit answers, and then reports that through init and
// getErrorMessage. Every state-dependent method checks the state first and
// answers with an ASIO error code, which it also keeps in m_lastError.
//
// Locks (all recursive): m_csApi serialises the host calls that change buffers,
// transport or rate; m_csStream covers one batch of period processing, including
// the host's bufferSwitch; m_csPos the sample position and time stamp; m_csFlags
// the change flags, alone. Nested, they are taken in the order m_csApi,
// m_csStream, m_csPos.
//
// The methods are split over files by concern:
//   driver_lifecycle.cpp  construction, destruction, init
//   driver_info.cpp       getSamplePosition, controlPanel
//   driver_transport.cpp  the checks of start, stop, createBuffers, disposeBuffers
//   driver_queries.cpp    the checks of the query methods
//   driver_periods.cpp    period processing (streaming thread)
//   driver_buffers.cpp    createBuffers, startStreaming, buffer sizes, latencies
//   driver_rates.cpp      rates, clock source, CalcSafety (latency_safety.cpp)
//   driver_channels.cpp   channel counts and channel info
//   driver_reset.cpp      reset requests, change flags, the unit's messages
#pragma once

#include <cstdint>

#include "asio_ours_base.h"

class AsioOurs : public AsioOursBase {
public:
    explicit AsioOurs(IUnknown* outer);
    ~AsioOurs() override;

    // --- IASIO ---
    ASIOBool init(void* sysHandle) override;
    ASIOError start() override;
    ASIOError stop() override;
    ASIOError getChannels(ASIOLong* numInputChannels, ASIOLong* numOutputChannels) override;
    ASIOError getLatencies(ASIOLong* inputLatency, ASIOLong* outputLatency) override;
    ASIOError getBufferSize(ASIOLong* minSize, ASIOLong* maxSize, ASIOLong* preferredSize,
                            ASIOLong* granularity) override;
    ASIOError canSampleRate(ASIOSampleRate sampleRate) override;
    ASIOError getSampleRate(ASIOSampleRate* sampleRate) override;
    ASIOError setSampleRate(ASIOSampleRate sampleRate) override;
    ASIOError getClockSources(ASIOClockSource* clocks, ASIOLong* numSources) override;
    ASIOError setClockSource(ASIOLong reference) override;
    ASIOError getSamplePosition(ASIOSamples* sPos, ASIOTimeStamp* tStamp) override;
    ASIOError getChannelInfo(ASIOChannelInfo* info) override;
    ASIOError createBuffers(ASIOBufferInfo* bufferInfos, ASIOLong numChannels, ASIOLong bufferSize,
                            ASIOCallbacks* callbacks) override;
    ASIOError disposeBuffers() override;
    ASIOError controlPanel() override;

    // --- the streaming thread's entries ---
    // Every period that is ready, catching up when the thread fell behind.
    void processPeriods();
    // One period: inputs into the current half, the host's bufferSwitch unless
    // skipHost, outputs back into the rings.
    void processPeriod(bool skipHost);
    // The unit event of slot index + 1 fired: the unit is gone.
    void dropUnit(int index);
    // The status event fired: the unit has messages for the driver.
    void PollStatus();

    // --- transport ---
    ASIOError canCreateBuffers();
    ASIOError canStart();
    ASIOError startStreaming();
    ASIOError stopStreaming();
    ASIOError releaseBuffers();

    // --- work behind the checks ---
    ASIOError checkBufferSize(ASIOLong size);
    ASIOError doGetBufferSize(ASIOLong* minSize, ASIOLong* maxSize, ASIOLong* preferredSize, ASIOLong* granularity);
    ASIOError doGetLatencies(ASIOLong* inputLatency, ASIOLong* outputLatency);
    ASIOError doCanSampleRate(ASIOSampleRate sampleRate);
    ASIOError doGetSampleRate(ASIOSampleRate* sampleRate);
    ASIOError doSetSampleRate(ASIOSampleRate sampleRate);
    ASIOError doGetClockSources(ASIOClockSource* clocks, ASIOLong* numSources);
    ASIOError doSetClockSource(ASIOLong reference);
    ASIOError doGetChannels(ASIOLong* numInputChannels, ASIOLong* numOutputChannels);
    ASIOError doGetChannelInfo(ASIOChannelInfo* info);
    ASIOError IsRateOk(ASIOSampleRate rate);
    BOOL CalcSafety(uint32_t nFrames, uint32_t nRate, uint32_t* pS1, uint32_t* pS2);
    int callAsioResetRequest();
    void AsioReset();
    BOOL HasPendingChange();
    void RecheckChanges();

    // State read by several threads, taken under the lock that guards it.
    int32_t BufferSize();
    bool IsStarted();

    // Fields added to the base, in order.
    CRITICAL_SECTION m_csFlags;
    struct ChangeFlags {
        int32_t bChChanged;
        int32_t bBufChanged;
        int32_t bSizeMismatch;
        int32_t bBufCreated;
        int32_t bResetPending;
        int32_t nLastIn;
        int32_t nLastOut;
        AsioOurs* pOwner;  // this object once constructed; null before and while it is destroyed
    } m_flags = {};

private:
    void ResetFlags(AsioOurs* owner);
};
