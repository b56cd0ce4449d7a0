// The dialog framework on the headless backend: a small dialog driven as a user
// would, checking what reaches the dialog code and what the user sees.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/app.h"
#include "ui/controls.h"
#include "ui/headless.h"

namespace {

constexpr UINT kDialogId = 500;
constexpr int kApply = 10;
constexpr int kCheck = 11;
constexpr int kList = 12;
constexpr int kSlider = 13;
constexpr int kLabel = 14;
constexpr int kHidden = 15;

const wchar_t* const kInitialItems[] = {L"a", L"b", L"c"};

const ui::ControlTemplate kControls[] = {
    {ui::ControlClass::ComboBox, kList, WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, L"", 10, 5, 60, 30,
     kInitialItems, 3},
    {ui::ControlClass::Trackbar, kSlider, WS_CHILD | WS_VISIBLE | WS_TABSTOP, L"", 10, 30, 100, 18},
    {ui::ControlClass::Static, kLabel, WS_CHILD | WS_VISIBLE | SS_CENTER, L"label", 11, 50, 9, 8},
    {ui::ControlClass::Button, kCheck, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, L"check", 10, 60, 80, 10},
    {ui::ControlClass::Button, kHidden, WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, L"hidden", 10, 70, 50, 14},
    {ui::ControlClass::Button, kApply, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, L"Apply", 60, 70, 50, 14},
    {ui::ControlClass::Button, IDCANCEL, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, L"Cancel", 110, 70, 50, 14},
    {ui::ControlClass::Button, IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, L"OK", 160, 70, 50, 14},
};

const ui::DialogTemplate kTemplate = {
    kDialogId, DS_SHELLFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION, 0, 0, 0, 220, 90, L"MS Shell Dlg", 8,
    L"Test dialog", kControls, sizeof(kControls) / sizeof(kControls[0])};
const ui::DialogTemplate* const kDialogs[] = {&kTemplate};

const ui::StringEntry kEnglish[] = {{AFX_IDS_APP_TITLE, L"Test app"}, {1, L"one"}};
const ui::StringEntry kGerman[] = {{AFX_IDS_APP_TITLE, L"Testprogramm"}, {1, L"eins"}};
const ui::StringEntry kJapanese[] = {{AFX_IDS_APP_TITLE, L"テスト"}, {1, L"一"}};
const ui::StringTable kTables[] = {
    {MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL), kGerman, 2},
    {MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), kEnglish, 2},
    {MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), kJapanese, 2},
};
const ui::ResourceSet kResources = {kTables, 3, kDialogs, 1};

// Records what reaches the dialog code.
class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(kDialogId) {}

    std::vector<std::string> events;
    int checked = 0;
    bool swallowWheel = false;
    bool endDuringInit = false;
    UINT_PTR timerId = 0;

    CComboBox list;
    CSliderCtrl slider;

    BOOL PreTranslateMessage(MSG* msg) override {
        if (swallowWheel && msg->message == WM_MOUSEWHEEL) return TRUE;
        return CDialog::PreTranslateMessage(msg);
    }

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, kList, list);
        DDX_Control(dx, kSlider, slider);
        DDX_Check(dx, kCheck, checked);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        slider.SetRange(0, 9);
        slider.SetPos(5);
        list.SetCurSel(1);
        if (endDuringInit) EndDialog(IDABORT);
        return TRUE;
    }
    void OnOK() override {
        events.push_back("ok");
        CDialog::OnOK();
    }
    void OnCancel() override {
        events.push_back("cancel");
        CDialog::OnCancel();
    }
    void OnApply() { events.push_back("apply"); }
    void OnCheck() { events.push_back("check"); }
    void OnSelChange() { events.push_back("selchange " + std::to_string(list.GetCurSel())); }
    void OnDropDown() { events.push_back("dropdown"); }
    void OnCloseUp() { events.push_back("closeup"); }
    void OnHScroll(UINT code, UINT, CScrollBar*) {
        events.push_back("scroll " + std::to_string(code) + " " + std::to_string(slider.GetPos()));
    }
    void OnTimer(UINT_PTR id) { events.push_back("timer " + std::to_string(id)); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
    ON_BN_CLICKED(kApply, &TestDialog::OnApply)
    ON_BN_CLICKED(kCheck, &TestDialog::OnCheck)
    ON_BN_CLICKED(kHidden, &TestDialog::OnApply)
    ON_CBN_SELCHANGE(kList, &TestDialog::OnSelChange)
    ON_CBN_DROPDOWN(kList, &TestDialog::OnDropDown)
    ON_CBN_CLOSEUP(kList, &TestDialog::OnCloseUp)
    ON_WM_HSCROLL(&TestDialog::OnHScroll)
    ON_WM_TIMER(&TestDialog::OnTimer)
END_MESSAGE_MAP()

class HeadlessTest : public ::testing::Test {
protected:
    HeadlessTest() : app_(&kResources) { ui::SetBackend(&ui_); }
    ~HeadlessTest() override { ui::SetBackend(nullptr); }

    ui::HeadlessBackend ui_;
    CWinApp app_;
    TestDialog dialog_;
};

using Events = std::vector<std::string>;

TEST_F(HeadlessTest, ClicksReachOnlyEnabledVisibleControls) {
    ui_.Click(kApply);
    ui_.Do([&] { dialog_.GetDlgItem(kApply).EnableWindow(FALSE); });
    ui_.Click(kApply);   // disabled: nothing
    ui_.Click(kHidden);  // never shown: nothing
    ui_.Click(kCheck);
    ui_.Click(IDOK);
    EXPECT_EQ(dialog_.DoModal(), IDOK);
    EXPECT_EQ(dialog_.events, (Events{"apply", "check", "ok"}));
    EXPECT_EQ(dialog_.checked, BST_CHECKED) << "the OK command pulls the check box into the member";
    EXPECT_FALSE(ui_.ScriptExhausted());
    EXPECT_EQ(dialog_.m_hWnd, nullptr);
    EXPECT_EQ(dialog_.list.m_hWnd, nullptr) << "bound controls are released with the dialog";
}

TEST_F(HeadlessTest, EnterAndEscapeFollowTheDialogManager) {
    static const struct {
        const char* name;
        std::function<void(ui::HeadlessBackend&, TestDialog&)> before;
        UINT key;
        Events expected;
        INT_PTR result;
    } kCases[] = {
        {"Enter with focus on a list: default button", [](ui::HeadlessBackend&, TestDialog&) {}, VK_RETURN, {"ok"}, IDOK},
        {"Enter with focus on a push button clicks it",
         [](ui::HeadlessBackend& ui, TestDialog&) { ui.Click(kApply); }, VK_RETURN, {"apply", "apply"}, -1},
        {"Enter with the default button disabled",
         [](ui::HeadlessBackend& ui, TestDialog& d) { ui.Do([&d] { d.GetDlgItem(IDOK).EnableWindow(FALSE); }); },
         VK_RETURN, {}, -1},
        {"Escape", [](ui::HeadlessBackend&, TestDialog&) {}, VK_ESCAPE, {"cancel"}, IDCANCEL},
        {"Escape on an open list closes the list",
         [](ui::HeadlessBackend& ui, TestDialog&) { ui.OpenDropDown(kList); }, VK_ESCAPE, {"dropdown", "closeup"}, -1},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ui::HeadlessBackend ui;
        ui::SetBackend(&ui);
        TestDialog dialog;
        c.before(ui, dialog);
        ui.PressKey(c.key);
        EXPECT_EQ(dialog.DoModal(), c.result);
        EXPECT_EQ(dialog.events, c.expected);
        EXPECT_EQ(ui.ScriptExhausted(), c.result == -1);
    }
    ui::SetBackend(&ui_);
}

TEST_F(HeadlessTest, WheelMovesControlsUnlessTheDialogSwallowsIt) {
    ui_.TurnWheel(kSlider, 2);   // away from the user: two lines up
    ui_.TurnWheel(kList, -1);    // towards the user: next item
    ui_.TurnWheel(0, 3);         // over the dialog: nothing
    ui_.Do([&] {
        EXPECT_EQ(ui_.SliderPos(kSlider), 3);
        EXPECT_EQ(ui_.Selection(kList), 2);
        dialog_.swallowWheel = true;
    });
    ui_.TurnWheel(kSlider, -4);
    ui_.TurnWheel(kList, 1);
    ui_.Do([&] {
        EXPECT_EQ(ui_.SliderPos(kSlider), 3);
        EXPECT_EQ(ui_.Selection(kList), 2);
    });
    dialog_.DoModal();
    EXPECT_EQ(dialog_.events, (Events{"scroll 0 4", "scroll 0 3", "scroll 8 3", "selchange 2"}));
}

TEST_F(HeadlessTest, DragReportsEveryStepThenTheEnd) {
    ui_.DragSlider(kSlider, 7);
    ui_.DragSlider(kSlider, 42);  // past the end: stops at the maximum
    dialog_.DoModal();
    EXPECT_EQ(dialog_.events, (Events{"scroll 5 6", "scroll 5 7", "scroll 4 7", "scroll 8 7", "scroll 5 8",
                                      "scroll 5 9", "scroll 4 9", "scroll 8 9"}));
}

TEST_F(HeadlessTest, DropDownNotifiesOpenCloseAndSelection) {
    ui_.Do([&] { EXPECT_EQ(ui_.SelectedText(kList), L"b"); });
    ui_.OpenDropDown(kList);
    ui_.Do([&] { EXPECT_TRUE(ui_.IsDroppedDown(kList)); });
    ui_.PickDropDownItem(kList, 2);
    ui_.OpenDropDown(kList);
    ui_.CloseDropDown(kList);
    ui_.Do([&] {
        EXPECT_FALSE(ui_.IsDroppedDown(kList));
        EXPECT_EQ(ui_.SelectedText(kList), L"c");
    });
    dialog_.DoModal();
    EXPECT_EQ(dialog_.events, (Events{"dropdown", "closeup", "selchange 2", "dropdown", "closeup"}));
}

TEST_F(HeadlessTest, TimersFireOnVirtualTimeOnly) {
    ui_.Do([&] { dialog_.timerId = dialog_.SetTimer(1, 330); });
    ui_.Wait(1000);  // due at 330, 660, 990
    ui_.Do([&] {
        EXPECT_EQ(ui_.Now(), 1000u);
        AfxPause(2000);  // like Sleep: time passes, nothing fires
        EXPECT_EQ(ui_.Now(), 3000u);
    });
    ui_.Wait(10);  // overdue: fires once, then keeps its period from now
    ui_.Do([&] { dialog_.KillTimer(1); });
    ui_.Wait(5000);
    dialog_.DoModal();
    EXPECT_EQ(dialog_.timerId, 1u);
    EXPECT_EQ(dialog_.events, (Events{"timer 1", "timer 1", "timer 1", "timer 1"}));
    EXPECT_EQ(ui_.TimerCount(), 0u);
}

TEST_F(HeadlessTest, DialogEndedWhileInitialisingIsNeverShown) {
    dialog_.endDuringInit = true;
    EXPECT_EQ(dialog_.DoModal(), IDABORT);
    ASSERT_EQ(ui_.Dialogs().size(), 1u);
    EXPECT_FALSE(ui_.Dialogs()[0].shown);
    EXPECT_FALSE(ui_.ScriptExhausted());
}

TEST_F(HeadlessTest, LayoutUsesDialogUnitsOfTheFont) {
    ui_.Do([&] {
        // x: 6 pixels per 4 units, y: 13 per 8, each rounded half away from zero.
        const RECT label = ui_.ClientRect(kLabel);
        EXPECT_EQ(label.left, 17);  // 11 × 1.5 = 16.5
        EXPECT_EQ(label.right - label.left, 14);  // 9 × 1.5 = 13.5
        EXPECT_EQ(label.top, 81);  // 50 × 1.625
        RECT rect;
        dialog_.GetDlgItem(kLabel).GetWindowRect(&rect);
        dialog_.ScreenToClient(&rect);
        EXPECT_EQ(rect.left, label.left);
        dialog_.GetDlgItem(kLabel).MoveWindow(40, rect.top, 14, rect.bottom - rect.top);
        EXPECT_EQ(ui_.ClientRect(kLabel).left, 40);
        // Ticks spread evenly between the two thumb end positions.
        const int first = dialog_.slider.GetTicPixel(0);
        const int last = dialog_.slider.GetTicPixel(9);
        EXPECT_EQ(first, ui::HeadlessBackend::kTrackbarInset);
        EXPECT_EQ(last, 150 - ui::HeadlessBackend::kTrackbarInset);
        EXPECT_EQ(dialog_.slider.GetTicPixel(10), -1);
    });
    dialog_.DoModal();
}

TEST_F(HeadlessTest, MessageBoxesCarryTheApplicationName) {
    ui::RunApplication(app_, L"");  // loads the application name
    ui_.SetMessageBoxResponder([](const ui::MessageBoxRecord& box) { return box.type == MB_YESNO ? IDNO : IDOK; });
    EXPECT_EQ(AfxMessageBox(1, MB_YESNO), IDNO);
    ui_.SetMessageBoxResponder(nullptr);
    EXPECT_EQ(AfxMessageBox(L"text", MB_YESNO), IDYES);
    ASSERT_EQ(ui_.MessageBoxes().size(), 2u);
    EXPECT_EQ(ui_.MessageBoxes()[0].text, L"one");
    EXPECT_EQ(ui_.MessageBoxes()[0].caption, L"Test app");
}

TEST(ResourceLookup, LanguageResolution) {
    static const struct {
        LANGID language;
        const wchar_t* expected;
    } kCases[] = {
        {0x0409, L"one"},  // English (United States): its own table
        {0x0809, L"one"},  // English (United Kingdom): no table, English
        {0x0407, L"eins"}, // German (Germany): the German table stored under the primary language
        {0x0C07, L"eins"}, // German (Austria)
        {0x0411, L"一"},   // Japanese
        {0x0419, L"one"},  // Russian: no table, English
        {0x0000, L"one"},  // neutral: English
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << "language 0x" << std::hex << c.language);
        const ui::StringTable* table = ui::ResolveStringTable(kResources, c.language);
        ASSERT_NE(table, nullptr);
        ASSERT_NE(ui::FindString(*table, 1), nullptr);
        EXPECT_EQ(std::wstring(ui::FindString(*table, 1)), c.expected);
    }
}

TEST_F(HeadlessTest, TopLevelWindowsKeepZOrderAndForeground) {
    const HWND first = ui_.AddForeignWindow(L"first");
    const HWND second = ui_.AddForeignWindow(L"second");
    EXPECT_EQ(ui_.ZOrder(), (std::vector<HWND>{second, first}));
    std::vector<std::wstring> titles;
    ui::EnumTopLevelWindows([&](HWND window) {
        titles.push_back(ui::GetTopLevelWindowText(window, 3));
        return true;
    });
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"sec", L"fir"}));
    ui::SetForegroundTopLevelWindow(first);
    EXPECT_EQ(ui_.Foreground(), first);
    EXPECT_EQ(ui_.ZOrder().front(), first);
}

}  // namespace
