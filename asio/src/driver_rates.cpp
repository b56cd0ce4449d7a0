// AsioOurs: sample rate, clock source and the latency safety margins, after the
// checks of their IASIO methods.
#include <cstring>

#include "asio_ours.h"
#include "cs_lock.h"
#include "latency_safety.h"

namespace {

// The rate a host means by `rate`: the nearest whole hertz. False for values no
// unit rate can be (not a number, negative, past 32 bits), whose conversion to
// an integer would be undefined.
bool NearestWholeRate(ASIOSampleRate rate, uint32_t* whole) {
    const double rounded = rate + 0.5;
    if (!(rounded >= 0.0 && rounded < 4294967296.0)) return false;
    *whole = static_cast<uint32_t>(rounded);
    return true;
}

}  // namespace

ASIOError AsioOurs::IsRateOk(ASIOSampleRate rate) {
    uint32_t whole;
    if (!NearestWholeRate(rate, &whole)) return ASE_NoClock;
    // The unit is asked first; only then does the tolerance count, so 44100.2 is
    // refused even by a unit that runs at 44100.
    if (!m_devAll.CheckFreq(whole)) return ASE_NoClock;
    const double exact = static_cast<double>(whole);
    return rate > exact - 0.1 && rate < exact + 0.1 ? ASE_OK : ASE_NoClock;
}

ASIOError AsioOurs::doCanSampleRate(ASIOSampleRate sampleRate) { return IsRateOk(sampleRate); }

ASIOError AsioOurs::doGetSampleRate(ASIOSampleRate* sampleRate) {
    // A rate change writes the rate under the stream lock.
    CCsLock stream(&m_csStream);
    *sampleRate = static_cast<ASIOSampleRate>(m_devAll.m_nRate);
    return ASE_OK;
}

// Runs under m_csApi (taken by setSampleRate); also answers the no-unit case.
ASIOError AsioOurs::doSetSampleRate(ASIOSampleRate sampleRate) {
    ASIOError result = Fail(ASE_NoClock);
    if (!HasDevice()) {
        result = Fail(ASE_NotPresent);
    } else if (canSampleRate(sampleRate) != ASE_OK) {
        result = Fail(ASE_NoClock);
    } else {
        result = Fail(ASE_OK);
        uint32_t whole = 0;
        NearestWholeRate(sampleRate, &whole);  // canSampleRate accepted it, so it converts
        // The same rate may still need setting: the settings program or another
        // application can have moved the unit away from it.
        bool change = whole != m_devAll.m_nRate;
        if (!change) {
            CDevOne* main = m_devAll.Main();
            change = main != nullptr && main->GetDeviceRate() != whole;
        }
        if (change) {
            if (m_devAll.SetFreq(whole)) {
                result = Fail(ASE_OK);
                RecheckChanges();
            } else {
                result = Fail(ASE_NoClock);
            }
        }
    }
    // The host hears of a change through a reset request, never through
    // sampleRateDidChange; this runs whatever the rate step answered.
    if (HasPendingChange() && callAsioResetRequest() != 0) {
        CCsLock lock(&m_csFlags);
        m_flags.bResetPending = 1;
    }
    return result;
}

ASIOError AsioOurs::doGetClockSources(ASIOClockSource* clocks, ASIOLong* numSources) {
    // The number in *numSources is the room the host gave; with none, only the
    // count is answered rather than writing past the host's array.
    if (*numSources >= 1) {
        ASIOClockSource& device = clocks[0];
        device.index = 0;
        device.associatedChannel = 0;
        device.associatedGroup = 0;
        device.isCurrentSource = ASIOTrue;
        std::memset(device.name, 0, sizeof device.name);
        std::strcpy(device.name, "Device");
    }
    *numSources = 1;
    return ASE_OK;
}

ASIOError AsioOurs::doSetClockSource(ASIOLong reference) {
    // The unit is the only clock there is.
    return reference == 0 ? ASE_OK : ASE_InvalidParameter;
}

BOOL AsioOurs::CalcSafety(uint32_t nFrames, uint32_t nRate, uint32_t* pS1, uint32_t* pS2) {
    int32_t position;
    {
        // createBuffers replaces the settings copy under the stream lock.
        CCsLock stream(&m_csStream);
        position = m_settings.settings.nBufPos;
    }
    return ComputeLatencySafety(nFrames, nRate, position, pS1, pS2) ? TRUE : FALSE;
}
