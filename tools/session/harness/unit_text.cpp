#include "unit_text.h"

namespace session {

namespace {

const char* SourceName(vu::InputSource source) {
    switch (source) {
        case vu::InputSource::Ramp: return "ramp";
        case vu::InputSource::Sine: return "sine";
        case vu::InputSource::Loopback: return "loop";
        case vu::InputSource::Silence: break;
    }
    return "silence";
}

void Add(std::string* text, const char* key, long long value) {
    *text += ',';
    *text += key;
    *text += '=';
    *text += std::to_string(value);
}

}  // namespace

std::string FormatUnitSet(const vu::UnitSet& units) {
    std::string text;
    for (int n = 1; n <= vu::kMaxUnits; ++n) {
        const vu::UnitConfig& u = units.units[n - 1];
        if (!u.present) continue;  // a unit the text does not name is absent
        if (!text.empty()) text += ';';
        text += std::to_string(n) + ":primary=" + (u.primary ? "1" : "0");
        Add(&text, "in", u.inputs);
        Add(&text, "out", u.outputs);
        Add(&text, "width", u.sampleBytes);
        Add(&text, "min", u.bufferSizes.nMinimum);
        Add(&text, "max", u.bufferSizes.nMaximum);
        Add(&text, "pref", u.bufferSizes.nPreferred);
        Add(&text, "gran", u.bufferSizes.nGranularity);
        Add(&text, "inlat", u.inputLatency);
        Add(&text, "outlat", u.outputLatency);
        if (u.rateCount > 0) {
            text += ",rates=";
            for (uint32_t i = 0; i < u.rateCount && i < vu::kMaxRates; ++i) {
                if (i > 0) text += '/';
                text += std::to_string(u.rates[i]);
            }
        }
        Add(&text, "driverrate", u.driverRate);
        Add(&text, "unitrate", u.unitRate);
        Add(&text, "bufpos", u.settings.nBufPos);
        text += ",source=";
        text += SourceName(u.source);
        Add(&text, "loopdelay", u.loopbackDelayFrames);
        text += u.clock == vu::ClockMode::RealTime ? ",clock=rt" : ",clock=step";
    }
    return text;
}

}  // namespace session
