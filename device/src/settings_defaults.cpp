#include "device/records.h"

namespace device {

DRV_SETTINGS DefaultSettings() {
    DRV_SETTINGS s{};  // the per-rate table is the unit's to fill
    s.dwFlag280 = 0;
    s.dwFlag284 = 0;
    s.nBufPos = kDefaultBufferPosition;
    s.dwUnused292 = 1;
    s.bNoRateFollow = 0;
    s.bAdj1Enable = 1;
    s.nAdj1 = 0;
    s.bAdj2Enable = 1;
    s.nAdj2 = 0;
    s.bLowLatency = 0;
    s.dwUnused320 = 1;
    s.dwUnused324 = 0;
    s.dwUnused328 = 0;
    s.dwUnused332 = 0;
    return s;
}

DRV_SETTINGS_BUFFER DefaultSettingsBuffer() {
    DRV_SETTINGS_BUFFER b{};
    b.settings = DefaultSettings();
    b.nResult = 0;
    return b;
}

}  // namespace device
