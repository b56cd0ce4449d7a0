// The session tool's parts on their own: the loopback check, the test signal,
// the statistics, the class id, the callback slots and the command line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "callback_slots.h"
#include "distribution.h"
#include "driver_library.h"
#include "host_signal.h"
#include "loopback_check.h"
#include "options.h"

namespace {

using namespace session;

// What a loopback of `delay` frames brings back on `inputs` channels when the
// host wrote the signal to `outputs` channels.
std::vector<std::vector<int32_t>> LoopedBack(uint32_t inputs, uint32_t outputs, uint64_t frames, uint64_t delay,
                                             uint32_t width) {
    std::vector<std::vector<int32_t>> capture(inputs, std::vector<int32_t>(frames, 0));
    for (uint32_t c = 0; c < inputs && c < outputs; ++c)
        for (uint64_t t = delay; t < frames; ++t) capture[c][t] = HostSignal(c, t - delay, width);
    return capture;
}

TEST(LoopbackCheck, FindsTheDelayAndComparesEverySample) {
    struct Case {
        const char* name;
        uint32_t inputs, outputs, width;
        uint64_t frames, delay;
    };
    static const Case kCases[] = {
        {"stereo, 4 bytes", 2, 2, 4, 4096, 515},
        {"stereo, 3 bytes", 2, 2, 3, 4096, 1},
        {"stereo, 2 bytes", 2, 2, 2, 4096, 0},
        {"one byte", 1, 1, 1, 4096, 700},
        {"more inputs than outputs", 4, 2, 4, 2048, 100},
        {"more outputs than inputs", 1, 8, 2, 2048, 100},
        {"delay near the end", 2, 2, 2, 2048, 2048 - 16},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const auto capture = LoopedBack(c.inputs, c.outputs, c.frames, c.delay, c.width);
        const LoopbackResult r = CheckLoopback(capture, c.frames, c.outputs, c.width);
        EXPECT_TRUE(r.Checked());
        EXPECT_TRUE(r.delayFound);
        EXPECT_EQ(r.delayFrames, c.delay);
        EXPECT_EQ(r.mismatches, 0u) << "first at input " << r.mismatchChannel << " frame " << r.mismatchFrame;
        EXPECT_EQ(r.comparedSamples, uint64_t{c.inputs} * c.frames);
        EXPECT_TRUE(r.Intact());
    }
}

TEST(LoopbackCheck, ReportsTheFirstAlteredSample) {
    struct Case {
        const char* name;
        uint32_t channel;
        uint64_t frame;  // capture frame altered
        int32_t value;
    };
    // The delay is 300 frames: before it the inputs must be silent.
    static const Case kCases[] = {
        {"inside the window that finds the delay", 0, 310, 7},
        {"late on the second channel", 1, 3000, 7},
        {"noise before the signal arrives", 0, 12, 1},
        {"a silent input that is not", 2, 50, -1},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        auto capture = LoopedBack(3, 2, 4096, 300, 2);
        capture[c.channel][c.frame] = c.value;
        const LoopbackResult r = CheckLoopback(capture, 4096, 2, 2);
        ASSERT_TRUE(r.delayFound);
        EXPECT_EQ(r.delayFrames, 300u);
        EXPECT_EQ(r.mismatches, 1u);
        EXPECT_EQ(r.mismatchChannel, c.channel);
        EXPECT_EQ(r.mismatchFrame, c.frame);
        EXPECT_EQ(r.actual, c.value);
        EXPECT_FALSE(r.Intact());
    }
}

TEST(LoopbackCheck, ASkippedPeriodShiftsTheSignal) {
    // A period processed without the host: from there on, the input the host
    // sees is one period further on than what it wrote.
    auto capture = LoopedBack(2, 2, 4096, 200, 4);
    auto later = LoopedBack(2, 2, 4096 + 256, 200, 4);
    for (uint32_t c = 0; c < 2; ++c)
        for (uint64_t t = 2048; t < 4096; ++t) capture[c][t] = later[c][t + 256];
    const LoopbackResult r = CheckLoopback(capture, 4096, 2, 4);
    EXPECT_TRUE(r.delayFound);
    EXPECT_EQ(r.mismatchFrame, 2048u);
    EXPECT_GT(r.mismatches, 1000u);
    EXPECT_FALSE(r.Intact());
}

TEST(LoopbackCheck, NothingComesBack) {
    const std::vector<std::vector<int32_t>> silent(2, std::vector<int32_t>(4096, 0));
    const LoopbackResult r = CheckLoopback(silent, 4096, 2, 4);
    EXPECT_TRUE(r.Checked());
    EXPECT_FALSE(r.delayFound);
    EXPECT_FALSE(r.Intact());

    const LoopbackResult none = CheckLoopback(silent, 4096, 0, 4);
    EXPECT_FALSE(none.Checked());
    EXPECT_TRUE(none.Intact());
}

TEST(HostSignal, FitsTheWidthAndIsNeverSilence) {
    for (uint32_t width = 1; width <= 4; ++width) {
        SCOPED_TRACE(width);
        const int64_t limit = int64_t{1} << (8 * width - 1);
        for (uint64_t frame = 0; frame < 20000; ++frame) {
            const int32_t v = HostSignal(1, frame, width);
            ASSERT_NE(v, 0);
            ASSERT_GE(v, -limit);
            ASSERT_LT(v, limit);
            uint8_t bytes[4] = {};
            StoreHostSample(bytes, v, width);
            ASSERT_EQ(LoadHostSample(bytes, width), v);
        }
        EXPECT_NE(HostSignal(0, 5, width), HostSignal(1, 5, width));
    }
    EXPECT_EQ(BytesOfSampleType(ASIOSTInt16LSB), 2u);
    EXPECT_EQ(BytesOfSampleType(ASIOSTInt24LSB), 3u);
    EXPECT_EQ(BytesOfSampleType(ASIOSTInt32LSB), 4u);
    EXPECT_EQ(BytesOfSampleType(ASIOSTFloat32LSB), 0u);
    EXPECT_EQ(BytesOfSampleType(ASIOSTInt16MSB), 0u);
}

TEST(Distribution, MedianPercentileAndMaximum) {
    std::vector<int64_t> values;
    for (int64_t v = 1; v <= 200; ++v) values.push_back(201 - v);
    const Distribution d = Summarise(values);
    EXPECT_EQ(d.count, 200u);
    EXPECT_EQ(d.median, 100);
    EXPECT_EQ(d.p99, 198);
    EXPECT_EQ(d.max, 200);
    EXPECT_EQ(d.min, 1);
    EXPECT_DOUBLE_EQ(d.mean, 100.5);
    EXPECT_EQ(Summarise({}).count, 0u);
    EXPECT_EQ(Summarise({7}).p99, 7);
}

TEST(DriverClassId, ParsedFromTheRegistrySpelling) {
    const CLSID& id = DriverClassId();
    EXPECT_EQ(id.Data1, 0x5B3E0C71u);
    EXPECT_EQ(id.Data2, 0x7A24u);
    EXPECT_EQ(id.Data3, 0x4D19u);
    EXPECT_EQ(id.Data4[0], 0x8Eu);
    EXPECT_EQ(id.Data4[7], 0x35u);
    GUID g;
    for (const char* bad : {"", "5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35", "{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B3}",
                            "{5B3E0C71-7A24-4D19-8E620F4A9C2D7B35}", "{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}x",
                            "{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7BZ5}"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(ParseGuid(bad, &g));
    }
}

// Each slot's functions reach the object registered in it, and only that one.
class Recorder final : public IHostCallbacks {
public:
    void BufferSwitch(ASIOLong index, ASIOBool) override { switches += 1 + index; }
    void SampleRateDidChange(ASIOSampleRate) override { ++rates; }
    ASIOLong AsioMessage(ASIOLong selector, ASIOLong, void*, double*) override { return selector * 10; }
    ASIOTime* BufferSwitchTimeInfo(ASIOTime* params, ASIOLong, ASIOBool) override { return params; }
    int switches = 0;
    int rates = 0;
};

TEST(CallbackSlots, EachRecordReachesItsOwnObject) {
    Recorder recorders[CallbackSlot::kSlots + 1];
    CallbackSlot slots[CallbackSlot::kSlots + 1];
    for (int i = 0; i < CallbackSlot::kSlots; ++i) ASSERT_TRUE(slots[i].Claim(&recorders[i])) << i;
    EXPECT_FALSE(slots[CallbackSlot::kSlots].Claim(&recorders[CallbackSlot::kSlots]));

    for (int i = 0; i < CallbackSlot::kSlots; ++i) {
        ASIOCallbacks* record = slots[i].Record();
        for (int k = 0; k <= i; ++k) record->bufferSwitch(0, ASIOTrue);
        record->sampleRateDidChange(48000);
        EXPECT_EQ(record->asioMessage(3, 0, nullptr, nullptr), 30);
    }
    for (int i = 0; i < CallbackSlot::kSlots; ++i) {
        EXPECT_EQ(recorders[i].switches, i + 1) << i;
        EXPECT_EQ(recorders[i].rates, 1) << i;
    }

    // A driver calling a released record reaches nobody; the slot is free again.
    const ASIOCallbacks stale = *slots[2].Record();
    slots[2].Release();
    stale.bufferSwitch(1, ASIOTrue);
    EXPECT_EQ(stale.asioMessage(1, 3, nullptr, nullptr), 0);
    EXPECT_EQ(recorders[2].switches, 3);
    EXPECT_TRUE(slots[CallbackSlot::kSlots].Claim(&recorders[CallbackSlot::kSlots]));
}

// The command line of mxsession: the unit it describes and its refusals.
bool Parse(std::vector<const char*> args, CommandLine* line, std::string* error) {
    args.insert(args.begin(), "mxsession");
    return ParseCommandLine(static_cast<int>(args.size()), const_cast<char**>(args.data()), line, error);
}

TEST(CommandLine, DescribesTheVirtualUnit) {
    unsetenv(vu::kUnitsEnvironmentVariable);
    CommandLine line;
    std::string error;
    ASSERT_TRUE(Parse({"--driver", "x.so"}, &line, &error)) << error;
    const vu::UnitConfig& u = line.session.units.units[0];
    EXPECT_TRUE(u.present);
    EXPECT_FALSE(line.session.units.units[1].present);
    EXPECT_EQ(u.inputs, 2);
    EXPECT_EQ(u.outputs, 2);
    EXPECT_EQ(u.sampleBytes, 4u);
    EXPECT_EQ(u.unitRate, 48000u);
    EXPECT_EQ(u.driverRate, 48000u);
    EXPECT_EQ(u.bufferSizes.nMinimum, 64);
    EXPECT_EQ(u.bufferSizes.nMaximum, 2048);
    EXPECT_EQ(u.bufferSizes.nPreferred, 256);
    EXPECT_EQ(u.bufferSizes.nGranularity, 32);
    EXPECT_EQ(u.source, vu::InputSource::Loopback);
    EXPECT_EQ(u.loopbackDelayFrames, 80u);  // the two latency terms
    EXPECT_EQ(u.clock, vu::ClockMode::RealTime);
    EXPECT_EQ(line.session.unit, 1);
    EXPECT_EQ(line.session.bufferSize, 0);

    ASSERT_TRUE(Parse({"--driver", "x.so", "--slot", "3", "--inputs", "8", "--outputs", "4", "--width", "3", "--rate",
                       "44100", "--min", "32", "--pref", "128", "--inlat", "10", "--outlat", "20", "--bufpos", "9",
                       "--clock", "step", "--buffer", "512", "--periods", "40", "--burst", "3", "--seconds", "0.5"},
                      &line, &error))
        << error;
    const vu::UnitConfig& v = line.session.units.units[2];
    EXPECT_FALSE(line.session.units.units[0].present);
    EXPECT_TRUE(v.present);
    EXPECT_EQ(line.session.unit, 3);
    EXPECT_EQ(v.inputs, 8);
    EXPECT_EQ(v.outputs, 4);
    EXPECT_EQ(v.sampleBytes, 3u);
    EXPECT_EQ(v.unitRate, 44100u);
    EXPECT_EQ(v.bufferSizes.nMinimum, 32);
    EXPECT_EQ(v.bufferSizes.nPreferred, 128);
    EXPECT_EQ(v.loopbackDelayFrames, 30u);
    EXPECT_EQ(v.settings.nBufPos, 9);
    EXPECT_EQ(v.clock, vu::ClockMode::Stepped);
    EXPECT_EQ(line.session.bufferSize, 512);
    EXPECT_EQ(line.session.periods, 40u);
    EXPECT_EQ(line.session.stepBurst, 3u);
    EXPECT_DOUBLE_EQ(line.session.seconds, 0.5);

    ASSERT_TRUE(Parse({"--driver", "x.so", "--no-unit"}, &line, &error));
    for (const vu::UnitConfig& unit : line.session.units.units) EXPECT_FALSE(unit.present);

    ASSERT_TRUE(Parse({"--driver", "x.so", "--units", "2:width=2;4:primary=0"}, &line, &error)) << error;
    EXPECT_EQ(line.session.unit, 2);
    EXPECT_EQ(line.session.units.units[1].sampleBytes, 2u);
    EXPECT_TRUE(line.session.units.units[3].present);

    setenv(vu::kUnitsEnvironmentVariable, "3:in=1", 1);
    ASSERT_TRUE(Parse({"--driver", "x.so"}, &line, &error)) << error;
    unsetenv(vu::kUnitsEnvironmentVariable);
    EXPECT_TRUE(line.unitsFromEnvironment);
    EXPECT_EQ(line.session.unit, 3);
    EXPECT_EQ(line.session.units.units[2].inputs, 1);
}

TEST(CommandLine, RefusesWhatItDoesNotUnderstand) {
    unsetenv(vu::kUnitsEnvironmentVariable);
    static const std::vector<const char*> kCases[] = {
        {},
        {"--driver"},
        {"--driver", "x.so", "--width", "5"},
        {"--driver", "x.so", "--slot", "0"},
        {"--driver", "x.so", "--inputs", "256"},
        {"--driver", "x.so", "--seconds", "0"},
        {"--driver", "x.so", "--seconds", "fast"},
        {"--driver", "x.so", "--clock", "wall"},
        {"--driver", "x.so", "--buffer", "12x"},
        {"--driver", "x.so", "--units", "9:in=2"},
        {"--driver", "x.so", "--frobnicate"},
    };
    for (const auto& args : kCases) {
        std::string joined;
        for (const char* a : args) joined += std::string(a) + " ";
        SCOPED_TRACE(joined);
        CommandLine line;
        std::string error;
        EXPECT_FALSE(Parse(args, &line, &error));
        EXPECT_FALSE(error.empty());
    }
    CommandLine line;
    std::string error;
    EXPECT_TRUE(Parse({"--help"}, &line, &error));
    EXPECT_TRUE(line.help);
}

}  // namespace
