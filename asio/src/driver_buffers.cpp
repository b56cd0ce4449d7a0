// AsioOurs: the work behind the buffer and transport methods, after their
// checks: validating a buffer size against the unit's limits, creating the host
// buffers, starting the stream, and the buffer-size and latency queries.
#include <algorithm>
#include <cstdint>

#include "asio_ours.h"
#include "cs_lock.h"
#include "device/ioctl.h"
#include "device/ring.h"
#include "latency_safety.h"
#include "sample_type.h"

namespace {

// A latency as the interface carries it; the unit's terms are untrusted, so a
// sum past 32 bits is held at the nearest end.
ASIOLong ToAsioLong(int64_t value) {
    return static_cast<ASIOLong>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// The unit's limits, read afresh from the main unit (the driver keeps none);
// false without an open main unit or when the request fails.
bool ReadBufferSizes(const CDevAll& devices, BUFFER_SIZES_REQ* sizes) {
    CDevOne* main = devices.OpenMain();
    *sizes = BUFFER_SIZES_REQ{};
    if (main != nullptr && main->Request(IOCTL_GET_BUFFER_SIZES, sizes, sizeof *sizes)) return true;
    *sizes = BUFFER_SIZES_REQ{};
    return false;
}

}  // namespace

ASIOError AsioOurs::checkBufferSize(ASIOLong size) {
    {
        CCsLock lock(&m_csFlags);
        m_flags.bSizeMismatch = 0;
        m_flags.bBufCreated = 1;
    }
    BUFFER_SIZES_REQ limits;
    if (!ReadBufferSizes(m_devAll, &limits)) return Fail(ASE_NotPresent);

    bool valid;
    if (limits.nGranularity == 0) {
        // Without a granularity the minimum is the only proper size.
        valid = size == limits.nMinimum;
    } else {
        if (size < 0) return Fail(ASE_InvalidParameter);
        // The granularity divides whatever its sign; 64 bits keep INT32_MIN / -1
        // out of the picture.
        valid = size >= limits.nMinimum && size <= limits.nMaximum &&
                int64_t{size} % int64_t{limits.nGranularity} == 0;
    }
    if (!valid) {
        // The size is still used as the host gave it; the next start asks the
        // host for a reset, so that it reads the sizes again.
        CCsLock lock(&m_csFlags);
        m_flags.bSizeMismatch = 1;
        m_flags.bBufCreated = 1;
    }
    return Fail(ASE_OK);
}

ASIOError AsioOursBase::createBuffers(ASIOBufferInfo* bufferInfos, ASIOLong numChannels, ASIOLong bufferSize,
                                      ASIOCallbacks* callbacks) {
    if (numChannels < 0 || (numChannels > 0 && bufferInfos == nullptr)) return ASE_InvalidParameter;
    // A size of 0 would leave units mapped while the object says it has no
    // buffers (0 is what marks "none"); negative sizes are no sizes either.
    if (bufferSize <= 0) return ASE_InvalidParameter;

    int64_t inputs = 0;
    int64_t outputs = 0;
    for (ASIOLong i = 0; i < numChannels; ++i) (bufferInfos[i].isInput != 0 ? inputs : outputs) += 1;
    const CDevAll& devices = m_devAll;
    if (inputs > int64_t{devices.m_nIns} * devices.m_nUnits || outputs > int64_t{devices.m_nOuts} * devices.m_nUnits)
        return ASE_InvalidParameter;
    // Samples the driver could not describe to the host are not streamed.
    if (SampleTypeOfWidth(devices.m_nSampleBytes) == kNoSampleType) return ASE_NotPresent;

    if (!m_devAll.CreateBuf(bufferSize)) return ASE_NoMemory;

    {
        // getChannelInfo reads the activity tables under this lock.
        CCsLock stream(&m_csStream);
        for (ASIOLong i = 0; i < numChannels; ++i) {
            ASIOBufferInfo& info = bufferInfos[i];
            const bool input = info.isInput != 0;
            const int32_t number = info.channelNum;
            info.buffers[0] = nullptr;
            info.buffers[1] = nullptr;
            if (number >= 0 && number < CDevAll::kActiveChannels)
                (input ? m_devAll.m_bInActive : m_devAll.m_bOutActive)[number] = TRUE;
            if (number < 0) continue;
            int32_t k = number;
            const int slot = m_devAll.MapChannel(&k, input ? m_devAll.m_nIns : m_devAll.m_nOuts);
            if (slot < 0) continue;
            // Outputs lie behind the unit's inputs in its host block.
            const uint32_t ringChannel = input ? static_cast<uint32_t>(k) : static_cast<uint32_t>(m_devAll.m_nIns + k);
            const CDevOne& unit = m_devAll.m_dev[slot];
            info.buffers[0] = unit.HostHalf(ringChannel, 0);
            info.buffers[1] = unit.HostHalf(ringChannel, 1);
        }
    }

    // The buffer position may have changed in the settings program since the
    // object was made; a failed read keeps the copy we have.
    DRV_SETTINGS_BUFFER settings = device::DefaultSettingsBuffer();
    CDevOne* main = m_devAll.OpenMain();
    const bool read = main != nullptr && main->GetSettings(&settings);

    CCsLock stream(&m_csStream);
    m_nBufferSize = bufferSize;
    if (read) m_settings = settings;
    m_pCallbacks = callbacks;
    return ASE_OK;
}

ASIOError AsioOurs::startStreaming() {
    const DWORD now = timeGetTime();
    int32_t frames;
    uint32_t rate;
    {
        CCsLock stream(&m_csStream);
        m_nBufIndex = 0;
        m_nSamples = 0;
        m_nDevMs = now;
        m_nDevPeriod = 0;
        frames = m_nBufferSize;
        rate = m_devAll.m_nRate;
        CCsLock pos(&m_csPos);
        m_samplePos = 0;
        m_timeStamp = uint64_t{now} * 1000000u;
    }
    m_devAll.PreStartDevs();

    uint32_t safety = 0;
    uint32_t preRoll = 0;
    if (!CalcSafety(frames > 0 ? static_cast<uint32_t>(frames) : 0, rate, &safety, &preRoll)) preRoll = 0;
    {
        CCsLock stream(&m_csStream);
        m_bStarted = TRUE;
    }
    m_devAll.PrimeOutputs(preRoll);
    // The host's first bufferSwitch, on its own thread and before the unit runs:
    // its output goes into the rings at the pre-roll, ahead of the unit's reading.
    processPeriod(false);
    m_devAll.RewindInputs();
    if (m_devAll.StartDevs()) return ASE_OK;
    stop();
    return ASE_NotPresent;
}

ASIOError AsioOurs::doGetBufferSize(ASIOLong* minSize, ASIOLong* maxSize, ASIOLong* preferredSize,
                                    ASIOLong* granularity) {
    BUFFER_SIZES_REQ sizes;
    const bool read = ReadBufferSizes(m_devAll, &sizes);
    // Passed on as the unit gave them; buffer creation checks what it uses.
    *minSize = sizes.nMinimum;
    *maxSize = sizes.nMaximum;
    *preferredSize = sizes.nPreferred;
    *granularity = sizes.nGranularity;
    return read ? ASE_OK : ASE_NotPresent;
}

ASIOError AsioOurs::doGetLatencies(ASIOLong* inputLatency, ASIOLong* outputLatency) {
    LATENCIES_REQ terms{};
    CDevOne* main = m_devAll.OpenMain();
    if (main == nullptr || !main->Request(IOCTL_GET_LATENCIES, &terms, sizeof terms)) terms = LATENCIES_REQ{};
    BUFFER_SIZES_REQ sizes;
    if (!ReadBufferSizes(m_devAll, &sizes)) sizes = BUFFER_SIZES_REQ{};

    int32_t frames;
    uint32_t rate;
    {
        CCsLock stream(&m_csStream);
        frames = m_nBufferSize != 0 ? m_nBufferSize : sizes.nPreferred;
        rate = m_devAll.m_nRate;
    }
    // A preferred size no buffer could have (the unit's answer is untrusted)
    // counts as no frame count at all.
    if (frames < 0 || frames > device::kMaxBufferFrames) frames = 0;
    uint32_t s1 = 0;
    uint32_t s2 = 0;
    if (!CalcSafety(static_cast<uint32_t>(frames), rate, &s1, &s2)) s1 = s2 = 0;
    *inputLatency = ToAsioLong(int64_t{frames} + terms.nInputLatency);
    *outputLatency = ToAsioLong(int64_t{terms.nOutputLatency} + s1 + s2);
    return ASE_OK;
}
