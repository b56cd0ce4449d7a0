// Apply, Default, Revert, CLOSE and the check box: what is written, and each
// message under exactly its condition.
#include <gtest/gtest.h>

#include "settings_test_support.h"

namespace settings_test {
namespace {

using Texts = std::vector<std::wstring>;

const std::wstring kConnect = L"To make settings, connect the device and then execute once again.";
const std::wstring kInUse =
    L"Device currently used by another application.\nTo have settings take effect, quit all such applications, then "
    L"restart the application.";
const std::wstring kPowerCycle = L"To have settings changes take effect, switch the power off, then on again.";
const std::wstring kApplyChanges = L"Apply configuration changes?";

class ApplyTest : public SettingsTest {
protected:
    // Answers the pending-change question with `answer` and records every box.
    void AnswerQuestionWith(int answer) {
        ui_.SetMessageBoxResponder([answer](const ui::MessageBoxRecord& box) {
            return (box.type & 0xF) == MB_YESNO ? answer : IDOK;
        });
    }
    INT_PTR MainResult() const { return ui_.Dialogs().empty() ? -2 : ui_.Dialogs().back().result; }
};

TEST_F(ApplyTest, MessagesFollowTheCombinedResult) {
    static const struct {
        const char* name;
        std::vector<int> results;      // nResult of IOCTL_SET_SETTINGS of units 1, 2, ...
        vu::Report inUse;
        Texts messages;
        bool inUseQuery;
    } kCases[] = {
        {"0", {0}, vu::Report::Yes, {}, false},
        {"1, not in use", {1}, vu::Report::No, {}, true},
        {"1, in use", {1}, vu::Report::Yes, {kInUse}, true},
        {"2", {2}, vu::Report::Yes, {kPowerCycle}, false},
        {"3", {3}, vu::Report::Yes, {kPowerCycle}, false},
        {"1 and 3", {1, 3}, vu::Report::Yes, {kPowerCycle}, false},
        {"1 and 0, in use", {1, 0}, vu::Report::Yes, {kInUse}, true},
        {"unknown 9", {9}, vu::Report::Yes, {}, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        vu::VirtualUnit units;
        vu::ScopedInstall install(units);
        for (size_t i = 0; i < c.results.size(); ++i) {
            vu::UnitConfig config = Unit();
            config.setResult = static_cast<uint32_t>(c.results[i]);
            config.inUse = c.inUse;
            units.Configure(static_cast<int>(i) + 1, config);
        }
        struct Pause {
            DWORD ms;
            size_t writes;
            size_t inUseQueries;
        };
        std::vector<Pause> pauses;
        ui.SetPauseObserver([&](DWORD ms) {
            pauses.push_back({ms, units.CountRequests(IOCTL_SET_SETTINGS), units.CountRequests(IOCTL_GET_IN_USE)});
        });
        ui.DragSlider(IDC_SLD_BUFFER, 3);
        ui.Click(IDC_BTN_APPLY);
        ui.Do([&] {
            std::vector<std::wstring> shown;
            for (const auto& box : ui.MessageBoxes()) shown.push_back(box.text);
            EXPECT_EQ(shown, c.messages);
            for (const auto& box : ui.MessageBoxes()) EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
            EXPECT_EQ(units.CountRequests(IOCTL_SET_SETTINGS), c.results.size()) << "written to every unit";
            EXPECT_EQ(units.CountRequests(IOCTL_GET_IN_USE) > 0, c.inUseQuery);
            if (c.inUseQuery) {
                // The query comes 100 ms after the writes.
                ASSERT_EQ(pauses.size(), 1u);
                EXPECT_EQ(pauses[0].ms, 100u);
                EXPECT_EQ(pauses[0].writes, c.results.size());
                EXPECT_EQ(pauses[0].inUseQueries, 0u);
            } else {
                EXPECT_TRUE(pauses.empty());
            }
            EXPECT_FALSE(ui.IsEnabled(IDC_BTN_APPLY));
            EXPECT_EQ(ui.Focus(), ui.Item(IDOK)) << "the keyboard focus moves to CLOSE";
            EXPECT_TRUE(MainDialogRunning(ui));
        });
        ui.SetMessageBoxResponder([](const ui::MessageBoxRecord& box) {
            EXPECT_NE(box.type & 0xF, static_cast<UINT>(MB_YESNO)) << "the written record counts as saved";
            return IDNO;
        });
        ui.Click(IDOK);
        RunProgram();
        EXPECT_EQ(ui.Dialogs().back().result, IDOK);
    }
}

TEST_F(ApplyTest, NoUnitAtApplyTimeEndsTheDialog) {
    static const struct {
        const char* name;
        bool unplug;  // otherwise the unit is there but the write fails
    } kCases[] = {{"unit unplugged", true}, {"write fails", false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        Connect(1);
        units_.ClearFaults();
        units_.ClearLog();
        ui.DragSlider(IDC_SLD_BUFFER, 2);
        ui.Do([&] {
            if (c.unplug)
                units_.Unplug(1);
            else
                units_.AddFault(vu::Fault::Fail(IOCTL_SET_SETTINGS));
        });
        ui.Click(IDC_BTN_APPLY);
        ui.Click(IDOK);  // not reached: the dialog has ended
        RunProgram();
        std::vector<std::wstring> shown;
        for (const auto& box : ui.MessageBoxes()) shown.push_back(box.text);
        EXPECT_EQ(shown, Texts{kConnect});
        ASSERT_EQ(ui.Dialogs().size(), 1u);
        EXPECT_EQ(ui.Dialogs()[0].result, IDCANCEL);
        EXPECT_EQ(ui.PendingSteps(), 1u) << "the CLOSE click had no dialog left";
        EXPECT_EQ(units_.CountRequests(IOCTL_SET_SETTINGS, 1), c.unplug ? 0u : 1u);
        EXPECT_EQ(ui.TimerCount(), 0u);
        units_.Plug(1);
    }
}

TEST_F(ApplyTest, CloseRightAfterOpening) {
    for (vu::Report inUse : {vu::Report::Yes, vu::Report::No}) {
        SCOPED_TRACE(inUse == vu::Report::Yes ? "in use" : "not in use");
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        vu::UnitConfig config = Unit();
        config.inUse = inUse;
        Connect(1, config);
        ui.Click(IDOK);
        RunProgram();
        std::vector<std::wstring> shown;
        for (const auto& box : ui.MessageBoxes()) shown.push_back(box.text);
        EXPECT_EQ(shown, inUse == vu::Report::Yes ? Texts{kInUse} : Texts{});
        EXPECT_EQ(ui.Dialogs().back().result, IDOK);
        EXPECT_EQ(units_.CountRequests(IOCTL_SET_SETTINGS), 0u);
    }
}

TEST_F(ApplyTest, DefaultThenCloseAsksOnlyWhenSomethingChanged) {
    static const struct {
        const char* name;
        int32_t savedPosition;
        uint32_t savedNoRateFollow;
        bool asked;
    } kCases[] = {
        {"position 7", 7, 0, true},
        {"box clear", 5, 1, true},
        {"already the defaults", 5, 0, false},
    };
    for (int answer : {IDNO, IDYES}) {
        for (const auto& c : kCases) {
            SCOPED_TRACE(testing::Message() << c.name << (answer == IDYES ? ", Yes" : ", No"));
            ui::HeadlessBackend ui;
            ui::SetBackend(&ui);
            vu::UnitConfig config = Unit();
            config.settings.nBufPos = c.savedPosition;
            config.settings.bNoRateFollow = c.savedNoRateFollow;
            config.settings.bLowLatency = 0;
            Connect(1, config);
            units_.ClearLog();
            ui.SetMessageBoxResponder([answer](const ui::MessageBoxRecord&) { return answer; });
            ui.Click(IDC_BTN_DEFAULT);
            ui.Do([&] {
                EXPECT_EQ(ui.SliderPos(IDC_SLD_BUFFER), 5);
                EXPECT_EQ(ui.CheckState(IDC_CHK_MATCH_ASIO_RATE), BST_CHECKED);
                EXPECT_TRUE(ui.IsEnabled(IDC_BTN_APPLY));
                EXPECT_EQ(Requests(IOCTL_SET_SETTINGS), 0u) << "Default sends nothing";
            });
            ui.Click(IDOK);
            RunProgram();
            std::vector<std::wstring> shown;
            for (const auto& box : ui.MessageBoxes()) shown.push_back(box.text);
            EXPECT_EQ(shown, c.asked ? Texts{kApplyChanges} : Texts{});
            if (c.asked) {
                EXPECT_EQ(ui.MessageBoxes()[0].type, static_cast<UINT>(MB_YESNO));
            }
            const bool written = c.asked && answer == IDYES;
            EXPECT_EQ(Requests(IOCTL_SET_SETTINGS), written ? 1u : 0u);
            const DRV_SETTINGS unit = units_.Config(1).settings;
            EXPECT_EQ(unit.nBufPos, written ? 5 : c.savedPosition);
            EXPECT_EQ(unit.bNoRateFollow, written ? 0u : c.savedNoRateFollow);
            EXPECT_EQ(ui.Dialogs().back().result, IDOK);
        }
    }
}

TEST_F(ApplyTest, RevertRestoresTheSavedRecordAndKeepsTheDialogOpen) {
    for (bool useKey : {false, true}) {
        SCOPED_TRACE(useKey ? "Esc" : "Revert button");
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        vu::UnitConfig config = Unit();
        config.settings.nBufPos = 6;
        Connect(1, config);
        ui.SetMessageBoxResponder([](const ui::MessageBoxRecord& box) {
            ADD_FAILURE() << "unexpected message box";
            return box.type == MB_YESNO ? IDNO : IDOK;
        });
        ui.DragSlider(IDC_SLD_BUFFER, 2);
        ui.Click(IDC_CHK_MATCH_ASIO_RATE);
        ui.Do([&] { EXPECT_EQ(ui.CheckState(IDC_CHK_MATCH_ASIO_RATE), BST_UNCHECKED); });
        if (useKey)
            ui.PressKey(VK_ESCAPE);
        else
            ui.Click(IDCANCEL);
        ui.Do([&] {
            EXPECT_TRUE(MainDialogRunning(ui)) << "Revert never closes the dialog";
            EXPECT_EQ(ui.SliderPos(IDC_SLD_BUFFER), 6);
            EXPECT_EQ(ui.CheckState(IDC_CHK_MATCH_ASIO_RATE), BST_CHECKED);
            EXPECT_FALSE(ui.IsEnabled(IDC_BTN_APPLY));
            EXPECT_EQ(ui.Text(IDC_STC_ASIO_BUFFER), L"   64 samples ( 44100 Hz)") << "the line follows at the next tick";
        });
        ui.Wait(330);
        ui.Do([&] { EXPECT_EQ(ui.Text(IDC_STC_ASIO_BUFFER), L"  384 samples ( 44100 Hz)"); });
        ui.Click(IDOK);
        RunProgram();
        EXPECT_EQ(ui.Dialogs().back().result, IDOK);
        EXPECT_EQ(units_.CountRequests(IOCTL_SET_SETTINGS), 0u);
    }
}

TEST_F(ApplyTest, ChangesUndoneByHandDoNotCountAsPending) {
    static const struct {
        const char* name;
        void (*act)(ui::HeadlessBackend&);
    } kCases[] = {
        {"box clicked twice",
         [](ui::HeadlessBackend& ui) {
             ui.Click(IDC_CHK_MATCH_ASIO_RATE);
             ui.Click(IDC_CHK_MATCH_ASIO_RATE);
         }},
        {"slider moved away and back",
         [](ui::HeadlessBackend& ui) {
             ui.DragSlider(IDC_SLD_BUFFER, 8);
             ui.DragSlider(IDC_SLD_BUFFER, 5);
         }},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        Connect(1);
        c.act(ui);
        ui.Do([&] { EXPECT_TRUE(ui.IsEnabled(IDC_BTN_APPLY)) << "Apply is only a hint"; });
        ui.Click(IDOK);
        RunProgram();
        EXPECT_TRUE(ui.MessageBoxes().empty());
        EXPECT_EQ(ui.Dialogs().back().result, IDOK);
    }
}

TEST_F(ApplyTest, EnterActsAsClose) {
    Connect(1);
    AnswerQuestionWith(IDYES);
    ui_.DragSlider(IDC_SLD_BUFFER, 3);
    ui_.PressKey(VK_RETURN);
    RunProgram();
    std::vector<std::wstring> shown;
    for (const auto& box : ui_.MessageBoxes()) shown.push_back(box.text);
    EXPECT_EQ(shown, Texts{kApplyChanges});
    EXPECT_EQ(MainResult(), IDOK);
    EXPECT_EQ(units_.Config(1).settings.nBufPos, 3) << "Yes writes the edits";
    EXPECT_EQ(ui_.TimerCount(), 0u);
}

TEST_F(ApplyTest, ApplyWritesTheEditedRecordToEveryUnit) {
    vu::UnitConfig first = Unit();
    first.settings.rates[0].nRate = 44100;
    first.settings.rates[0].params[0] = 77;
    first.settings.dwUnused292 = 9;
    Connect(1, first);
    Connect(3, Unit());
    ui_.DragSlider(IDC_SLD_BUFFER, 2);
    ui_.Click(IDC_CHK_MATCH_ASIO_RATE);
    ui_.Click(IDC_BTN_APPLY);
    ui_.Click(IDOK);
    RunProgram();
    EXPECT_TRUE(ui_.MessageBoxes().empty()) << "after Apply nothing is pending";
    for (int unit : {1, 3}) {
        SCOPED_TRACE(testing::Message() << "unit " << unit);
        const DRV_SETTINGS written = units_.Config(unit).settings;
        EXPECT_EQ(written.nBufPos, 2);
        EXPECT_EQ(written.bNoRateFollow, 1u);
        EXPECT_EQ(written.bLowLatency, 1u);
        // The record read from unit 1 goes to every unit, its opaque parts unchanged.
        EXPECT_EQ(written.rates[0].params[0], 77);
        EXPECT_EQ(written.dwUnused292, 9u);
    }
    for (const vu::LogEntry& entry : units_.Requests(IOCTL_SET_SETTINGS)) EXPECT_EQ(entry.inSize, 340u);
}

}  // namespace
}  // namespace settings_test
