// The settings program's road to the units: the four unit paths and the requests
// it sends. Every request opens the unit, sends once and closes it again; the
// program never holds a unit open between requests.
#pragma once

#include <cstdint>

#include "device/paths.h"
#include "device/records.h"
#include "win32.h"

struct DevPathEntry {
    int32_t nIndex;                           // unit index 0..3
    wchar_t szPath[device::kDevicePathChars]; // device path of unit nIndex + 1
};

class CDevPathTable {
public:
    static constexpr int kEntryCount = 4;

    CDevPathTable();

    // Entry i gets index i and the path of unit number i + 1.
    void Fill();
    const DevPathEntry& Entry(int index) const { return m_entries[index]; }
    static bool IsValidIndex(int index) { return index >= 0 && index < kEntryCount; }

    // Probe: the unit's path opens (and is closed at once).
    bool IsPresent(int index) const;
    bool IsAnyPresent() const;

    // Opens unit `index`, sends `code` once with `buffer` as input and output of
    // `size` bytes, closes the unit. False without sending when the unit does not
    // open or the index is not 0..3.
    bool SendRequest(int index, DWORD code, void* buffer, DWORD size) const;

    // The settings record of the first unit that passes the probe and answers.
    // `buffer` comes in preset (the program's defaults, nResult 0) and is replaced
    // by the answer only when a unit answers.
    bool GetSettings(DRV_SETTINGS_BUFFER& buffer) const;

    // Writes the record to every unit that passes the probe. Leaves the combined
    // result in buffer.nResult: 2 if any unit answered 2 or 3, else 1 if any
    // answered 1, else 0. True when any unit answered.
    bool SetSettings(DRV_SETTINGS_BUFFER& buffer) const;

    // True as soon as a unit that passes the probe reports that it is in use.
    bool IsBusy() const;

    // The streaming rate of the first unit that opens and reports that it streams.
    bool GetActiveRate(uint32_t& rate) const;

    // The current rate of the first unit that opens and answers both its identity
    // and its rate.
    bool GetUnitRate(uint32_t& rate) const;

private:
    HANDLE Open(int index) const;

    DevPathEntry m_entries[kEntryCount];
};
