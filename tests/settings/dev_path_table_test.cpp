// The settings program's device access: one open per request, the policies over
// several units and the combined results.
#include <gtest/gtest.h>

#include <string>

#include "settings/dev_path_table.h"
#include "settings_test_support.h"

namespace settings_test {
namespace {

class DevPathTableTest : public SettingsTest {
protected:
    DevPathTableTest() { table_.Fill(); }
    CDevPathTable table_;
};

TEST_F(DevPathTableTest, PathsOfUnitsOneToFour) {
    for (int i = 0; i < CDevPathTable::kEntryCount; ++i) {
        EXPECT_EQ(table_.Entry(i).nIndex, i);
        EXPECT_EQ(std::wstring(table_.Entry(i).szPath), L"\\\\.\\Mxkd441000" + std::to_wstring(i + 1));
    }
}

TEST_F(DevPathTableTest, EveryRequestOpensSendsAndClosesItsOwnHandle) {
    Connect(2);
    uint32_t word = 0;
    EXPECT_TRUE(table_.SendRequest(1, IOCTL_GET_IN_USE, &word, sizeof word));
    EXPECT_FALSE(table_.SendRequest(0, IOCTL_GET_IN_USE, &word, sizeof word)) << "unit 1 is absent";
    EXPECT_FALSE(table_.SendRequest(4, IOCTL_GET_IN_USE, &word, sizeof word)) << "no fifth entry";
    EXPECT_FALSE(table_.SendRequest(-1, IOCTL_GET_IN_USE, &word, sizeof word));
    const std::vector<vu::LogEntry> log = units_.Log();
    ASSERT_EQ(log.size(), 4u);  // unit 2: open, request, close; unit 1: a failed open
    EXPECT_EQ(log[0].kind, vu::LogKind::Open);
    EXPECT_EQ(log[0].Word(0), GENERIC_READ | GENERIC_WRITE);
    EXPECT_EQ(log[0].Word(1), 0u) << "no sharing";
    EXPECT_EQ(log[0].Word(2), static_cast<uint32_t>(OPEN_EXISTING));
    EXPECT_EQ(log[0].Word(3), FILE_FLAG_OVERLAPPED);
    EXPECT_EQ(log[1].kind, vu::LogKind::Request);
    EXPECT_EQ(log[1].handle, log[0].handle);
    EXPECT_EQ(log[2].kind, vu::LogKind::Close);
    EXPECT_EQ(log[2].handle, log[0].handle);
    EXPECT_EQ(log[3].kind, vu::LogKind::Open);
    EXPECT_FALSE(log[3].result);
    EXPECT_EQ(units_.Inspect(2).openHandles, 0u);
}

TEST_F(DevPathTableTest, PresenceProbe) {
    EXPECT_FALSE(table_.IsAnyPresent());
    Connect(4);
    EXPECT_TRUE(table_.IsAnyPresent());
    EXPECT_FALSE(table_.IsPresent(2));
    EXPECT_TRUE(table_.IsPresent(3));
    EXPECT_EQ(Requests(0), 0u) << "a probe sends nothing";
}

TEST_F(DevPathTableTest, GetSettingsTakesTheFirstUnitThatAnswers) {
    vu::UnitConfig failing = Unit();
    failing.settings.nBufPos = 1;
    vu::UnitConfig answering = Unit();
    answering.settings.nBufPos = 8;
    answering.getResult = 5;
    Connect(1, failing);
    Connect(3, answering);
    Connect(4, Unit());
    units_.AddFault(vu::Fault::Fail(IOCTL_GET_SETTINGS, ERROR_GEN_FAILURE, 1));
    DRV_SETTINGS_BUFFER buffer = device::DefaultSettingsBuffer();
    ASSERT_TRUE(table_.GetSettings(buffer));
    EXPECT_EQ(buffer.settings.nBufPos, 8);
    EXPECT_EQ(buffer.nResult, 5u);
    EXPECT_EQ(Requests(IOCTL_GET_SETTINGS, 4), 0u) << "no request after the first answer";

    units_.AddFault(vu::Fault::Fail(IOCTL_GET_SETTINGS));
    DRV_SETTINGS_BUFFER untouched = device::DefaultSettingsBuffer();
    EXPECT_FALSE(table_.GetSettings(untouched));
    EXPECT_EQ(untouched.settings.nBufPos, 5) << "a failed read leaves the preset";
}

TEST_F(DevPathTableTest, SetSettingsCombinesTheAnswers) {
    static const struct {
        const char* name;
        int answers[4];  // -1: absent, -2: present but the request fails
        uint32_t combined;
        bool answered;
    } kCases[] = {
        {"1 and 3", {1, 3, -1, -1}, 2, true},
        {"1 and 0", {1, 0, -1, -1}, 1, true},
        {"0 and 2", {0, -1, -1, 2}, 2, true},
        {"0 only", {-1, 0, -1, -1}, 0, true},
        {"unknown 7", {7, -1, -1, -1}, 0, true},
        {"1 and a failing unit", {-2, -1, 1, -1}, 1, true},
        {"only a failing unit", {-2, -1, -1, -1}, 0, false},
        {"no unit", {-1, -1, -1, -1}, 0, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        vu::VirtualUnit units;
        vu::ScopedInstall install(units);
        for (int i = 0; i < 4; ++i) {
            if (c.answers[i] == -1) continue;
            vu::UnitConfig config = Unit();
            config.setResult = c.answers[i] < 0 ? 0 : static_cast<uint32_t>(c.answers[i]);
            units.Configure(i + 1, config);
            if (c.answers[i] == -2) units.AddFault(vu::Fault::Fail(IOCTL_SET_SETTINGS, ERROR_GEN_FAILURE, i + 1));
        }
        DRV_SETTINGS_BUFFER buffer = device::DefaultSettingsBuffer();
        buffer.settings.nBufPos = 2;
        buffer.nResult = 99;
        EXPECT_EQ(table_.SetSettings(buffer), c.answered);
        EXPECT_EQ(buffer.nResult, c.combined);
        for (int i = 0; i < 4; ++i)
            if (c.answers[i] >= 0) {
                EXPECT_EQ(units.Config(i + 1).settings.nBufPos, 2) << "unit " << i + 1;
            }
    }
}

TEST_F(DevPathTableTest, BusyWhenAnyUnitIsInUse) {
    vu::UnitConfig idle = Unit();
    idle.inUse = vu::Report::No;
    vu::UnitConfig busy = Unit();
    busy.inUse = vu::Report::Yes;
    Connect(1, idle);
    EXPECT_FALSE(table_.IsBusy());
    Connect(3, busy);
    Connect(4, busy);
    EXPECT_TRUE(table_.IsBusy());
    EXPECT_EQ(Requests(IOCTL_GET_IN_USE, 4), 0u) << "stops at the first unit in use";
}

TEST_F(DevPathTableTest, ActiveRateNeedsAUnitThatStreams) {
    vu::UnitConfig quiet = Unit({44100, 96000}, 96000);
    quiet.streaming = vu::Report::No;
    vu::UnitConfig streaming = Unit({44100, 48000}, 48000);
    streaming.streaming = vu::Report::Yes;
    Connect(1, quiet);
    uint32_t rate = 0;
    EXPECT_FALSE(table_.GetActiveRate(rate));
    Connect(2, streaming);
    ASSERT_TRUE(table_.GetActiveRate(rate));
    EXPECT_EQ(rate, 48000u);
    // A unit that answers but says it does not stream is passed over, even
    // when it names a rate.
    units_.AddFault(vu::Fault::Answer(IOCTL_GET_STREAM_STATUS, 4, 0, 2));
    EXPECT_FALSE(table_.GetActiveRate(rate));
}

TEST_F(DevPathTableTest, UnitRateFromTheFirstUnitThatAnswersBoth) {
    Connect(2, Unit({44100, 88200}, 88200));
    Connect(4, Unit({44100, 192000}, 192000));
    units_.AddFault(vu::Fault::Fail(IOCTL_GET_UNIT_ID, ERROR_GEN_FAILURE, 2));
    uint32_t rate = 0;
    ASSERT_TRUE(table_.GetUnitRate(rate));
    EXPECT_EQ(rate, 192000u) << "unit 4, the only one that answers";
    EXPECT_EQ(Requests(IOCTL_GET_UNIT_RATE, 2), 0u) << "no rate query without the identity";
    units_.AddFault(vu::Fault::Fail(IOCTL_GET_UNIT_RATE, ERROR_GEN_FAILURE, 4));
    EXPECT_FALSE(table_.GetUnitRate(rate));
}

}  // namespace
}  // namespace settings_test
