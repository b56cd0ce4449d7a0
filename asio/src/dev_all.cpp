// CDevAll: naming the slots, opening the main unit, closing and dropping units.
#include "dev_all.h"

#include <cstring>

#include "asio_ours.h"
#include "cs_lock.h"
#include "dev_limits.h"
#include "device/ioctl.h"
#include "device/records.h"

CDevAll::CDevAll() = default;

CRITICAL_SECTION* CDevAll::StreamLock() const {
    return m_thread.m_pDriver != nullptr ? &m_thread.m_pDriver->m_csStream : nullptr;
}

CDevOne* CDevAll::OpenMain() const {
    CDevOne* main = Main();
    return main != nullptr && main->IsOpen() ? main : nullptr;
}

uint32_t CDevAll::UnitChannels() const {
    return static_cast<uint32_t>(m_nIns) + static_cast<uint32_t>(m_nOuts);
}

void CDevAll::ClearActive() {
    std::memset(m_bInActive, 0, sizeof m_bInActive);
    std::memset(m_bOutActive, 0, sizeof m_bOutActive);
}

int CDevAll::MapChannel(int32_t* nChannel, int32_t nPerUnit) const {
    for (int slot = 0; slot < kSlots; ++slot) {
        if (!m_bUnitOpen[slot]) continue;
        if (*nChannel < nPerUnit) return slot;
        *nChannel -= nPerUnit;
    }
    return -1;
}

void CDevAll::Init(AsioOurs* owner) {
    for (int i = 0; i < kSlots; ++i) m_dev[i].Init(i);
    m_nUnits = 0;
    m_nIns = 0;
    m_nOuts = 0;
    m_nRate = 0;
    m_pMain.store(nullptr, std::memory_order_release);
    m_thread.m_hThread = nullptr;
    m_thread.m_dwThreadId = 0;
    for (HANDLE& event : m_thread.m_hEvents) event = nullptr;
    m_thread.m_pDriver = owner;
    ClearActive();
}

bool CDevAll::OpenDevs() {
    m_nUnits = 0;
    m_pMain.store(nullptr, std::memory_order_release);
    bool ok = m_thread.Start() && SetMain();
    CDevOne* main = ok ? OpenMain() : nullptr;
    if (main == nullptr) ok = false;
    if (ok) {
        UNIT_ID id{};  // only the answer's success counts
        ok = main->Request(IOCTL_GET_UNIT_ID, &id, sizeof id) != FALSE;
    }
    if (ok) {
        DRV_SETTINGS_BUFFER settings = device::DefaultSettingsBuffer();
        ok = main->GetSettings(&settings) != FALSE;
    }
    if (ok && m_nUnits <= 0) ok = false;
    if (!ok) {
        CloseDevs();
        return false;
    }
    for (int i = 0; i < kSlots; ++i) {
        m_bUnitOpen[i] = m_dev[i].IsOpen() ? TRUE : FALSE;
        if (!m_bUnitOpen[i]) continue;
        m_dev[i].m_nAux = 0;
        GROUP_CONFIG_REQ group{};
        group.nUnits = static_cast<uint32_t>(m_nUnits);
        group.nRate = m_nRate;
        m_dev[i].Request(IOCTL_SET_GROUP_CONFIG, &group, sizeof group);
    }
    return true;
}

bool CDevAll::SetMain() {
    CDevOne* main = nullptr;
    for (int i = 0; i < kSlotsTried && main == nullptr; ++i)
        if (m_dev[i].Open()) main = &m_dev[i];
    if (main == nullptr) return false;
    m_pMain.store(main, std::memory_order_release);

    RATE_REQ rate{};
    rate.nRate = kDefaultRate;
    // 0 Hz is no rate at all; like a failed request it leaves the default.
    m_nRate = main->Request(IOCTL_GET_DRIVER_RATE, &rate, sizeof rate) && rate.nRate != 0 ? rate.nRate : kDefaultRate;

    RATE_FLAG_REQ streamRate{};
    streamRate.nRate = m_nRate;
    streamRate.nFlag = 1;
    main->Request(IOCTL_SET_STREAM_RATE, &streamRate, sizeof streamRate);

    SAMPLE_SIZE_REQ sampleSize{};
    sampleSize.nBytesPerSample = kDefaultSampleBytes;
    const bool answered = main->Request(IOCTL_GET_SAMPLE_SIZE, &sampleSize, sizeof sampleSize) != FALSE;
    m_nSampleBytes = answered && IsSupportedSampleBytes(sampleSize.nBytesPerSample) ? sampleSize.nBytesPerSample
                                                                                    : kDefaultSampleBytes;

    main->GetChannelCounts(&m_nIns, &m_nOuts);

    if (main->EnableNotify(1, m_thread.StatusEvent(), m_thread.UnitEvent(main->Index()))) {
        m_nUnits += 1;
        return true;
    }
    // The unit stays open until CloseDevs closes it.
    main->DisableNotify();
    m_pMain.store(nullptr, std::memory_order_release);
    return false;
}

void CDevAll::CloseDevs() {
    {
        // The streaming thread may be dropping a unit or processing a period at
        // this moment; it does both under the stream lock, so the units close
        // either before or after it, never under it. The lock is left before the
        // thread is awaited, which may need it to finish its current dispatch.
        CCsLock lock(StreamLock());
        for (CDevOne& unit : m_dev)
            if (unit.IsOpen()) unit.Close();
        m_pMain.store(nullptr, std::memory_order_release);
        m_nUnits = 0;
    }
    m_thread.Stop();
    for (BOOL& open : m_bUnitOpen) open = FALSE;
}

// Streaming thread, under the stream lock.
bool CDevAll::DropDev(int index) {
    if (index < 0 || index >= kSlots) return false;
    CDevOne& unit = m_dev[index];
    unit.Close();
    if (&unit != Main()) return true;
    for (CDevOne& other : m_dev) {
        if (other.IsOpen()) {
            m_pMain.store(&other, std::memory_order_release);
            return true;
        }
    }
    // No unit left: the main pointer stays on the closed unit, whose requests
    // are skipped from now on.
    return false;
}
