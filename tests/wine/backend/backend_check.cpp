// mxui_backend_check: the dialog framework on the Win32 backend, in process,
// under Wine. A small dialog runs modally; its timer plays the steps of the
// check from inside the modal loop, so every step sees the real window manager.
// What it checks is what the headless backend promises too: when WM_INITDIALOG
// arrives, that PreTranslateMessage sees queued input before the controls do,
// the control rules (selection, item data, ranges, ticks) and the modal result.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ui/app.h"
#include "ui/controls.h"
#include "ui/win32_backend.h"

namespace {

constexpr UINT kDialogId = 500;
constexpr int kList = 12;
constexpr int kSlider = 13;
constexpr int kCheck = 11;
constexpr int kLabel = 14;
constexpr UINT_PTR kStepTimer = 7;

const wchar_t* const kInitialItems[] = {L"a", L"b", L"c"};

const ui::ControlTemplate kControls[] = {
    {ui::ControlClass::ComboBox, kList, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, L"", 10, 5,
     60, 60, kInitialItems, 3},
    {ui::ControlClass::Trackbar, kSlider, WS_CHILD | WS_VISIBLE | WS_TABSTOP, L"", 10, 30, 100, 18},
    {ui::ControlClass::Static, kLabel, WS_CHILD | WS_VISIBLE | SS_CENTER, L"label", 11, 50, 30, 8},
    {ui::ControlClass::Button, kCheck, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, L"check", 10, 60, 80, 10},
    {ui::ControlClass::Button, IDCANCEL, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, L"Cancel", 110, 70, 50, 14},
    {ui::ControlClass::Button, IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, L"OK", 160, 70, 50, 14},
};
const ui::DialogTemplate kTemplate = {
    kDialogId, DS_SHELLFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION, WS_EX_APPWINDOW, 0, 0, 220, 90,
    L"MS Shell Dlg", 8, L"Backend check", kControls, sizeof(kControls) / sizeof(kControls[0])};
const ui::DialogTemplate* const kDialogs[] = {&kTemplate};
const ui::StringEntry kEnglish[] = {{AFX_IDS_APP_TITLE, L" "}};
const ui::StringTable kTables[] = {{MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), kEnglish, 1}};
const ui::ResourceSet kResources = {kTables, 1, kDialogs, 1};

int g_passed = 0;
int g_failed = 0;

void Check(bool ok, const std::string& what) {
    std::printf("%s backend: %s\n", ok ? "ok  " : "FAIL", what.c_str());
    (ok ? g_passed : g_failed)++;
}

class CheckDialog : public CDialog {
public:
    CheckDialog() : CDialog(kDialogId) {}

    CComboBox list;
    CSliderCtrl slider;
    std::vector<std::string> events;
    bool visibleAtInit = true;
    int wheelsSeen = 0;
    int step = 0;

    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_MOUSEWHEEL && (msg->hwnd == m_hWnd || IsChild(msg->hwnd))) {
            ++wheelsSeen;
            return TRUE;
        }
        return CDialog::PreTranslateMessage(msg);
    }

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, kList, list);
        DDX_Control(dx, kSlider, slider);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        visibleAtInit = IsWindowVisible() != FALSE;
        SetTimer(kStepTimer, 50);
        return TRUE;
    }
    void OnSelChange() { events.push_back("selchange " + std::to_string(list.GetCurSel())); }
    void OnCheckBox() { events.push_back("check"); }
    void OnHScroll(UINT code, UINT, CScrollBar* bar) {
        if (bar != nullptr && bar->m_hWnd == slider.m_hWnd && code != TB_ENDTRACK)
            events.push_back("scroll " + std::to_string(slider.GetPos()));
    }
    void OnTimer(UINT_PTR id);

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CheckDialog, CDialog)
    ON_CBN_SELCHANGE(kList, &CheckDialog::OnSelChange)
    ON_BN_CLICKED(kCheck, &CheckDialog::OnCheckBox)
    ON_WM_HSCROLL(&CheckDialog::OnHScroll)
    ON_WM_TIMER(&CheckDialog::OnTimer)
END_MESSAGE_MAP()

// One step per tick; posted input is handled by the loop between ticks.
void CheckDialog::OnTimer(UINT_PTR id) {
    if (id != kStepTimer) return;
    const HWND listWindow = list.m_hWnd;
    const HWND sliderWindow = slider.m_hWnd;
    switch (step++) {
    case 0: {
        Check(!visibleAtInit, "hidden while WM_INITDIALOG runs");
        Check(IsWindowVisible() != FALSE, "shown after it");
        Check((GetStyle() & WS_SYSMENU) == 0, "no system menu from the template");
        Check(list.GetCount() == 3 && list.GetLBText(2) == L"c", "template items in the list");
        Check(list.GetCurSel() == CB_ERR, "no selection at first");
        Check(list.SetCurSel(5) == CB_ERR && list.GetCurSel() == CB_ERR, "selection past the end fails");
        list.SetCurSel(1);
        Check(list.GetWindowText() == L"b", "a closed list's text is its selection");
        Check(list.SetItemData(1, 0xBEEF) != CB_ERR && list.GetItemData(1) == 0xBEEF, "item data");
        Check(list.GetItemData(7) == static_cast<DWORD_PTR>(CB_ERR), "item data past the end is CB_ERR");
        slider.SetRange(0, 9);
        slider.SetPos(12);
        Check(slider.GetPos() == 9, "position kept inside the range");
        slider.ClearTics();
        // Without ticks of the program's the pixels are worked out from the
        // channel and the thumb; they must agree with the trackbar's own.
        int worked[10];
        for (int p = 0; p <= 9; ++p) worked[p] = slider.GetTicPixel(p);
        bool ticks = true;
        for (int p = 0; p <= 9; ++p) ticks = slider.SetTic(p) && ticks;
        Check(ticks && !slider.SetTic(10), "ticks inside the range only");
        bool rising = true;
        for (int p = 1; p <= 9; ++p) rising = rising && slider.GetTicPixel(p) > slider.GetTicPixel(p - 1);
        const int gap = slider.GetTicPixel(5) - slider.GetTicPixel(4);
        const int endGap = slider.GetTicPixel(9) - slider.GetTicPixel(8);
        Check(rising && endGap >= gap - 1 && endGap <= gap + 1, "tick pixels evenly spaced, end ticks included");
        bool agree = true;
        for (int p = 1; p <= 8; ++p) agree = agree && worked[p] >= slider.GetTicPixel(p) - 1 && worked[p] <= slider.GetTicPixel(p) + 1;
        Check(agree, "worked-out tick pixels agree with the trackbar's");
        Check(slider.GetTicPixel(-1) == -1 && slider.GetTicPixel(10) == -1, "no tick pixel outside the range");
        RECT rect{10, 30, 110, 48};
        MapDialogRect(&rect);
        RECT actual;
        slider.GetWindowRect(&actual);
        ScreenToClient(&actual);
        Check(actual.left == rect.left && actual.top == rect.top && actual.right == rect.right,
              "controls placed in dialog units of the template font");
        slider.SetPos(5);
        ::SetFocus(sliderWindow);
        // Queued input: the wheel goes to PreTranslateMessage, the keys to the controls.
        ::PostMessageW(sliderWindow, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
        ::PostMessageW(listWindow, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
        ::PostMessageW(sliderWindow, WM_KEYDOWN, VK_RIGHT, 1);
        ::PostMessageW(listWindow, WM_KEYDOWN, VK_DOWN, 1);
        ::PostMessageW(GetDlgItem(kCheck).m_hWnd, BM_CLICK, 0, 0);
        break;
    }
    case 1: {
        Check(wheelsSeen == 2, "PreTranslateMessage saw both wheel turns (" + std::to_string(wheelsSeen) + ")");
        Check(slider.GetPos() == 6, "the arrow key moved the slider one step");
        Check(list.GetCurSel() == 2, "the arrow key moved the list one item");
        std::string seen;
        for (const std::string& event : events) seen += event + "; ";
        Check(seen == "scroll 6; selchange 2; check; ", "notifications reach the message map: " + seen);
        Check(CButton(GetDlgItem(kCheck).m_hWnd).GetCheck() == BST_CHECKED, "the check box is checked");
        // Esc: the dialog manager turns it into the cancel command.
        ::PostMessageW(sliderWindow, WM_KEYDOWN, VK_ESCAPE, 1);
        break;
    }
    default:
        // Esc should have ended the dialog before this tick.
        Check(false, "Esc ended the dialog");
        EndDialog(IDABORT);
        break;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    ui::Win32Backend backend(instance);
    ui::SetBackend(&backend);
    CWinApp app(&kResources);
    AfxInitCommonControls(ICC_WIN95_CLASSES);
    {
        CheckDialog dialog;
        const INT_PTR result = dialog.DoModal();
        Check(result == IDCANCEL, "DoModal returns the cancel result (" + std::to_string(result) + ")");
        Check(dialog.m_hWnd == nullptr && dialog.list.m_hWnd == nullptr, "window and bound controls released");
    }
    ui::SetBackend(nullptr);
    std::printf("backend: %d passed, %d failed\n", g_passed, g_failed);
    std::fflush(stdout);
    return g_failed == 0 && g_passed > 0 ? 0 : 1;
}
