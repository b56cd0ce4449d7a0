// AsioOurs: the work behind the buffer and transport methods, after their
// checks: validating a buffer size against the unit's limits, creating the host
// buffers, starting the stream, and the buffer-size and latency queries.
//
// Not filled in yet: each answers as if the unit offered nothing, so the checks
// and locks around them can already be exercised.
#include "asio_ours.h"

ASIOError AsioOurs::checkBufferSize(ASIOLong size) {
    (void)size;
    return ASE_NotPresent;
}

ASIOError AsioOursBase::createBuffers(ASIOBufferInfo* bufferInfos, ASIOLong numChannels, ASIOLong bufferSize,
                                      ASIOCallbacks* callbacks) {
    // When filled in: the device set's CreateBuf takes the stream lock itself,
    // and m_nBufferSize and m_pCallbacks are written under m_csStream, because
    // the streaming thread reads them there.
    (void)bufferInfos;
    (void)numChannels;
    (void)bufferSize;
    (void)callbacks;
    return ASE_NotPresent;
}

ASIOError AsioOurs::startStreaming() {
    // When filled in: m_nBufIndex, m_nSamples, m_nDevMs and m_nDevPeriod are
    // written under m_csStream (the streaming thread reads them there), and
    // m_samplePos and m_timeStamp under m_csPos.
    return ASE_NotPresent;
}

ASIOError AsioOurs::doGetBufferSize(ASIOLong* minSize, ASIOLong* maxSize, ASIOLong* preferredSize,
                                    ASIOLong* granularity) {
    *minSize = 0;
    *maxSize = 0;
    *preferredSize = 0;
    *granularity = 0;
    return ASE_NotPresent;
}

ASIOError AsioOurs::doGetLatencies(ASIOLong* inputLatency, ASIOLong* outputLatency) {
    *inputLatency = 0;
    *outputLatency = 0;
    return ASE_NotPresent;
}
