// Placeholder substitution, the numeric formats and the settings record's rules.
#include <gtest/gtest.h>

#include "device/records.h"
#include "settings/settings_record.h"
#include "settings/text.h"

namespace {

using settings::FormatDecimal;
using settings::ReplaceAll;

TEST(Text, ReplaceAllGoesLeftToRightWithoutRescanning) {
    static const struct {
        const wchar_t* text;
        const wchar_t* value;
        const wchar_t* expected;
    } kCases[] = {
        {L"__MODEL__ Driver Settings", L"Calvera", L"Calvera Driver Settings"},
        {L"__MODEL__/__MODEL__", L"X", L"X/X"},
        {L"no placeholder", L"X", L"no placeholder"},
        {L"__MODEL__", L"__MODEL__!", L"__MODEL__!"},  // the inserted text is not looked into
        {L"____MODEL____", L"M", L"__M__"},
        {L"", L"X", L""},
    };
    for (const auto& c : kCases) EXPECT_EQ(ReplaceAll(c.text, L"__MODEL__", c.value), c.expected) << c.text;
    EXPECT_EQ(ReplaceAll(L"abc", L"", L"X"), L"abc");
}

TEST(Text, FormatDecimalLikePrintf) {
    static const struct {
        const wchar_t* format;
        int values;  // how many of first, second
        int64_t first, second;
        const wchar_t* expected;
    } kCases[] = {
        {L"%5d samples (%6d Hz)", 2, 256, 44100, L"  256 samples ( 44100 Hz)"},
        {L"%5d samples (%6d Hz)", 2, 16384, 352800, L"16384 samples (352800 Hz)"},
        {L"%5d samples (%6d Hz)", 2, 123456, 1234567, L"123456 samples (1234567 Hz)"},  // wider than the field
        {L"%6d Hz", 1, 44100, 0, L" 44100 Hz"},
        {L"(%d)", 1, 3, 0, L"(3)"},
        {L"%-4d|%04d|%d", 3, 7, -7, L"7   |0007|-7"},
        {L"100%% %d", 1, 5, 0, L"100% 5"},
        {L"%d %d", 1, 1, 0, L"1 %d"},             // no value left: shown as written
        {L"%s and %x", 2, 1, 2, L"%s and %x"}, // conversions the tables never use
        {L"%999999999999d", 1, 1, 0, L"%999999999999d"},  // absurd width: not honoured
        {L"trailing %", 1, 1, 0, L"trailing %"},
    };
    for (const auto& c : kCases) {
        const std::wstring text = c.values == 1 ? FormatDecimal(c.format, {c.first})
                                  : c.values == 2 ? FormatDecimal(c.format, {c.first, c.second})
                                                  : FormatDecimal(c.format, {c.first, c.first, c.second});
        EXPECT_EQ(text, c.expected) << c.format;
    }
}

TEST(SettingsRecord, AdjustmentClamp) {
    static const struct {
        int32_t position;
        uint32_t enabled;
        int32_t value;
        int32_t expected;
    } kCases[] = {
        {4, 1, 30, 8},    {4, 1, -30, -8},  {4, 1, 5, 5},  {9, 1, 30, 30}, {9, 1, 71, 70},
        {0, 1, 3, 2},     {4, 0, 30, 0},    {9, 0, -3, 0},
        {-5, 1, 30, 2},   {42, 1, 100, 70},  // out-of-range positions take the slider's end
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << "position " << c.position << ", value " << c.value);
        DRV_SETTINGS s = device::DefaultSettings();
        s.nBufPos = c.position;
        s.bAdj1Enable = c.enabled;
        s.nAdj1 = c.value;
        s.bAdj2Enable = c.enabled;
        s.nAdj2 = -c.value;
        settings::ClampAdjustments(s);
        EXPECT_EQ(s.nAdj1, c.expected);
        EXPECT_EQ(s.nAdj2, -c.expected);
    }
    static const int32_t kLimits[] = {2, 3, 3, 4, 8, 12, 12, 16, 25, 70};
    for (int32_t p = 0; p < 10; ++p) EXPECT_EQ(settings::AdjustmentLimit(p), kLimits[p]) << "position " << p;
}

TEST(SettingsRecord, PendingChangeComparison) {
    static const struct {
        const char* name;
        void (*change)(DRV_SETTINGS&);
        bool same;
    } kCases[] = {
        {"nothing", [](DRV_SETTINGS&) {}, true},
        {"per-rate table", [](DRV_SETTINGS& s) { s.rates[3].params[2] = 9; }, true},
        {"word 292", [](DRV_SETTINGS& s) { s.dwUnused292 = 7; }, true},
        {"words 328 and 332", [](DRV_SETTINGS& s) { s.dwUnused328 = s.dwUnused332 = 7; }, true},
        {"flag 280 from 1 to 2", [](DRV_SETTINGS& s) { s.dwFlag280 = 2; }, true},
        {"flag 280 from 1 to 0", [](DRV_SETTINGS& s) { s.dwFlag280 = 0; }, false},
        {"flag 284 from 1 to 0", [](DRV_SETTINGS& s) { s.dwFlag284 = 0; }, false},
        {"position", [](DRV_SETTINGS& s) { s.nBufPos = 6; }, false},
        {"rate follow", [](DRV_SETTINGS& s) { s.bNoRateFollow = 1; }, false},
        {"low latency", [](DRV_SETTINGS& s) { s.bLowLatency = 1; }, false},
        {"word 320", [](DRV_SETTINGS& s) { s.dwUnused320 = 0; }, false},
        {"word 324", [](DRV_SETTINGS& s) { s.dwUnused324 = 5; }, false},
        {"enabled adjustment", [](DRV_SETTINGS& s) { s.nAdj1 = 3; }, false},
        {"enable 1 to 5", [](DRV_SETTINGS& s) { s.bAdj2Enable = 5; }, true},
        {"enable switched off", [](DRV_SETTINGS& s) { s.bAdj2Enable = 0; }, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        DRV_SETTINGS saved = device::DefaultSettings();
        saved.dwFlag280 = 1;
        saved.dwFlag284 = 1;
        DRV_SETTINGS current = saved;
        c.change(current);
        EXPECT_EQ(settings::IsSameSettings(current, saved), c.same);
    }
    // A disabled adjustment's value does not count.
    DRV_SETTINGS saved = device::DefaultSettings();
    saved.bAdj1Enable = 0;
    saved.nAdj1 = 4;
    DRV_SETTINGS current = saved;
    current.nAdj1 = 0;
    EXPECT_TRUE(settings::IsSameSettings(current, saved));
}

}  // namespace
