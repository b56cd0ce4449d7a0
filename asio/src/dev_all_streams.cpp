// CDevAll: the units' buffers, starting and stopping them, and the per-period
// operations the streaming thread runs over every slot.
//
// Host-side operations here take the owner's stream lock: the streaming thread
// reads the units' blocks and header words under that lock, so a block is never
// swapped or a header reset in the middle of a period.
#include "asio_ours.h"
#include "cs_lock.h"
#include "dev_all.h"
#include "device/ioctl.h"
#include "device/ring.h"

bool CDevAll::CreateBuf(int32_t frames) {
    CCsLock lock(StreamLock());
    ClearActive();
    CDevOne* main = OpenMain();
    if (!IsPresent() || main == nullptr) return false;
    BUFFER_SIZES_REQ sizes{};
    if (!main->Request(IOCTL_GET_BUFFER_SIZES, &sizes, sizeof sizes)) return false;
    if (frames < 0 || frames > device::kMaxBufferFrames) return false;

    m_nHalfBytes = static_cast<uint32_t>(frames) * m_nSampleBytes;
    bool ok = true;
    if (UnitChannels() > 0) {
        for (int i = 0; i < kSlotsTried && ok; ++i)
            ok = m_dev[i].CreateBuffer(m_bUnitOpen[i], frames, m_nSampleBytes, UnitChannels()) != FALSE;
    }
    DRV_SETTINGS_BUFFER settings = device::DefaultSettingsBuffer();  // the answer is not used
    main->GetSettings(&settings);
    if (!ok) DisposeBuf();
    return ok;
}

void CDevAll::DisposeBuf() {
    CCsLock lock(StreamLock());
    ClearActive();
    if (!IsPresent()) return;
    for (CDevOne& unit : m_dev) unit.ReleaseBuffer();
}

bool CDevAll::PreStartDevs() {
    CCsLock lock(StreamLock());
    if (!IsPresent()) return false;
    for (CDevOne& unit : m_dev)
        if (unit.IsOpen()) unit.ClearBuffer();
    return true;
}

bool CDevAll::StartDevs() {
    CCsLock lock(StreamLock());
    if (!IsPresent()) return false;
    bool ok = true;
    // A closed unit counts as started.
    for (int i = 0; i < kSlots && ok; ++i) ok = m_dev[i].Start(0, 0, nullptr) != FALSE;
    if (ok) {
        CDevOne* main = Main();
        if (main != nullptr) ok = main->Start(0, 1, m_thread.PeriodEvent()) != FALSE;
    }
    if (!ok) {
        StopDevs();
        return false;
    }
    return true;
}

void CDevAll::StopDevs() {
    CCsLock lock(StreamLock());
    if (!IsPresent()) return;
    for (CDevOne& unit : m_dev) unit.Stop(0, 0);
    if (CDevOne* main = Main()) main->Stop(1, 0);
}

void CDevAll::PrimeOutputs(uint32_t frames) {
    CCsLock lock(StreamLock());
    const uint64_t bytes = static_cast<uint64_t>(frames) * m_nSampleBytes;
    for (CDevOne& unit : m_dev)
        if (unit.IsOpen()) unit.PrimeOutput(bytes);
}

void CDevAll::RewindInputs() {
    CCsLock lock(StreamLock());
    for (CDevOne& unit : m_dev)
        if (unit.IsOpen()) unit.RewindInput();
}

// Streaming thread, under the stream lock.
bool CDevAll::DevsReady(int32_t frames) {
    (void)frames;
    int closed = 0;
    int open = 0;
    int ended = 0;
    for (CDevOne& unit : m_dev) {
        if (!unit.IsOpen()) {
            ++closed;
            continue;
        }
        ++open;
        const int state = unit.CheckState();
        if (state == 1) return false;
        if (state == 2) ++ended;
    }
    return closed < kSlots && ended < open;
}

// Streaming thread, under the stream lock.
bool CDevAll::AdvanceRings() {
    bool advanced = false;
    for (CDevOne& unit : m_dev)
        if (unit.AdvancePeriod()) advanced = true;
    return advanced;
}

// Streaming thread (and the pre-start period), under the stream lock.
void CDevAll::ReadInputs(uint32_t half) {
    for (CDevOne& unit : m_dev)
        if (unit.IsOpen()) unit.ReadInput(half, static_cast<uint32_t>(m_nIns), m_nHalfBytes);
}

// Streaming thread (and the pre-start period), under the stream lock.
void CDevAll::WriteOutputs(uint32_t half) {
    for (CDevOne& unit : m_dev)
        if (unit.IsOpen())
            unit.WriteOutput(half, static_cast<uint32_t>(m_nOuts), static_cast<uint32_t>(m_nIns), m_nHalfBytes);
}

// Streaming thread, under the stream lock.
uint32_t CDevAll::MainUserPeriod() const {
    CDevOne* main = Main();
    if (!IsPresent() || main == nullptr || !main->IsOpen() || !main->IsActive()) return 0;
    return main->UserPeriod();
}
