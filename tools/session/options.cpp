#include "options.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "virtual_unit/unit_config.h"

namespace session {

namespace {

bool ParseInt(const char* text, int64_t low, int64_t high, int64_t* value) {
    if (text == nullptr || *text == '\0') return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < low || v > high) return false;
    *value = v;
    return true;
}

bool ParseSeconds(const char* text, double* value) {
    if (text == nullptr || *text == '\0') return false;
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(v > 0) || v > 24 * 3600) return false;
    *value = v;
    return true;
}

// What the unit options describe before they become a unit set.
struct UnitChoice {
    int slot = 1;
    bool present = true;
    int64_t inputs = 2, outputs = 2, width = 4, rate = 48000;
    int64_t minSize = 64, maxSize = 2048, preferred = 256, granularity = 32;
    int64_t inputLatency = 32, outputLatency = 48;
    int64_t loopDelay = -1;  // -1: the two latency terms together
    int64_t bufferPosition = 5;
    bool realTime = true;
};

vu::UnitSet MakeUnits(const UnitChoice& c) {
    vu::UnitSet set;
    if (!c.present) return set;
    vu::UnitConfig& u = set.units[c.slot - 1];
    u.present = true;
    u.inputs = static_cast<uint8_t>(c.inputs);
    u.outputs = static_cast<uint8_t>(c.outputs);
    u.sampleBytes = static_cast<uint32_t>(c.width);
    u.bufferSizes = BUFFER_SIZES_REQ{static_cast<int32_t>(c.minSize), static_cast<int32_t>(c.maxSize),
                                     static_cast<int32_t>(c.preferred), static_cast<int32_t>(c.granularity)};
    u.inputLatency = static_cast<int32_t>(c.inputLatency);
    u.outputLatency = static_cast<int32_t>(c.outputLatency);
    u.driverRate = u.unitRate = static_cast<uint32_t>(c.rate);
    // The unit offers its own rate beside the usual ones.
    bool listed = false;
    for (uint32_t i = 0; i < u.rateCount; ++i) listed = listed || u.rates[i] == u.unitRate;
    if (!listed && u.rateCount < vu::kMaxRates) u.rates[u.rateCount++] = u.unitRate;
    u.settings.nBufPos = static_cast<int32_t>(c.bufferPosition);
    u.source = vu::InputSource::Loopback;
    const int64_t delay = c.loopDelay >= 0 ? c.loopDelay : c.inputLatency + c.outputLatency;
    u.loopbackDelayFrames = static_cast<uint32_t>(delay < 0 ? 0 : delay);
    u.clock = c.realTime ? vu::ClockMode::RealTime : vu::ClockMode::Stepped;
    return set;
}

}  // namespace

const char* UsageText() {
    return "usage: mxsession --driver LIBRARY [options]\n"
           "\n"
           "A command-line ASIO host. It puts a virtual unit behind this process's device\n"
           "port, loads the driver library as a host does (DllGetClassObject, the class\n"
           "factory, the class id as interface id), prints what the driver reports,\n"
           "streams a test signal through the unit's loopback and reports what it measured.\n"
           "\n"
           "The virtual unit:\n"
           "  --slot N         unit number 1..8 (default 1; the driver looks at 1..4)\n"
           "  --inputs N       input channels 0..255 (default 2)\n"
           "  --outputs N      output channels 0..255 (default 2)\n"
           "  --width W        bytes per sample 1..4 (default 4)\n"
           "  --rate HZ        sample rate (default 48000)\n"
           "  --min N --max N --pref N --gran N\n"
           "                   buffer-size limits in frames (default 64 2048 256 32)\n"
           "  --inlat N --outlat N\n"
           "                   the unit's latency terms in frames (default 32 48)\n"
           "  --loopdelay N    loopback delay in frames (default: inlat + outlat)\n"
           "  --bufpos N       buffer position 0..9 of the unit's settings record (default 5)\n"
           "  --clock rt|step  the unit's own real-time clock (default), or one period at a\n"
           "                   time, stepped by the tool as soon as the driver is done\n"
           "  --no-unit        no unit at all: the driver finds no device\n"
           "  --units TEXT     the whole unit set in the virtual unit's text form, instead of\n"
           "                   the options above (default: $MX_VIRTUAL_UNITS when set); the\n"
           "                   loopback check needs source=loop, a real-time run clock=rt\n"
           "\n"
           "The host:\n"
           "  --buffer N       buffer size for createBuffers (default: the preferred size)\n"
           "  --seconds S      streaming time (default 3; stepped: the periods S seconds hold)\n"
           "  --periods N      stream this many of the unit's periods instead\n"
           "  --burst N        stepped clock: periods per step; 3 or more make the driver\n"
           "                   catch up without calling the host (default 1)\n"
           "  --no-trial       skip the trial run (two channels, start, a few periods, stop,\n"
           "                   disposeBuffers) that comes before the real open, as in large hosts\n"
           "  --no-reset       answer that reset requests are not supported\n"
           "  --wav FILE       write what the inputs captured to a WAV file\n"
           "  --no-progress    no live progress line\n"
           "  --help           this text\n"
           "\n"
           "Exit status: 0 when the stream ran and came back intact; 1 when a period was\n"
           "skipped, the sample position misbehaved or the audio came back altered; 2 when\n"
           "nothing could be streamed (library, device, buffers or start); 64 for a bad\n"
           "command line.\n";
}

bool ParseCommandLine(int argc, char** argv, CommandLine* line, std::string* error) {
    UnitChoice unit;
    bool slotGiven = false;
    CommandLine result;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        auto value = [&](const char** out) {
            if (i + 1 >= argc) {
                *error = std::string(arg) + " needs a value";
                return false;
            }
            *out = argv[++i];
            return true;
        };
        auto integer = [&](int64_t low, int64_t high, int64_t* out) {
            const char* text = nullptr;
            if (!value(&text)) return false;
            if (!ParseInt(text, low, high, out)) {
                *error = std::string(arg) + " takes a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not '" + text + "'";
                return false;
            }
            return true;
        };
        constexpr int64_t kI32Min = std::numeric_limits<int32_t>::min();
        constexpr int64_t kI32Max = std::numeric_limits<int32_t>::max();
        const char* text = nullptr;
        int64_t n = 0;
        bool ok = true;
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            result.help = true;
        } else if (std::strcmp(arg, "--driver") == 0) {
            ok = value(&text);
            if (ok) result.session.driverPath = text;
        } else if (std::strcmp(arg, "--slot") == 0) {
            ok = integer(1, vu::kMaxUnits, &n);
            unit.slot = static_cast<int>(n);
            slotGiven = true;
        } else if (std::strcmp(arg, "--inputs") == 0) {
            ok = integer(0, 255, &unit.inputs);
        } else if (std::strcmp(arg, "--outputs") == 0) {
            ok = integer(0, 255, &unit.outputs);
        } else if (std::strcmp(arg, "--width") == 0) {
            ok = integer(1, 4, &unit.width);
        } else if (std::strcmp(arg, "--rate") == 0) {
            ok = integer(1000, 1000000, &unit.rate);
        } else if (std::strcmp(arg, "--min") == 0) {
            ok = integer(kI32Min, kI32Max, &unit.minSize);
        } else if (std::strcmp(arg, "--max") == 0) {
            ok = integer(kI32Min, kI32Max, &unit.maxSize);
        } else if (std::strcmp(arg, "--pref") == 0) {
            ok = integer(kI32Min, kI32Max, &unit.preferred);
        } else if (std::strcmp(arg, "--gran") == 0) {
            ok = integer(kI32Min, kI32Max, &unit.granularity);
        } else if (std::strcmp(arg, "--inlat") == 0) {
            ok = integer(kI32Min, kI32Max, &unit.inputLatency);
        } else if (std::strcmp(arg, "--outlat") == 0) {
            ok = integer(kI32Min, kI32Max, &unit.outputLatency);
        } else if (std::strcmp(arg, "--loopdelay") == 0) {
            ok = integer(0, vu::kMaxDelayFrames, &unit.loopDelay);
        } else if (std::strcmp(arg, "--bufpos") == 0) {
            ok = integer(0, 9, &unit.bufferPosition);
        } else if (std::strcmp(arg, "--clock") == 0) {
            ok = value(&text);
            if (ok && std::strcmp(text, "rt") == 0) {
                unit.realTime = true;
            } else if (ok && std::strcmp(text, "step") == 0) {
                unit.realTime = false;
            } else if (ok) {
                *error = std::string("--clock takes rt or step, not '") + text + "'";
                ok = false;
            }
        } else if (std::strcmp(arg, "--no-unit") == 0) {
            unit.present = false;
        } else if (std::strcmp(arg, "--units") == 0) {
            ok = value(&text);
            if (ok) result.unitsText = text;
        } else if (std::strcmp(arg, "--buffer") == 0) {
            ok = integer(kI32Min, kI32Max, &n);
            result.session.bufferSize = static_cast<int32_t>(n);
        } else if (std::strcmp(arg, "--seconds") == 0) {
            ok = value(&text);
            if (ok && !ParseSeconds(text, &result.session.seconds)) {
                *error = std::string("--seconds takes a positive number of seconds, not '") + text + "'";
                ok = false;
            }
        } else if (std::strcmp(arg, "--periods") == 0) {
            ok = integer(1, int64_t{1} << 40, &n);
            result.session.periods = static_cast<uint64_t>(n);
        } else if (std::strcmp(arg, "--burst") == 0) {
            ok = integer(1, 63, &n);
            result.session.stepBurst = static_cast<uint32_t>(n);
        } else if (std::strcmp(arg, "--no-trial") == 0) {
            result.session.trialRun = false;
        } else if (std::strcmp(arg, "--no-reset") == 0) {
            result.session.answerResetRequests = false;
        } else if (std::strcmp(arg, "--wav") == 0) {
            ok = value(&text);
            if (ok) result.wavPath = text;
        } else if (std::strcmp(arg, "--no-progress") == 0) {
            result.progress = false;
        } else {
            *error = std::string("unknown option '") + arg + "' (see --help)";
            ok = false;
        }
        if (!ok) return false;
    }
    if (result.help) {
        *line = result;
        return true;
    }
    if (result.session.driverPath.empty()) {
        *error = "--driver LIBRARY is required (see --help)";
        return false;
    }

    if (result.unitsText.empty()) {
        const char* env = std::getenv(vu::kUnitsEnvironmentVariable);
        if (env != nullptr && *env != '\0') {
            result.unitsText = env;
            result.unitsFromEnvironment = true;
        }
    }
    if (!result.unitsText.empty()) {
        vu::ParseError parseError;
        if (!vu::ParseUnitSet(result.unitsText.c_str(), &result.session.units, &parseError)) {
            *error = std::string(result.unitsFromEnvironment ? vu::kUnitsEnvironmentVariable : "--units") +
                     ": " + parseError.message + " at offset " + std::to_string(parseError.offset);
            return false;
        }
        // The unit streamed through: the one named, else the first present one.
        result.session.unit = slotGiven ? unit.slot : 1;
        for (int n = 1; !slotGiven && n <= vu::kMaxUnits; ++n) {
            if (result.session.units.units[n - 1].present) {
                result.session.unit = n;
                break;
            }
        }
    } else {
        result.session.units = MakeUnits(unit);
        result.session.unit = unit.slot;
        if (unit.present && !vu::IsValid(result.session.units.units[unit.slot - 1])) {
            *error = "the unit options do not describe a valid unit";
            return false;
        }
    }
    *line = result;
    return true;
}

}  // namespace session
