// AsioOurs: sample rate, clock source and the latency safety margins, after the
// checks of their IASIO methods.
//
// Not filled in yet: the rate methods answer ASE_NotPresent and CalcSafety
// computes nothing.
#include "asio_ours.h"

ASIOError AsioOurs::IsRateOk(ASIOSampleRate rate) {
    (void)rate;
    return ASE_NoClock;
}

ASIOError AsioOurs::doCanSampleRate(ASIOSampleRate sampleRate) {
    (void)sampleRate;
    return ASE_NotPresent;
}

ASIOError AsioOurs::doGetSampleRate(ASIOSampleRate* sampleRate) {
    (void)sampleRate;
    return ASE_NotPresent;
}

// Runs under m_csApi (taken by setSampleRate); also answers the no-unit case.
ASIOError AsioOurs::doSetSampleRate(ASIOSampleRate sampleRate) {
    (void)sampleRate;
    return ASE_NotPresent;
}

ASIOError AsioOurs::doGetClockSources(ASIOClockSource* clocks, ASIOLong* numSources) {
    (void)clocks;
    *numSources = 0;
    return ASE_NotPresent;
}

ASIOError AsioOurs::doSetClockSource(ASIOLong reference) {
    (void)reference;
    return ASE_NotPresent;
}

BOOL AsioOurs::CalcSafety(uint32_t nFrames, uint32_t nRate, uint32_t* pS1, uint32_t* pS2) {
    (void)nFrames;
    (void)nRate;
    (void)pS1;
    (void)pS2;
    return FALSE;
}
