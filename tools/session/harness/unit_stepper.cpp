#include "unit_stepper.h"

#include "device/ring.h"

namespace session {

bool UnitStepper::Arm() {
    RING_HEADER header{};
    if (!m_unit.ReadRingHeader(m_unitNumber, &header) || header.outLen == 0) return false;
    m_ringLen = header.outLen;
    m_periodBytes = header.outLen / device::kRingPeriods;
    m_base = uint64_t{header.outWraps} * m_ringLen + header.outPos;
    m_stepped = 0;
    return m_periodBytes != 0;
}

bool UnitStepper::CursorAt(uint64_t target) const {
    RING_HEADER header{};
    if (!m_unit.ReadRingHeader(m_unitNumber, &header)) return false;
    // Both words must match: between the driver's two stores the pair is
    // briefly inconsistent, and only the final pair counts.
    return header.outPos == target % m_ringLen && header.outWraps == static_cast<uint32_t>(target / m_ringLen);
}

bool UnitStepper::Step(uint32_t periods, DWORD timeoutMs) {
    if (m_periodBytes == 0) return false;
    const uint32_t done = m_unit.Step(m_unitNumber, periods);
    if (done == 0) return false;
    m_stepped += done;
    const uint64_t target = m_base + m_stepped * m_periodBytes;
    const DWORD begin = timeGetTime();
    for (uint32_t spins = 0; !CursorAt(target); ++spins) {
        if (timeGetTime() - begin >= timeoutMs) return false;
        // The driver usually follows within microseconds; a busy system gets
        // the processor back.
        Sleep(spins < 200 ? 0 : 1);
    }
    return done == periods;
}

}  // namespace session
