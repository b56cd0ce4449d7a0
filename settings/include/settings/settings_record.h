// How the settings program treats the settings record: the buffer position's
// range, the adjustment clamp and the pending-change comparison.
#pragma once

#include <cstdint>

#include "device/records.h"

namespace settings {

inline constexpr int32_t kLastBufferPosition = 9;

// A position forced into 0..9, as the slider shows it.
int32_t ClampPosition(int32_t position);

// Bound of the two adjustment values at a position: LAT_SAFETY_MS × LAT_CLAMP_MUL.
int32_t AdjustmentLimit(int32_t position);

// Applies the limit of the record's position to nAdj1 and nAdj2: an enabled
// value is forced into ±limit, a disabled one becomes 0.
void ClampAdjustments(DRV_SETTINGS& settings);

// True when `current` holds no change against `saved` that the unit would see:
// the enables and enabled adjustments, the position, the flags at 280 and 284 as
// truth values, bNoRateFollow, bLowLatency and the words at 320 and 324. The
// per-rate table and the words at 292, 328 and 332 do not count.
bool IsSameSettings(const DRV_SETTINGS& current, const DRV_SETTINGS& saved);

// The program's default record with nResult 0: the preset of every read.
DRV_SETTINGS_BUFFER DefaultSettingsBuffer();

}  // namespace settings
