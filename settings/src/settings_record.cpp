#include "settings/settings_record.h"

#include <algorithm>

#include "device/buffer_position.h"

namespace settings {

int32_t ClampPosition(int32_t position) { return std::clamp<int32_t>(position, 0, kLastBufferPosition); }

int32_t AdjustmentLimit(int32_t position) {
    const int32_t p = ClampPosition(position);
    return device::LAT_SAFETY_MS[p] * device::LAT_CLAMP_MUL[p];
}

namespace {

int32_t ClampAdjustment(uint32_t enabled, int32_t value, int32_t limit) {
    return enabled != 0 ? std::clamp(value, -limit, limit) : 0;
}

bool Truth(uint32_t word) { return word != 0; }

}  // namespace

void ClampAdjustments(DRV_SETTINGS& settings) {
    // A unit may answer any position; the limit is that of the position the
    // slider shows, never a read outside the tables.
    const int32_t limit = AdjustmentLimit(settings.nBufPos);
    settings.nAdj1 = ClampAdjustment(settings.bAdj1Enable, settings.nAdj1, limit);
    settings.nAdj2 = ClampAdjustment(settings.bAdj2Enable, settings.nAdj2, limit);
}

bool IsSameSettings(const DRV_SETTINGS& current, const DRV_SETTINGS& saved) {
    if (Truth(current.bAdj1Enable) != Truth(saved.bAdj1Enable)) return false;
    if (Truth(current.bAdj1Enable) && current.nAdj1 != saved.nAdj1) return false;
    if (Truth(current.bAdj2Enable) != Truth(saved.bAdj2Enable)) return false;
    if (Truth(current.bAdj2Enable) && current.nAdj2 != saved.nAdj2) return false;
    if (current.nBufPos != saved.nBufPos) return false;
    if (Truth(current.dwFlag280) != Truth(saved.dwFlag280)) return false;
    if (Truth(current.dwFlag284) != Truth(saved.dwFlag284)) return false;
    if (current.bNoRateFollow != saved.bNoRateFollow) return false;
    return current.bLowLatency == saved.bLowLatency && current.dwUnused320 == saved.dwUnused320 &&
           current.dwUnused324 == saved.dwUnused324;
}

DRV_SETTINGS_BUFFER DefaultSettingsBuffer() { return device::DefaultSettingsBuffer(); }

}  // namespace settings
