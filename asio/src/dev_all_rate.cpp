// CDevAll: asking the units about a sample rate and changing it.
#include "asio_ours.h"
#include "cs_lock.h"
#include "dev_all.h"
#include "dev_limits.h"
#include "device/ioctl.h"

bool CDevAll::CheckFreq(uint32_t rate) {
    bool supported = false;
    for (CDevOne& unit : m_dev)
        if (unit.IsOpen() && unit.IsRateSupported(rate)) supported = true;
    return supported;
}

// Host thread, under the API lock. May take seconds: it waits for the units to
// settle on the new rate.
bool CDevAll::SetFreq(uint32_t rate) {
    if (!CheckFreq(rate)) return false;
    for (CDevOne& unit : m_dev)
        if (unit.IsOpen() && unit.IsRateLocked()) return false;

    bool anySet = false;
    for (CDevOne& unit : m_dev) {
        if (!unit.IsOpen()) continue;
        RATE_FLAG_REQ request{};
        request.nRate = rate;
        if (unit.Request(IOCTL_SET_STREAM_RATE, &request, sizeof request)) anySet = true;
    }
    if (!anySet) return false;
    CDevOne* main = Main();
    if (main != nullptr) {
        RATE_FLAG_REQ request{};
        request.nRate = rate;
        request.nFlag = 1;
        main->Request(IOCTL_SET_STREAM_RATE, &request, sizeof request);
    }

    constexpr int kSettlePolls = 30;
    constexpr DWORD kSettlePollMs = 100;
    for (CDevOne& unit : m_dev) {
        if (!unit.IsOpen()) continue;
        for (int poll = 0; poll < kSettlePolls; ++poll) {
            if (unit.GetDeviceRate() == rate) break;
            Sleep(kSettlePollMs);
        }
    }

    RATE_REQ current{};
    current.nRate = kDefaultRate;
    const bool answered = main != nullptr && main->Request(IOCTL_GET_STREAM_RATE, &current, sizeof current);
    {
        // The streaming thread divides by the rate under this lock.
        CCsLock lock(StreamLock());
        m_nRate = answered && current.nRate != 0 ? current.nRate : kDefaultRate;
    }
    if (main != nullptr) {
        GROUP_CONFIG_REQ group{};
        group.nUnits = static_cast<uint32_t>(m_nUnits);
        group.nRate = m_nRate;
        main->Request(IOCTL_SET_GROUP_CONFIG, &group, sizeof group);
    }
    return true;
}
