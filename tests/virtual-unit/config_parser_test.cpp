// The text form of a unit set.
#include "vu_test_support.h"

namespace vutest {
namespace {

TEST(ConfigParserTest, ReadsTheExampleAndEveryKey) {
    vu::UnitSet set;
    vu::ParseError error;
    ASSERT_TRUE(vu::ParseUnitSet("1:in=2,out=2,width=3,rate=48000,min=64,max=2048,pref=256,gran=32;3:primary=0", &set,
                                 &error))
        << error.message << " at " << error.offset;
    const vu::UnitConfig& one = set.units[0];
    EXPECT_TRUE(one.present);
    EXPECT_EQ(one.driverRate, 48000u);
    EXPECT_EQ(one.unitRate, 48000u);
    EXPECT_EQ(one.bufferSizes.nMinimum, 64);
    EXPECT_EQ(one.bufferSizes.nGranularity, 32);
    EXPECT_FALSE(set.units[1].present);
    EXPECT_TRUE(set.units[2].present);
    EXPECT_FALSE(set.units[2].primary);

    ASSERT_TRUE(vu::ParseUnitSet(
        " 8 : in = 0 , out=255, width=4, inlat=-5, outlat=7, driverrate=44100, unitrate=96000,"
        " rates=44100/96000, settle=never, settlems=20, locked=1, inuse=1, streaming=0, getresult=0,"
        " setresult=3, bufpos=9, source=loop, loopdelay=12, clock=rt, capture=0, take=0, id=0aFF10 ; 2",
        &set, &error))
        << error.message << " at " << error.offset;
    const vu::UnitConfig& eight = set.units[7];
    EXPECT_EQ(eight.inputs, 0);
    EXPECT_EQ(eight.outputs, 255);
    EXPECT_EQ(eight.sampleBytes, 4u);
    EXPECT_EQ(eight.inputLatency, -5);
    EXPECT_EQ(eight.outputLatency, 7);
    EXPECT_EQ(eight.driverRate, 44100u);
    EXPECT_EQ(eight.unitRate, 96000u);
    ASSERT_EQ(eight.rateCount, 2u);
    EXPECT_EQ(eight.rates[1], 96000u);
    EXPECT_EQ(eight.settlePolls, vu::kNever);
    EXPECT_EQ(eight.settleMs, 20u);
    EXPECT_TRUE(eight.rateLocked);
    EXPECT_EQ(eight.inUse, vu::Report::Yes);
    EXPECT_EQ(eight.streaming, vu::Report::No);
    EXPECT_EQ(eight.getResult, 0u);
    EXPECT_EQ(eight.setResult, 3u);
    EXPECT_EQ(eight.settings.nBufPos, 9);
    EXPECT_EQ(eight.source, vu::InputSource::Loopback);
    EXPECT_EQ(eight.loopbackDelayFrames, 12u);
    EXPECT_EQ(eight.clock, vu::ClockMode::RealTime);
    EXPECT_EQ(eight.captureFrames, 0u);
    EXPECT_FALSE(eight.takeOutputs);
    ASSERT_EQ(eight.idBytes, 3u);
    EXPECT_EQ(eight.id[1], 0xFF);
    EXPECT_TRUE(set.units[1].present) << "a bare number is a present unit with the defaults";
    EXPECT_EQ(set.units[1].inputs, 2);
    EXPECT_FALSE(set.units[0].present) << "a parse starts from an empty set";
}

TEST(ConfigParserTest, NamingAUnitTwiceKeepsBothLists) {
    vu::UnitSet set;
    ASSERT_TRUE(vu::ParseUnitSet("1:in=4;;1:out=6;", &set));
    EXPECT_EQ(set.units[0].inputs, 4);
    EXPECT_EQ(set.units[0].outputs, 6);
    ASSERT_TRUE(vu::ParseUnitSet("1:min=-2147483648", &set));
    EXPECT_EQ(set.units[0].bufferSizes.nMinimum, INT32_MIN);
    ASSERT_TRUE(vu::ParseUnitSet("", &set));
    for (const vu::UnitConfig& unit : set.units) EXPECT_FALSE(unit.present);
}

TEST(ConfigParserTest, RefusesBadTextAndSaysWhere) {
    struct Case {
        const char* text;
        size_t offset;
    };
    static const Case kCases[] = {
        {"0:in=2", 0},
        {"9", 0},
        {"x", 0},
        {"1:in=256", 5},
        {"1:in=-1", 5},
        {"1:in=2x", 6},
        {"1:in=", 5},
        {"1:in", 4},
        {"1:=2", 2},
        {"1:colour=red", 2},
        {"1:width=0", 8},
        {"1:width=5", 8},
        {"1:min=2147483648", 6},
        {"1:min=-2147483649", 7},
        {"1:rates=44100//48000", 14},
        {"1:rates=1/2/3/4/5/6/7/8/9/10/11/12/13/14/15/16/17", 47},
        {"1:settle=sometimes", 9},
        {"1:inuse=2", 8},
        {"1:source=noise", 9},
        {"1:clock=fast", 8},
        {"1:bufpos=10", 9},
        {"1:id=abc", 5},
        {"1:id=zz", 5},
        {"1:loopdelay=1048577", 12},
        {"1 2", 2},
        {"1:in=2;12", 7},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.text);
        vu::UnitSet set;
        set.units[4].present = true;  // a marker that a failed parse must leave
        vu::ParseError error;
        const bool ok = vu::ParseUnitSet(c.text, &set, &error);
        EXPECT_FALSE(ok);
        EXPECT_EQ(error.offset, c.offset) << error.message;
        EXPECT_STRNE(error.message, "");
        EXPECT_TRUE(set.units[4].present);
    }
    vu::UnitSet set;
    EXPECT_FALSE(vu::ParseUnitSet(nullptr, &set));
}

TEST(ConfigParserTest, ConfiguresAModel) {
    vu::VirtualUnit model;
    vu::ScopedInstall install(model);
    vu::ParseError error;
    ASSERT_TRUE(model.ConfigureFromText("2:in=1,out=3,width=2", &error)) << error.message;
    EXPECT_FALSE(model.Inspect(1).present);
    HANDLE h = OpenUnit(2);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CHANNEL_COUNTS_REQ counts{};
    ASSERT_TRUE(Send(h, IOCTL_GET_CHANNEL_COUNTS, &counts));
    EXPECT_EQ(counts.nInputs, 1);
    EXPECT_EQ(counts.nOutputs, 3);
    DevPort_CloseHandle(h);
    EXPECT_FALSE(model.ConfigureFromText("2:in=x"));
    EXPECT_TRUE(model.Inspect(2).present) << "a bad text changes nothing";
}

TEST(ConfigParserTest, ConfigureRefusesInvalidUnits) {
    vu::VirtualUnit model;
    vu::UnitConfig config;
    struct Case {
        const char* name;
        void (*spoil)(vu::UnitConfig&);
    };
    static const Case kCases[] = {
        {"width 0", [](vu::UnitConfig& c) { c.sampleBytes = 0; }},
        {"width 5", [](vu::UnitConfig& c) { c.sampleBytes = 5; }},
        {"17 rates", [](vu::UnitConfig& c) { c.rateCount = 17; }},
        {"long id", [](vu::UnitConfig& c) { c.idBytes = vu::kMaxIdBytes + 1; }},
        {"long delay", [](vu::UnitConfig& c) { c.loopbackDelayFrames = vu::kMaxDelayFrames + 1; }},
        {"long capture", [](vu::UnitConfig& c) { c.captureFrames = vu::kMaxCaptureFrames + 1; }},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        vu::UnitConfig spoilt = config;
        c.spoil(spoilt);
        EXPECT_FALSE(vu::IsValid(spoilt));
        EXPECT_FALSE(model.Configure(1, spoilt));
        EXPECT_FALSE(model.Inspect(1).present);
    }
    EXPECT_FALSE(model.Configure(0, config));
    EXPECT_FALSE(model.Configure(9, config));
    EXPECT_TRUE(model.Configure(8, config));
}

}  // namespace
}  // namespace vutest
