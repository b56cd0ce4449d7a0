// The poll every 330 ms: units plugged and unplugged while the dialog is open,
// the rate list following the unit, and no poll while the rate list is open.
#include <gtest/gtest.h>

#include "settings_test_support.h"

namespace settings_test {
namespace {

using Texts = std::vector<std::wstring>;

class PollTest : public SettingsTest {
protected:
    // Closes the dialog at the end of a session without a question.
    void Finish() {
        ui_.SetMessageBoxResponder([](const ui::MessageBoxRecord&) { return IDNO; });
        ui_.Click(IDOK);
        RunProgram();
        EXPECT_FALSE(ui_.ScriptExhausted());
    }
};

TEST_F(PollTest, SelectionFollowsUnitsPluggedAndUnplugged) {
    Connect(1, Unit({44100, 48000}, 44100));
    ui_.Do([&] { Connect(2, Unit({44100, 48000}, 48000)); });
    ui_.Wait(330);
    ui_.Do([&] {
        EXPECT_EQ(ui_.Items(IDC_CMB_DEVICE), (Texts{L"Calvera", L"Calvera(2)"}));
        EXPECT_EQ(ui_.SelectedText(IDC_CMB_DEVICE), L"Calvera") << "the selected unit stays selected";
        EXPECT_EQ(ui_.SelectedText(IDC_CMB_FREQ), L" 44100 Hz");
        units_.Unplug(1);
    });
    ui_.Wait(330);
    ui_.Do([&] {
        EXPECT_EQ(ui_.Items(IDC_CMB_DEVICE), (Texts{L"Calvera(2)"}));
        EXPECT_EQ(ui_.SelectedText(IDC_CMB_DEVICE), L"Calvera(2)") << "moved to the lowest present unit";
        EXPECT_EQ(ui_.SelectedText(IDC_CMB_FREQ), L" 48000 Hz") << "the rate of the unit now selected";
        units_.Unplug(2);
    });
    ui_.Wait(330);
    ui_.Do([&] {
        EXPECT_EQ(ui_.Items(IDC_CMB_DEVICE), Texts{});
        EXPECT_EQ(ui_.Selection(IDC_CMB_DEVICE), -1);
        EXPECT_FALSE(ui_.IsEnabled(IDC_CMB_DEVICE));
        EXPECT_FALSE(ui_.IsEnabled(IDC_CMB_FREQ));
        EXPECT_EQ(ui_.Items(IDC_CMB_FREQ), (Texts{L" 44100 Hz", L" 48000 Hz"})) << "the rate list keeps its items";
        EXPECT_TRUE(Messages().empty());
        units_.Plug(2);
    });
    ui_.Wait(330);
    ui_.Do([&] {
        EXPECT_TRUE(ui_.IsEnabled(IDC_CMB_DEVICE));
        EXPECT_TRUE(ui_.IsEnabled(IDC_CMB_FREQ));
        EXPECT_EQ(ui_.SelectedText(IDC_CMB_DEVICE), L"Calvera(2)");
    });
    Finish();
}

TEST_F(PollTest, PickedRateTheUnitDoesNotTakeSnapsBack) {
    static const struct {
        const char* name;
        bool refuse;  // the request fails; otherwise the unit keeps its status rate
    } kCases[] = {{"unit keeps running at 48000", false}, {"unit refuses the request", true}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        vu::UnitConfig config = Unit({44100, 48000, 96000}, 48000);
        config.clockStatus.nDriverRate = 48000;
        Connect(1, config);
        units_.ClearFaults();
        if (c.refuse) units_.AddFault(vu::Fault::Fail(IOCTL_SET_DRIVER_RATE));
        units_.ClearLog();
        ui.Do([&] { EXPECT_EQ(ui.SelectedText(IDC_CMB_FREQ), L" 48000 Hz"); });
        ui.PickItem(IDC_CMB_FREQ, 2);
        ui.Do([&] {
            EXPECT_EQ(ui.SelectedText(IDC_CMB_FREQ), L" 96000 Hz") << "what the user picked, until the next poll";
            const std::vector<vu::LogEntry> sets = units_.Requests(IOCTL_SET_DRIVER_RATE);
            ASSERT_EQ(sets.size(), 1u);
            EXPECT_EQ(sets[0].unit, 1);
            EXPECT_EQ(sets[0].Word(0), 0u);
            EXPECT_EQ(sets[0].Word(1), 96000u);
        });
        ui.Wait(330);
        ui.Do([&] { EXPECT_EQ(ui.SelectedText(IDC_CMB_FREQ), L" 48000 Hz"); });
        ui.Click(IDOK);
        RunProgram();
        EXPECT_TRUE(ui.MessageBoxes().empty()) << "a rate change is not part of Apply";
    }
}

TEST_F(PollTest, PickedRateTheUnitTakesStaysSelected) {
    Connect(1, Unit({44100, 48000, 96000}, 44100));
    ui_.PickItem(IDC_CMB_FREQ, 2);
    ui_.Wait(1000);
    ui_.Do([&] {
        EXPECT_EQ(ui_.SelectedText(IDC_CMB_FREQ), L" 96000 Hz");
        EXPECT_EQ(units_.Config(1).driverRate, 96000u);
    });
    Finish();
}

TEST_F(PollTest, NoPollWhileTheRateListIsOpen) {
    Connect(1);
    ui_.OpenDropDown(IDC_CMB_FREQ);
    ui_.Do([&] {
        EXPECT_FALSE(ui_.HasTimer(ui_.ActiveDialog(), 1));
        units_.ClearLog();
    });
    ui_.Wait(60000);
    ui_.Do([&] { EXPECT_EQ(Requests(0), 0u) << "a minute with the list open: no request at all"; });
    ui_.CloseDropDown(IDC_CMB_FREQ);
    ui_.Do([&] { EXPECT_TRUE(ui_.HasTimer(ui_.ActiveDialog(), 1)); });
    ui_.Wait(330);
    ui_.Do([&] { EXPECT_EQ(Requests(IOCTL_GET_CLOCK_STATUS), 1u) << "polled within 330 ms of closing"; });
    Finish();
}

TEST_F(PollTest, PickingAUnitPollsItAtOnce) {
    Connect(1, Unit({44100, 48000}, 44100));
    Connect(2, Unit({48000, 44100}, 48000));
    Connect(3, Unit({44100, 88200, 176400}, 88200));
    ui_.Do([&] { units_.ClearLog(); });
    ui_.PickItem(IDC_CMB_DEVICE, 1);
    ui_.Do([&] {
        EXPECT_EQ(Requests(IOCTL_GET_CLOCK_STATUS, 2), 1u);
        EXPECT_EQ(ui_.Items(IDC_CMB_FREQ), (Texts{L" 44100 Hz", L" 48000 Hz"})) << "same rates: same items";
        EXPECT_EQ(ui_.SelectedText(IDC_CMB_FREQ), L" 48000 Hz") << "the rate of unit 2";
    });
    ui_.PickItem(IDC_CMB_DEVICE, 2);
    ui_.Do([&] {
        EXPECT_EQ(ui_.Items(IDC_CMB_FREQ), (Texts{L" 44100 Hz", L" 88200 Hz", L"176400 Hz"}));
        EXPECT_EQ(ui_.SelectedText(IDC_CMB_FREQ), L" 88200 Hz");
        EXPECT_EQ(ui_.SelectedText(IDC_CMB_DEVICE), L"Calvera(3)");
    });
    ui_.Wait(330);
    ui_.Do([&] { EXPECT_EQ(ui_.SelectedText(IDC_CMB_DEVICE), L"Calvera(3)") << "the poll keeps the user's unit"; });
    Finish();
}

TEST_F(PollTest, FailedStatusRequestLeavesTheRateList) {
    Connect(1, Unit({44100, 48000}, 44100));
    ui_.Do([&] {
        units_.AddFault(vu::Fault::Fail(IOCTL_GET_CLOCK_STATUS));
        vu::UnitConfig changed = units_.Config(1);
        changed.rates[changed.rateCount++] = 96000;
        changed.driverRate = 48000;
        units_.Configure(1, changed);
    });
    ui_.Wait(330);
    ui_.Do([&] {
        EXPECT_EQ(ui_.Items(IDC_CMB_FREQ), (Texts{L" 44100 Hz", L" 48000 Hz"}));
        EXPECT_EQ(ui_.SelectedText(IDC_CMB_FREQ), L" 44100 Hz");
        EXPECT_EQ(Requests(IOCTL_CHECK_RATE), 7u) << "only the opening's queries";
        units_.ClearFaults();
    });
    ui_.Wait(330);
    ui_.Do([&] {
        EXPECT_EQ(ui_.Items(IDC_CMB_FREQ), (Texts{L" 44100 Hz", L" 48000 Hz", L" 96000 Hz"}));
        EXPECT_EQ(ui_.SelectedText(IDC_CMB_FREQ), L" 48000 Hz");
    });
    Finish();
}

}  // namespace
}  // namespace settings_test
