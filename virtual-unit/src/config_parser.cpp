// The text form of a unit set (see unit_config.h).
#include <cstring>

#include "virtual_unit/unit_config.h"

namespace vu {

namespace {

struct Token {
    const char* begin = nullptr;
    size_t length = 0;
    size_t offset = 0;

    bool Is(const char* word) const { return std::strlen(word) == length && std::strncmp(begin, word, length) == 0; }
};

class Parser {
public:
    Parser(const char* text, ParseError* error) : m_text(text), m_error(error) {}

    bool Run(UnitSet* out) {
        UnitSet set;
        bool named[kMaxUnits] = {};
        for (;;) {
            SkipBlanks();
            if (At('\0')) break;
            if (At(';')) {
                ++m_pos;
                continue;
            }
            const size_t numberAt = m_pos;
            uint32_t number = 0;
            if (!ReadDecimal(&number) || number < 1 || number > static_cast<uint32_t>(kMaxUnits))
                return Fail(numberAt, "unit number 1..8 expected");
            UnitConfig& unit = set.units[number - 1];
            if (!named[number - 1]) {
                unit = UnitConfig{};
                named[number - 1] = true;
            }
            SkipBlanks();
            if (At(':')) {
                ++m_pos;
                if (!Settings(&unit)) return false;
            }
            SkipBlanks();
            if (!At(';') && !At('\0')) return Fail(m_pos, "':' or ';' expected after the unit number");
        }
        *out = set;
        return true;
    }

private:
    bool At(char c) const { return m_text[m_pos] == c; }
    void SkipBlanks() {
        while (m_text[m_pos] == ' ' || m_text[m_pos] == '\t') ++m_pos;
    }
    bool Fail(size_t offset, const char* message) {
        if (m_error != nullptr) {
            m_error->offset = offset;
            m_error->message = message;
        }
        return false;
    }

    bool ReadDecimal(uint32_t* value) {
        uint64_t v = 0;
        size_t digits = 0;
        while (m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
            v = v * 10 + static_cast<uint64_t>(m_text[m_pos++] - '0');
            if (v > 0xFFFFFFFFull) return false;
            ++digits;
        }
        *value = static_cast<uint32_t>(v);
        return digits > 0;
    }

    // settings := [setting { ',' setting }], up to ';' or the end.
    bool Settings(UnitConfig* unit) {
        for (;;) {
            SkipBlanks();
            if (At(';') || At('\0')) return true;
            Token key;
            key.begin = m_text + m_pos;
            key.offset = m_pos;
            while ((m_text[m_pos] >= 'a' && m_text[m_pos] <= 'z') || (m_text[m_pos] >= 'A' && m_text[m_pos] <= 'Z'))
                ++m_pos;
            key.length = m_pos - key.offset;
            if (key.length == 0) return Fail(m_pos, "setting name expected");
            SkipBlanks();
            if (!At('=')) return Fail(m_pos, "'=' expected after the setting name");
            ++m_pos;
            SkipBlanks();
            Token value;
            value.begin = m_text + m_pos;
            value.offset = m_pos;
            while (!At(',') && !At(';') && !At('\0')) ++m_pos;
            value.length = m_pos - value.offset;
            while (value.length > 0 && (value.begin[value.length - 1] == ' ' || value.begin[value.length - 1] == '\t'))
                --value.length;
            if (!Apply(key, value, unit)) return false;
            if (At(',')) ++m_pos;
        }
    }

    bool Unsigned(const Token& t, uint32_t min, uint32_t max, uint32_t* out) {
        uint64_t v = 0;
        if (t.length == 0) return Fail(t.offset, "number expected");
        for (size_t i = 0; i < t.length; ++i) {
            const char c = t.begin[i];
            if (c < '0' || c > '9') return Fail(t.offset + i, "digit expected");
            v = v * 10 + static_cast<uint64_t>(c - '0');
            if (v > max) return Fail(t.offset, "number out of range");
        }
        if (v < min) return Fail(t.offset, "number out of range");
        *out = static_cast<uint32_t>(v);
        return true;
    }

    bool Signed(const Token& t, int32_t* out) {
        Token digits = t;
        bool negative = false;
        if (digits.length > 0 && digits.begin[0] == '-') {
            negative = true;
            ++digits.begin;
            --digits.length;
            ++digits.offset;
        }
        uint32_t magnitude = 0;
        if (!Unsigned(digits, 0, negative ? 0x80000000u : 0x7FFFFFFFu, &magnitude)) return false;
        *out = negative ? static_cast<int32_t>(0u - magnitude) : static_cast<int32_t>(magnitude);
        return true;
    }

    bool Flag(const Token& t, bool* out) {
        uint32_t v = 0;
        if (!Unsigned(t, 0, 1, &v)) return false;
        *out = v != 0;
        return true;
    }

    bool Reported(const Token& t, Report* out) {
        if (t.Is("auto")) *out = Report::Follow;
        else if (t.Is("0")) *out = Report::No;
        else if (t.Is("1")) *out = Report::Yes;
        else return Fail(t.offset, "auto, 0 or 1 expected");
        return true;
    }

    bool Rates(const Token& t, UnitConfig* unit) {
        uint32_t rates[kMaxRates];
        uint32_t count = 0;
        size_t start = 0;
        for (size_t i = 0; i <= t.length; ++i) {
            if (i < t.length && t.begin[i] != '/') continue;
            if (count == static_cast<uint32_t>(kMaxRates)) return Fail(t.offset + start, "at most 16 rates");
            Token one{t.begin + start, i - start, t.offset + start};
            if (!Unsigned(one, 1, 0xFFFFFFFFu, &rates[count])) return false;
            ++count;
            start = i + 1;
        }
        for (uint32_t i = 0; i < count; ++i) unit->rates[i] = rates[i];
        unit->rateCount = count;
        return true;
    }

    bool Identity(const Token& t, UnitConfig* unit) {
        if (t.length % 2 != 0) return Fail(t.offset, "two hex digits per byte expected");
        if (t.length / 2 > kMaxIdBytes) return Fail(t.offset, "at most 2048 identity bytes");
        auto nibble = [](char c) -> int {
            if (c >= '0' && c <= '9') return c - '0';
            if (c >= 'a' && c <= 'f') return c - 'a' + 10;
            if (c >= 'A' && c <= 'F') return c - 'A' + 10;
            return -1;
        };
        uint8_t bytes[kMaxIdBytes];
        for (size_t i = 0; i < t.length; i += 2) {
            const int high = nibble(t.begin[i]);
            const int low = nibble(t.begin[i + 1]);
            if (high < 0 || low < 0) return Fail(t.offset + i, "hex digit expected");
            bytes[i / 2] = static_cast<uint8_t>(high * 16 + low);
        }
        std::memcpy(unit->id, bytes, t.length / 2);
        unit->idBytes = static_cast<uint32_t>(t.length / 2);
        return true;
    }

    bool Apply(const Token& key, const Token& v, UnitConfig* u) {
        uint32_t n = 0;
        if (key.Is("present")) return Flag(v, &u->present);
        if (key.Is("primary")) return Flag(v, &u->primary);
        if (key.Is("in") || key.Is("out")) {
            if (!Unsigned(v, 0, 255, &n)) return false;
            (key.Is("in") ? u->inputs : u->outputs) = static_cast<uint8_t>(n);
            return true;
        }
        if (key.Is("width")) return Unsigned(v, 1, 4, &u->sampleBytes);
        if (key.Is("min")) return Signed(v, &u->bufferSizes.nMinimum);
        if (key.Is("max")) return Signed(v, &u->bufferSizes.nMaximum);
        if (key.Is("pref")) return Signed(v, &u->bufferSizes.nPreferred);
        if (key.Is("gran")) return Signed(v, &u->bufferSizes.nGranularity);
        if (key.Is("inlat")) return Signed(v, &u->inputLatency);
        if (key.Is("outlat")) return Signed(v, &u->outputLatency);
        if (key.Is("rate")) {
            if (!Unsigned(v, 1, 0xFFFFFFFFu, &n)) return false;
            u->driverRate = u->unitRate = n;
            return true;
        }
        if (key.Is("driverrate")) return Unsigned(v, 1, 0xFFFFFFFFu, &u->driverRate);
        if (key.Is("unitrate")) return Unsigned(v, 1, 0xFFFFFFFFu, &u->unitRate);
        if (key.Is("rates")) return Rates(v, u);
        if (key.Is("settle")) {
            if (v.Is("never")) {
                u->settlePolls = kNever;
                return true;
            }
            return Unsigned(v, 0, kNever - 1, &u->settlePolls);
        }
        if (key.Is("settlems")) return Unsigned(v, 0, 0xFFFFFFFFu, &u->settleMs);
        if (key.Is("locked")) return Flag(v, &u->rateLocked);
        if (key.Is("inuse")) return Reported(v, &u->inUse);
        if (key.Is("streaming")) return Reported(v, &u->streaming);
        if (key.Is("getresult")) return Unsigned(v, 0, 0xFFFFFFFFu, &u->getResult);
        if (key.Is("setresult")) return Unsigned(v, 0, 0xFFFFFFFFu, &u->setResult);
        if (key.Is("bufpos")) {
            if (!Unsigned(v, 0, 9, &n)) return false;
            u->settings.nBufPos = static_cast<int32_t>(n);
            return true;
        }
        if (key.Is("source")) {
            if (v.Is("silence")) u->source = InputSource::Silence;
            else if (v.Is("ramp")) u->source = InputSource::Ramp;
            else if (v.Is("sine")) u->source = InputSource::Sine;
            else if (v.Is("loop")) u->source = InputSource::Loopback;
            else return Fail(v.offset, "silence, ramp, sine or loop expected");
            return true;
        }
        if (key.Is("loopdelay")) return Unsigned(v, 0, kMaxDelayFrames, &u->loopbackDelayFrames);
        if (key.Is("clock")) {
            if (v.Is("step")) u->clock = ClockMode::Stepped;
            else if (v.Is("rt")) u->clock = ClockMode::RealTime;
            else return Fail(v.offset, "step or rt expected");
            return true;
        }
        if (key.Is("take")) return Flag(v, &u->takeOutputs);
        if (key.Is("capture")) return Unsigned(v, 0, kMaxCaptureFrames, &u->captureFrames);
        if (key.Is("id")) return Identity(v, u);
        return Fail(key.offset, "unknown setting");
    }

    const char* m_text;
    ParseError* m_error;
    size_t m_pos = 0;
};

}  // namespace

bool ParseUnitSet(const char* text, UnitSet* units, ParseError* error) {
    if (text == nullptr || units == nullptr) {
        if (error != nullptr) {
            error->offset = 0;
            error->message = "no text";
        }
        return false;
    }
    return Parser(text, error).Run(units);
}

}  // namespace vu
