// Dialog templates 187 (main settings dialog) and 136 (no device), in dialog
// units of "MS Shell Dlg" 8. The texts are the language-neutral template texts;
// the dialogs replace the visible ones from the string table when they open,
// except "SAMPLE RATE:", which every language shows as it is here.
#include "string_tables.h"

namespace settings::resources {

namespace {

using ui::ControlClass;

constexpr DWORD kDialogStyle = DS_SHELLFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kFrame = kChild | SS_ETCHEDFRAME;
constexpr DWORD kLeftText = kChild | SS_LEFT;
constexpr DWORD kRightText = kChild | SS_RIGHT;
constexpr DWORD kCentredText = kChild | SS_CENTER;
constexpr DWORD kGroupBox = kChild | BS_GROUPBOX;
constexpr DWORD kPushButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDefaultButton = kChild | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kCheckBox = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kDropDownList = kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kTrackbar = kChild | WS_TABSTOP | TBS_HORZ | TBS_BOTTOM;
constexpr int kNoId = -1;  // controls the program never addresses

constexpr const wchar_t* kTitle = L"__MODEL__ Driver Settings";

// The unit list's initial data; the first rebuild of the list replaces it.
const wchar_t* const kUnitPlaceholders[] = {L"Calvera", L"Calvera(2)", L"Calvera(3)", L"Calvera(4)"};

const ui::ControlTemplate kMainControls[] = {
    {ControlClass::Static, kNoId, kFrame, L"", 6, 11, 216, 35},
    {ControlClass::ComboBox, IDC_CMB_DEVICE, kDropDownList, L"", 18, 5, 102, 30, kUnitPlaceholders, 4},
    {ControlClass::Static, kNoId, kLeftText, L"SAMPLE RATE:", 24, 26, 48, 8},
    {ControlClass::ComboBox, IDC_CMB_FREQ, kDropDownList, L"", 78, 23, 60, 30},
    {ControlClass::Static, kNoId, kFrame, L"", 6, 53, 216, 207},
    {ControlClass::Button, IDC_GRP_BUFFER, kGroupBox, L"Audio Buffer Size", 12, 57, 204, 80},
    {ControlClass::Static, IDC_STC_MIN, kRightText, L"Min.", 17, 72, 30, 8},
    {ControlClass::Trackbar, IDC_SLD_BUFFER, kTrackbar, L"", 49, 65, 130, 18},
    {ControlClass::Static, IDC_STC_MAX, kLeftText, L"Max.", 185, 72, 30, 8},
    {ControlClass::Static, 1050, kCentredText, L"1", 55, 83, 8, 8},
    {ControlClass::Static, 1051, kCentredText, L"2", 65, 83, 8, 8},
    {ControlClass::Static, 1052, kCentredText, L"3", 75, 83, 8, 8},
    {ControlClass::Static, 1053, kCentredText, L"4", 85, 83, 8, 8},
    {ControlClass::Static, 1054, kCentredText, L"5", 95, 83, 8, 8},
    {ControlClass::Static, 1055, kCentredText, L"6", 104, 83, 8, 8},
    {ControlClass::Static, 1056, kCentredText, L"7", 115, 83, 8, 8},
    {ControlClass::Static, 1057, kCentredText, L"8", 125, 83, 8, 8},
    {ControlClass::Static, 1058, kCentredText, L"9", 135, 83, 8, 8},
    {ControlClass::Static, 1059, kCentredText, L"10", 143, 83, 9, 8},
    {ControlClass::Static, 1060, kCentredText, L"11", 157, 83, 9, 8},
    {ControlClass::Static, IDC_STC_MARKER, kCentredText, L"^", 105, 90, 8, 8},
    {ControlClass::Button, IDC_GRP_PERFORMANCE, kGroupBox, L"Audio Streaming Performance", 26, 98, 177, 33},
    {ControlClass::Static, IDC_STC_REALTIME, kRightText, L"Real Time:", 34, 109, 62, 8},
    {ControlClass::Static, IDC_STC_STABILITY, kRightText, L"Stability:", 34, 119, 62, 8},
    {ControlClass::Static, IDC_STC_REALTIME_BAR, kLeftText, L"OOOOOOOOOOO", 103, 109, 89, 8},
    {ControlClass::Static, IDC_STC_STABILITY_BAR, kLeftText, L"O", 103, 119, 89, 8},
    {ControlClass::Button, IDC_GRP_ASIO, kGroupBox, L"ASIO Setting", 12, 140, 204, 62},
    {ControlClass::Static, IDC_STC_ASIO_BUFFER_LABEL, kLeftText, L"ASIO Buffer Size:", 23, 153, 175, 8},
    {ControlClass::Static, IDC_STC_ASIO_BUFFER, kLeftText, L"--- samples", 41, 163, 105, 12},
    {ControlClass::Static, IDC_STC_ASIO_CREDIT, kLeftText, L"ASIO Technology by\nSteinberg Media Technologies GmbH", 89,
     180, 126, 19},
    {ControlClass::Button, IDC_GRP_WINSOUND, kGroupBox, L"Windows sound Setting", 12, 206, 204, 27},
    {ControlClass::Button, IDC_CHK_MATCH_ASIO_RATE, kCheckBox, L"Match with the ASIO sample rate", 23, 218, 192, 10},
    {ControlClass::Button, IDC_BTN_DEFAULT, kPushButton, L"Default", 12, 240, 54, 14},
    {ControlClass::Button, IDCANCEL, kPushButton, L"Cancel", 102, 240, 54, 14},
    {ControlClass::Button, IDC_BTN_APPLY, kPushButton, L"Apply", 162, 240, 54, 14},
    {ControlClass::Static, IDC_STC_VERSION, kCentredText, L"__MODEL__ Driver Ver.x.x.x", 7, 263, 215, 8},
    {ControlClass::Static, IDC_STC_COPYRIGHT, kCentredText, L"Copyright (C) Calvera Audio. All rights reserved.", 7,
     275, 215, 8},
    {ControlClass::Button, IDC_BTN_README, kPushButton, L"Show \"README\"", 7, 290, 90, 14},
    {ControlClass::Button, IDOK, kDefaultButton, L"CLOSE", 162, 290, 60, 14},
};

const ui::ControlTemplate kNoDeviceControls[] = {
    {ControlClass::Button, IDOK, kDefaultButton, L"OK", 126, 36, 54, 14},
    {ControlClass::Static, IDC_NODEV_MESSAGE, kLeftText,
     L"To make settings, connect the device and then execute once again.", 12, 6, 174, 24},
    {ControlClass::Button, IDC_BTN_README, kPushButton, L"Show \"README\"", 18, 36, 90, 14},
};

}  // namespace

// Shown in the task bar; its position is 0, 0 and it opens centred on the screen.
const ui::DialogTemplate kMainDialogTemplate = {
    IDD_DRVPROP_DIALOG, kDialogStyle, WS_EX_APPWINDOW, 0, 0, 228, 310, L"MS Shell Dlg", 8, kTitle,
    kMainControls,      sizeof(kMainControls) / sizeof(kMainControls[0]),
};

const ui::DialogTemplate kNoDeviceDialogTemplate = {
    IDD_NODEVICE_DIALOG, kDialogStyle, 0, 0, 0, 196, 57, L"MS Shell Dlg", 8, kTitle,
    kNoDeviceControls,   sizeof(kNoDeviceControls) / sizeof(kNoDeviceControls[0]),
};

}  // namespace settings::resources
