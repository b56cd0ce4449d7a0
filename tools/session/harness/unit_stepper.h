// Drives a virtual unit in stepped mode the way its real-time clock would, but
// one period at a time and only once the driver has finished the previous one.
//
// After completing periods the stepper waits until the driver's output cursor
// in the ring header has moved past them. The driver stores that cursor after
// it has copied the period's output, so seeing it (the unit reads header words
// with acquire loads) also orders that copy before the unit's next reading of
// the output ring: a stepped session is free of data races however small the
// driver's pre-roll, which a real-time run is not (there the unit reads on its
// own clock, as real hardware does).
#pragma once

#include <cstdint>

#include "virtual_unit/virtual_unit.h"
#include "win32.h"

namespace session {

class UnitStepper {
public:
    UnitStepper(vu::VirtualUnit& unit, int unitNumber) : m_unit(unit), m_unitNumber(unitNumber) {}

    // Takes the output cursor as it stands after the driver's start (the
    // pre-start period already written). False when the unit has no ring.
    bool Arm();
    // Completes `periods` periods at once (more than two make the driver catch
    // up) and waits until the driver has written output for all of them; false
    // when the unit completed none or the driver did not follow within timeoutMs.
    bool Step(uint32_t periods, DWORD timeoutMs);
    uint64_t PeriodsStepped() const { return m_stepped; }

private:
    bool CursorAt(uint64_t target) const;

    vu::VirtualUnit& m_unit;
    int m_unitNumber;
    uint64_t m_base = 0;      // output bytes per channel written when armed
    uint64_t m_ringLen = 0;   // outLen
    uint64_t m_periodBytes = 0;
    uint64_t m_stepped = 0;
};

}  // namespace session
