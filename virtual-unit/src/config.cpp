#include "virtual_unit/unit_config.h"

namespace vu {

DRV_SETTINGS UnitConfig::DefaultUnitSettings() {
    DRV_SETTINGS settings = device::DefaultSettings();
    // The per-rate table is the unit's own; it lists the rates it offers by default.
    static const int32_t kTableRates[] = {44100, 48000, 88200, 96000, 176400, 192000};
    int i = 0;
    for (int32_t rate : kTableRates) settings.rates[i++].nRate = rate;
    return settings;
}

bool IsValid(const UnitConfig& c) {
    return c.sampleBytes >= 1 && c.sampleBytes <= 4 && c.rateCount <= static_cast<uint32_t>(kMaxRates) &&
           c.idBytes <= kMaxIdBytes && c.loopbackDelayFrames <= kMaxDelayFrames &&
           c.captureFrames <= kMaxCaptureFrames && static_cast<unsigned>(c.source) <= 3 &&
           static_cast<unsigned>(c.clock) <= 1 && static_cast<unsigned>(c.inUse) <= 2 &&
           static_cast<unsigned>(c.streaming) <= 2;
}

UnitSet::UnitSet() {
    for (UnitConfig& unit : units) unit.present = false;
}

}  // namespace vu
