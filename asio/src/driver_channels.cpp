// AsioOurs: channel counts and channel information, after the checks of their
// IASIO methods (a unit is present, the out-pointers are given).
#include <cstdio>
#include <cstring>

#include "asio_ours.h"
#include "cs_lock.h"
#include "sample_type.h"

ASIOError AsioOurs::doGetChannels(ASIOLong* numInputChannels, ASIOLong* numOutputChannels) {
    *numInputChannels = m_devAll.m_nIns * m_devAll.m_nUnits;
    *numOutputChannels = m_devAll.m_nOuts * m_devAll.m_nUnits;
    return ASE_OK;
}

ASIOError AsioOurs::doGetChannelInfo(ASIOChannelInfo* info) {
    const ASIOLong channel = info->channel;
    const bool input = info->isInput != 0;
    const int32_t perUnit = input ? m_devAll.m_nIns : m_devAll.m_nOuts;
    // Only channels that exist have an answer: a number past the direction's
    // total would be named after no unit, and the activity tables end at 512.
    const int64_t total = int64_t{perUnit} * m_devAll.m_nUnits;
    if (channel < 0 || channel >= total || channel >= CDevAll::kActiveChannels) return ASE_InvalidParameter;
    const ASIOSampleType type = SampleTypeOfWidth(m_devAll.m_nSampleBytes);
    if (type == kNoSampleType) return ASE_NotPresent;

    {
        // createBuffers fills the tables under this lock.
        CCsLock stream(&m_csStream);
        const BOOL active = input ? m_devAll.m_bInActive[channel] : m_devAll.m_bOutActive[channel];
        info->isActive = active ? ASIOTrue : ASIOFalse;
    }
    info->channelGroup = 0;
    info->type = type;

    int32_t k = channel;
    const int slot = m_devAll.MapChannel(&k, perUnit);
    const char* word = input ? "IN" : "OUT";
    // The first channel of a unit has the bare word, the second is marked (R);
    // a unit in any slot but the first adds its device number. Later channels
    // keep whatever name the host put there.
    if (k == 0 || k == 1) {
        const char* right = k == 1 ? "(R)" : "";
        char name[32];
        if (slot == 0)
            std::snprintf(name, sizeof name, "%s%s", word, right);
        else
            std::snprintf(name, sizeof name, "%s%s (%d)", word, right, slot + 1);
        // At most 11 characters and the zero.
        const size_t length = strnlen(name, 11);
        std::memcpy(info->name, name, length);
        info->name[length] = '\0';
    }
    return ASE_OK;
}
