// The buffer-size slider: the ASIO buffer-size line by rate and position, the
// real-time and stability bars, the adjustment clamp, and the wheel.
#include <gtest/gtest.h>

#include "settings_test_support.h"

namespace settings_test {
namespace {

class SliderTest : public SettingsTest {
protected:
    void Finish() {
        ui_.SetMessageBoxResponder([](const ui::MessageBoxRecord&) { return IDNO; });
        ui_.Click(IDOK);
        RunProgram();
        EXPECT_FALSE(ui_.ScriptExhausted());
    }
};

TEST_F(SliderTest, BufferSizeLineByRateAndPosition) {
    static const struct {
        uint32_t rate;
        int32_t position;
        bool streaming;  // the rate comes from the active stream, else from the unit's rate
        const wchar_t* line;
    } kCases[] = {
        {44100, 5, false, L"  256 samples ( 44100 Hz)"},
        {48000, 0, true, L"   48 samples ( 48000 Hz)"},
        {48000, 1, false, L"   48 samples ( 48000 Hz)"},
        {48000, 5, false, L"  256 samples ( 48000 Hz)"},
        {48001, 5, true, L"  512 samples ( 48001 Hz)"},
        {96000, 5, false, L"  512 samples ( 96000 Hz)"},
        {176400, 5, true, L" 1024 samples (176400 Hz)"},
        {352800, 5, false, L" 2048 samples (352800 Hz)"},
        {352800, 9, false, L"16384 samples (352800 Hz)"},
        {400000, 0, false, L" 1360 samples (400000 Hz)"},  // above 384000 Hz: 3.4 ms, a multiple of 16
        {400000, 9, true, L" 1360 samples (400000 Hz)"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz at position " << c.position);
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        vu::UnitConfig config = Unit({44100, 48000}, 44100);
        config.unitRate = c.rate;
        config.streaming = c.streaming ? vu::Report::Yes : vu::Report::No;
        config.settings.nBufPos = c.position;
        Connect(1, config);
        ui.Do([&] { EXPECT_EQ(ui.Text(IDC_STC_ASIO_BUFFER), c.line); });
        ui.Click(IDOK);
        RunProgram();
    }
}

TEST_F(SliderTest, ActiveStreamOfAnotherUnitDecidesTheRate) {
    vu::UnitConfig first = Unit({44100}, 44100);
    first.streaming = vu::Report::No;
    vu::UnitConfig second = Unit({96000}, 96000);
    second.streaming = vu::Report::Yes;
    Connect(1, first);
    Connect(3, second);
    ui_.Do([&] { EXPECT_EQ(ui_.Text(IDC_STC_ASIO_BUFFER), L"  512 samples ( 96000 Hz)"); });
    Finish();
}

TEST_F(SliderTest, DraggingUpdatesTheLineAndBarsAtOnce) {
    Connect(1, Unit({44100}, 44100));
    static const struct {
        int position;
        const wchar_t* line;
        const wchar_t* realTime;
        const wchar_t* stability;
    } kSteps[] = {
        {0, L"   48 samples ( 44100 Hz)", L"OOOOOOOOOO", L"O"},
        {9, L" 2048 samples ( 44100 Hz)", L"O", L"OOOOOOOOOO"},
        {5, L"  256 samples ( 44100 Hz)", L"OOOOO", L"OOOOOO"},
    };
    ui_.Do([&] {
        EXPECT_EQ(ui_.Text(IDC_STC_REALTIME_BAR), L"OOOOO");
        EXPECT_EQ(ui_.Text(IDC_STC_STABILITY_BAR), L"OOOOOO");
        EXPECT_FALSE(ui_.IsEnabled(IDC_BTN_APPLY));
    });
    for (const auto& step : kSteps) {
        ui_.DragSlider(IDC_SLD_BUFFER, step.position);
        ui_.Do([&] {
            SCOPED_TRACE(testing::Message() << "position " << step.position);
            EXPECT_EQ(ui_.Text(IDC_STC_ASIO_BUFFER), step.line);
            EXPECT_EQ(ui_.Text(IDC_STC_REALTIME_BAR), step.realTime);
            EXPECT_EQ(ui_.Text(IDC_STC_STABILITY_BAR), step.stability);
            EXPECT_EQ(ui_.Text(IDC_STC_REALTIME_BAR).size() + ui_.Text(IDC_STC_STABILITY_BAR).size(), 11u);
            EXPECT_TRUE(ui_.IsEnabled(IDC_BTN_APPLY));
        });
    }
    Finish();
}

TEST_F(SliderTest, NoRateKnownShowsDashesAndKeepsTheBars) {
    Connect(1, Unit({44100}, 44100));
    ui_.Do([&] {
        units_.AddFault(vu::Fault::Fail(IOCTL_GET_STREAM_STATUS));
        units_.AddFault(vu::Fault::Fail(IOCTL_GET_UNIT_RATE));
    });
    ui_.DragSlider(IDC_SLD_BUFFER, 1);
    ui_.Do([&] {
        EXPECT_EQ(ui_.Text(IDC_STC_ASIO_BUFFER), L"--- samples (--- Hz)");
        EXPECT_EQ(ui_.Text(IDC_STC_REALTIME_BAR), L"OOOOO") << "the bars keep their last state";
        EXPECT_EQ(ui_.Text(IDC_STC_STABILITY_BAR), L"OOOOOO");
        units_.ClearFaults();
    });
    ui_.Wait(330);
    ui_.Do([&] {
        EXPECT_EQ(ui_.Text(IDC_STC_ASIO_BUFFER), L"   48 samples ( 44100 Hz)") << "back within one tick";
        EXPECT_EQ(ui_.Text(IDC_STC_REALTIME_BAR), L"OOOOOOOOO");
    });
    Finish();
}

TEST_F(SliderTest, LineFollowsTheUnitsRateWithinOneTick) {
    Connect(1, Unit({44100, 96000}, 44100));
    ui_.Do([&] {
        vu::UnitConfig changed = units_.Config(1);
        changed.unitRate = 96000;
        units_.Configure(1, changed);
    });
    ui_.Wait(330);
    ui_.Do([&] { EXPECT_EQ(ui_.Text(IDC_STC_ASIO_BUFFER), L"  512 samples ( 96000 Hz)"); });
    Finish();
}

TEST_F(SliderTest, AdjustmentsAreClampedToThePositionsLimit) {
    static const struct {
        const char* name;
        int via;  // the slider passes here first (the clamp waits for the store)
        int position;
        uint32_t enabled;
        int32_t written;
        uint32_t lowLatency;
    } kCases[] = {
        {"label 5", 4, 4, 1, 8, 1},
        {"label 10, by way of label 9", 8, 9, 1, 30, 0},
        {"label 1", 0, 0, 1, 2, 1},
        {"disabled", 8, 9, 0, 0, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        vu::UnitConfig config = Unit();
        config.settings.nBufPos = 9;
        config.settings.bAdj1Enable = c.enabled;
        config.settings.nAdj1 = 30;
        config.settings.bAdj2Enable = c.enabled;
        config.settings.nAdj2 = -30;
        config.settings.rates[2].params[4] = 1234;
        Connect(1, config);
        ui.DragSlider(IDC_SLD_BUFFER, c.via);
        ui.DragSlider(IDC_SLD_BUFFER, c.position);
        ui.Click(IDC_BTN_APPLY);
        ui.Click(IDOK);
        RunProgram();
        const DRV_SETTINGS written = units_.Config(1).settings;
        EXPECT_EQ(written.nBufPos, c.position);
        EXPECT_EQ(written.nAdj1, c.written);
        EXPECT_EQ(written.nAdj2, -c.written);
        EXPECT_EQ(written.bLowLatency, c.lowLatency);
        EXPECT_EQ(written.rates[2].params[4], 1234) << "the per-rate table goes back unchanged";
        EXPECT_EQ(written.bAdj1Enable, c.enabled);
    }
}

TEST_F(SliderTest, MouseWheelChangesNothing) {
    Connect(1, Unit({44100, 48000}, 44100));
    Connect(2, Unit({44100, 48000}, 48000));
    for (int control : {IDC_SLD_BUFFER, IDC_CMB_FREQ, IDC_CMB_DEVICE, 0}) {
        ui_.TurnWheel(control, 2);
        ui_.TurnWheel(control, -3);
    }
    ui_.Do([&] {
        EXPECT_EQ(ui_.SliderPos(IDC_SLD_BUFFER), 5);
        EXPECT_EQ(ui_.SelectedText(IDC_CMB_FREQ), L" 44100 Hz");
        EXPECT_EQ(ui_.SelectedText(IDC_CMB_DEVICE), L"Calvera");
        EXPECT_FALSE(ui_.IsEnabled(IDC_BTN_APPLY));
        EXPECT_EQ(Requests(IOCTL_SET_DRIVER_RATE), 0u);
    });
    Finish();
}

}  // namespace
}  // namespace settings_test
