#include "bench_driver.h"

#include "cs_lock.h"
#include "device/ring.h"
#include "driver_factory.h"

namespace bench {

BenchDriver::~BenchDriver() { Close(); }

bool BenchDriver::Open(const StreamShape& shape, ASIOCallbacks* callbacks) {
    Close();
    vu::UnitSet units;
    vu::UnitConfig& u = units.units[0];
    u.present = true;
    u.inputs = static_cast<uint8_t>(shape.channels);
    u.outputs = static_cast<uint8_t>(shape.channels);
    u.sampleBytes = shape.width;
    u.bufferSizes = BUFFER_SIZES_REQ{32, 2048, 256, 32};
    u.driverRate = u.unitRate = 48000;
    u.clock = vu::ClockMode::Stepped;
    // The unit's own work is not what is measured: silent inputs, outputs not read.
    u.source = vu::InputSource::Silence;
    u.takeOutputs = false;
    m_unit = std::make_unique<vu::VirtualUnit>(units);
    m_install = std::make_unique<vu::ScopedInstall>(*m_unit);

    HRESULT hr = S_OK;
    m_driver = static_cast<AsioOurs*>(CreateDriverObject(nullptr, &hr));
    if (m_driver == nullptr) return false;
    m_driver->NonDelegatingAddRef();
    if (!m_driver->m_devAll.IsPresent() || !m_driver->m_devAll.CreateBuf(shape.frames)) return false;
    {
        CCsLock stream(&m_driver->m_csStream);
        m_driver->m_nBufferSize = shape.frames;
        m_driver->m_pCallbacks = callbacks;
        m_driver->m_nBufIndex = 0;
        m_driver->m_nSamples = 0;
    }
    if (!m_driver->m_devAll.PreStartDevs()) return false;
    {
        CCsLock stream(&m_driver->m_csStream);
        m_driver->m_bStarted = TRUE;
    }
    m_driver->m_devAll.PrimeOutputs(static_cast<uint32_t>(shape.frames));
    m_driver->m_devAll.RewindInputs();
    CDevOne* main = m_driver->m_devAll.Main();
    if (main == nullptr || !main->Start(0, 0, nullptr) || !main->Start(0, 1, nullptr)) return false;

    RING_HEADER header{};
    if (!m_unit->ReadRingHeader(1, &header) || header.outLen == 0) return false;
    m_ringLen = header.outLen;
    m_periodBytes = header.outLen / device::kRingPeriods;
    m_cursorBase = uint64_t{header.outWraps} * m_ringLen + header.outPos;
    m_stepped = 0;
    return true;
}

void BenchDriver::Close() {
    if (m_driver != nullptr) {
        {
            CCsLock stream(&m_driver->m_csStream);
            m_driver->m_bStarted = FALSE;
        }
        m_driver->m_devAll.StopDevs();
        {
            CCsLock stream(&m_driver->m_csStream);
            m_driver->m_pCallbacks = nullptr;
            m_driver->m_devAll.DisposeBuf();
            m_driver->m_nBufferSize = 0;
        }
        m_driver->NonDelegatingRelease();
        m_driver = nullptr;
    }
    m_install.reset();
    m_unit.reset();
}

bool BenchDriver::Step() {
    if (m_unit->Step(1, 1) != 1) return false;
    ++m_stepped;
    return true;
}

HANDLE BenchDriver::PeriodEvent() const { return m_driver != nullptr ? m_driver->m_devAll.m_thread.PeriodEvent() : nullptr; }

bool BenchDriver::WaitUntilCaughtUp(uint32_t timeoutMs) {
    const uint64_t target = m_cursorBase + m_stepped * m_periodBytes;
    const DWORD begin = timeGetTime();
    for (;;) {
        RING_HEADER header{};
        if (m_unit->ReadRingHeader(1, &header) && header.outPos == target % m_ringLen &&
            header.outWraps == static_cast<uint32_t>(target / m_ringLen))
            return true;
        if (timeGetTime() - begin >= timeoutMs) return false;
        Sleep(0);
    }
}

}  // namespace bench
