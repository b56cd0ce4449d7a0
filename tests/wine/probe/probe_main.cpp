// mxwineprobe: plays the user of the settings program under Wine. It finds the
// program's dialogs among the top-level windows, reads back what a user sees
// (texts, list items, slider position, message boxes) and acts through posted
// input messages, which pass through the program's own message loop as real
// input does. Each scenario prints one line per check and a tally, and exits
// with 0 only when every check passed.
//
//   mxwineprobe nodevice en|ja RECTFILE   the no-device dialog's title and texts
//   mxwineprobe main en|ja RECTFILE [installed]
//                                         the main dialog's texts, lists and slider;
//                                         "installed": with the installation record
//                                         the check script writes (kVersion, and a
//                                         README document in English only)
//   mxwineprobe interact                  wheel, keys, drag, unit change, Apply,
//                                         README, CLOSE (installed, English)
//   mxwineprobe second PROGRAM            a second start brings the first forward and ends
//   mxwineprobe close                     OK / CLOSE on the dialog that is open
//
// The main-dialog scenarios expect the virtual units the check script
// configures (kUnits below). RECTFILE receives the dialog's screen rectangle
// as "x y width height" for a screenshot.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "device/buffer_position.h"
#include "remote.h"
#include "report.h"
#include "settings/resource.h"
#include "settings/resources.h"
#include "settings/text.h"
#include "ui/resources.h"

namespace {

using namespace probe;

constexpr DWORD kAppearMs = 20000;
constexpr DWORD kReactMs = 10000;

// What the check script puts into MX_VIRTUAL_UNITS:
//   1:rates=44100/48000/96000,rate=48000,bufpos=7,setresult=2;3:rates=44100/48000,rate=44100
constexpr int kUnitBufPos = 7;  // a label the low-latency flag of the unit's record agrees with
constexpr uint32_t kUnit1Rate = 48000;
// The "version" value of the installation record the check script writes.
constexpr wchar_t kVersion[] = L"Ver.1.0.0";

struct Language {
    const char* name;
    LANGID id;
    const wchar_t* title;  // the title as a user reads it
};

const Language kLanguages[] = {
    {"en", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), L"Calvera Driver Settings"},
    {"ja", MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), L"Calvera ドライバー設定"},
};

const Language* FindLanguage(const char* name) {
    for (const Language& language : kLanguages)
        if (std::string(name) == language.name) return &language;
    return nullptr;
}

// A string of the program's own table for `language`, with the model filled in.
std::wstring Expected(const Language& language, UINT id) {
    const ui::StringTable* table = ui::ResolveStringTable(settings::ProgramResources(), language.id);
    const wchar_t* text = table ? ui::FindString(*table, id) : nullptr;
    return text ? settings::ReplaceAll(text, settings::kModelPlaceholder, settings::ModelName()) : L"<missing>";
}

std::wstring Bar(int letters) { return std::wstring(static_cast<size_t>(letters), L'O'); }

std::wstring BufferLine(const Language& language, int position, uint32_t rate) {
    const int32_t size = device::ComputeBufferSize(position, rate);
    return settings::FormatDecimal(Expected(language, IDS_BUFFER_LINE), {size, static_cast<int64_t>(rate)});
}

HWND WaitForDialog(const std::wstring& title) {
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindDialog(title)) != nullptr; }, kAppearMs);
    return dialog;
}

void WriteRect(HWND window, const char* path) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    std::printf("rect %ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    if (path == nullptr) return;
    if (FILE* file = std::fopen(path, "w")) {
        std::fprintf(file, "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        std::fclose(file);
    }
}

// Both dialogs: popup with caption, no system menu (no close box), centred in
// the work area.
void CheckFrame(Report& report, HWND dialog) {
    report.Check((Style(dialog) & WS_SYSMENU) == 0, "no system menu");
    report.Check((Style(dialog) & WS_CAPTION) == WS_CAPTION, "caption");
    RECT rect{};
    RECT work{};
    ::GetWindowRect(dialog, &rect);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const long dx = (rect.left + rect.right) - (work.left + work.right);
    const long dy = (rect.top + rect.bottom) - (work.top + work.bottom);
    report.Check(dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2,
                 "centred in the work area (offset " + std::to_string(dx / 2) + ", " + std::to_string(dy / 2) + ")");
}

int NoDevice(const Language& language, const char* rectFile) {
    Report report(std::string("nodevice/") + language.name);
    const HWND dialog = WaitForDialog(language.title);
    if (!report.Check(dialog != nullptr, "the no-device dialog appears")) return report.Finish();
    report.Equal(Text(dialog), language.title, "title");
    report.Equal(ItemText(dialog, IDC_NODEV_MESSAGE), Expected(language, IDS_NOT_CONNECTED), "message");
    report.Equal(ItemText(dialog, IDC_BTN_README), Expected(language, IDS_SHOW_README), "README button");
    report.Equal(ItemText(dialog, IDOK), Expected(language, IDS_OK), "OK button");
    report.Check(!::IsWindowEnabled(::GetDlgItem(dialog, IDC_BTN_README)), "README disabled (no installation, or no document in its language)");
    CheckFrame(report, dialog);
    WriteRect(dialog, rectFile);
    return report.Finish();
}

HWND FindStaticWithText(HWND dialog, const std::wstring& text) {
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        if (ClassName(child) == L"Static" && Text(child) == text) return child;
    return nullptr;
}

// The horizontal centre of a control, in the dialog's client coordinates.
int CentreX(HWND dialog, HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    POINT left{rect.left, rect.top};
    POINT right{rect.right, rect.bottom};
    ::ScreenToClient(dialog, &left);
    ::ScreenToClient(dialog, &right);
    return (left.x + right.x) / 2;
}

int TickX(HWND dialog, HWND slider, int position) {
    POINT point{TickPixel(slider, position), 0};
    ::MapWindowPoints(slider, dialog, &point, 1);
    return point.x;
}

int Main(const Language& language, const char* rectFile, bool installed) {
    Report report(std::string("main/") + language.name);
    const HWND dialog = WaitForDialog(language.title);
    if (!report.Check(dialog != nullptr, "the main dialog appears")) return report.Finish();
    const HWND rates = ::GetDlgItem(dialog, IDC_CMB_FREQ);
    WaitFor([&] { return Query(rates, CB_GETCOUNT) > 0; }, kReactMs);

    report.Equal(Text(dialog), language.title, "title");
    report.Check((ExStyle(dialog) & WS_EX_APPWINDOW) != 0, "shown in the task bar");
    CheckFrame(report, dialog);

    static const struct {
        int control;
        UINT string;
    } kTexts[] = {
        {IDC_GRP_BUFFER, IDS_AUDIO_BUFFER_SIZE}, {IDC_STC_MIN, IDS_MIN},
        {IDC_STC_MAX, IDS_MAX},                  {IDC_GRP_PERFORMANCE, IDS_PERFORMANCE},
        {IDC_STC_REALTIME, IDS_REAL_TIME},       {IDC_STC_STABILITY, IDS_STABILITY},
        {IDC_GRP_WINSOUND, IDS_WINSOUND_SETTING}, {IDC_CHK_MATCH_ASIO_RATE, IDS_MATCH_ASIO_RATE},
        {IDC_GRP_ASIO, IDS_ASIO_SETTING},        {IDC_STC_ASIO_BUFFER_LABEL, IDS_ASIO_BUFFER_SIZE},
        {IDC_STC_ASIO_CREDIT, IDS_ASIO_CREDIT},  {IDC_BTN_README, IDS_SHOW_README},
        {IDOK, IDS_CLOSE},                       {IDCANCEL, IDS_REVERT},
        {IDC_BTN_APPLY, IDS_APPLY},              {IDC_BTN_DEFAULT, IDS_DEFAULT},
        {IDC_STC_COPYRIGHT, IDS_COPYRIGHT},
    };
    for (const auto& text : kTexts)
        report.Equal(ItemText(dialog, text.control), Expected(language, text.string),
                     "control " + std::to_string(text.control));
    report.Check(FindStaticWithText(dialog, L"SAMPLE RATE:") != nullptr, "\"SAMPLE RATE:\" as in the template");
    if (installed) {
        report.Equal(ItemText(dialog, IDC_STC_VERSION),
                     settings::ReplaceAll(Expected(language, IDS_VERSION_LINE), settings::kVersionPlaceholder, kVersion),
                     "version line");
        // Only the English document is installed.
        report.Check((::IsWindowEnabled(::GetDlgItem(dialog, IDC_BTN_README)) != FALSE) == (language.id == kLanguages[0].id),
                     "README enabled only where the document of the language exists");
    } else {
        report.Equal(ItemText(dialog, IDC_STC_VERSION), L"", "version line without an installation");
        report.Check(!::IsWindowEnabled(::GetDlgItem(dialog, IDC_BTN_README)), "README disabled (no installation, or no document in its language)");
    }

    const HWND units = ::GetDlgItem(dialog, IDC_CMB_DEVICE);
    const std::vector<std::wstring> unitItems = ComboItems(units);
    report.Equal(static_cast<long long>(unitItems.size()), 2, "unit list items");
    if (unitItems.size() == 2) {
        report.Equal(unitItems[0], L"Calvera", "unit 1");
        report.Equal(unitItems[1], L"Calvera(3)", "unit 3");
        const std::vector<LRESULT> data = ComboData(units);
        report.Check(data.size() == 2 && data[0] == 0 && data[1] == 2, "unit indices as item data");
    }
    report.Equal(ComboSelection(units), 0, "selected unit");

    const std::vector<std::wstring> rateItems = ComboItems(rates);
    const std::vector<std::wstring> expectedRates = {L" 44100 Hz", L" 48000 Hz", L" 96000 Hz"};
    report.Check(rateItems == expectedRates, "rate list of unit 1 (" + std::to_string(rateItems.size()) + " items)");
    const std::vector<LRESULT> rateData = ComboData(rates);
    report.Check(rateData == std::vector<LRESULT>{44100, 48000, 96000}, "rates as item data");
    report.Equal(ComboSelection(rates), 1, "selected rate (48000 Hz)");

    const HWND slider = ::GetDlgItem(dialog, IDC_SLD_BUFFER);
    report.Equal(Query(slider, TBM_GETRANGEMIN), 0, "slider minimum");
    report.Equal(Query(slider, TBM_GETRANGEMAX), 9, "slider maximum");
    report.Equal(Query(slider, TBM_GETPOS), kUnitBufPos, "slider at the unit's position");
    bool ticks = true;
    for (int position = 1; position < 9; ++position) ticks = ticks && TickPixel(slider, position) >= 0;
    report.Check(ticks, "a tick at every position");
    report.Equal(ItemText(dialog, IDC_STC_ASIO_BUFFER), BufferLine(language, kUnitBufPos, kUnit1Rate), "buffer line");
    report.Equal(ItemText(dialog, IDC_STC_REALTIME_BAR), Bar(9 - kUnitBufPos + 1), "real-time bar");
    report.Equal(ItemText(dialog, IDC_STC_STABILITY_BAR), Bar(kUnitBufPos + 1), "stability bar");
    report.Equal(Query(::GetDlgItem(dialog, IDC_CHK_MATCH_ASIO_RATE), BM_GETCHECK), BST_CHECKED, "match box");
    report.Check(!::IsWindowEnabled(::GetDlgItem(dialog, IDC_BTN_APPLY)), "Apply disabled at opening");

    // Labels 1..10 under their ticks, "11" hidden, the marker under label 6.
    for (int k = 1; k < 9; ++k) {
        const HWND label = ::GetDlgItem(dialog, IDC_STC_LABEL_FIRST + k);
        const int offset = CentreX(dialog, label) - TickX(dialog, slider, k);
        report.Check(::IsWindowVisible(label) && offset >= -1 && offset <= 1,
                     "label " + std::to_string(k + 1) + " under its tick (offset " + std::to_string(offset) + ")");
    }
    report.Check(!::IsWindowVisible(::GetDlgItem(dialog, IDC_STC_LABEL_LAST)), "label 11 hidden");
    const int markerOffset = CentreX(dialog, ::GetDlgItem(dialog, IDC_STC_MARKER)) - TickX(dialog, slider, 5);
    report.Check(markerOffset >= -1 && markerOffset <= 1, "marker under label 6");
    WriteRect(dialog, rectFile);
    return report.Finish();
}

void PumpMessages(DWORD milliseconds) {
    WaitFor([] {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        return false;
    }, milliseconds);
}

// The same wheel turns, posted to a trackbar and a drop-down list of the
// probe's own that nobody filters: they must move them, or the check that the
// settings program drops them would prove nothing.
void CheckWheelMovesUnfilteredControls(Report& report) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const HWND host = ::CreateWindowExW(0, L"Static", L"probe controls", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                        nullptr, instance, nullptr);
    const HWND slider = ::CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 30, host,
                                          nullptr, instance, nullptr);
    const HWND list = ::CreateWindowExW(0, L"ComboBox", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 50, 100,
                                        100, host, nullptr, instance, nullptr);
    ::SendMessageW(slider, TBM_SETRANGEMIN, FALSE, 0);
    ::SendMessageW(slider, TBM_SETRANGEMAX, TRUE, 9);
    ::SendMessageW(slider, TBM_SETPOS, TRUE, 5);
    for (const wchar_t* item : {L"a", L"b", L"c"}) ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    ::SendMessageW(list, CB_SETCURSEL, 1, 0);
    ::SetFocus(slider);
    PostWheel(slider, 3);
    PostWheel(list, 1);
    PumpMessages(300);
    // Some trackbars (Wine's among them) take no wheel at all; then only the
    // lists show that the program drops the wheel.
    if (::SendMessageW(slider, TBM_GETPOS, 0, 0) == 5)
        std::printf("note interact: this system's trackbar ignores the wheel by itself\n");
    report.Check(::SendMessageW(list, CB_GETCURSEL, 0, 0) != 1, "an unfiltered wheel moves a drop-down list");
    ::DestroyWindow(host);
}

int Interact() {
    const Language& language = kLanguages[0];
    Report report("interact");
    const HWND dialog = WaitForDialog(language.title);
    if (!report.Check(dialog != nullptr, "the main dialog appears")) return report.Finish();
    const HWND slider = ::GetDlgItem(dialog, IDC_SLD_BUFFER);
    const HWND units = ::GetDlgItem(dialog, IDC_CMB_DEVICE);
    const HWND rates = ::GetDlgItem(dialog, IDC_CMB_FREQ);
    const HWND apply = ::GetDlgItem(dialog, IDC_BTN_APPLY);
    WaitFor([&] { return Query(rates, CB_GETCOUNT) > 0; }, kReactMs);
    CheckWheelMovesUnfilteredControls(report);
    const int start = static_cast<int>(Query(slider, TBM_GETPOS));
    const int unit = ComboSelection(units);
    const int rate = ComboSelection(rates);

    // The wheel goes nowhere; the arrow key queued after it moves the slider one
    // step, which shows that the wheel turns before it were handled and dropped.
    PostWheel(slider, 3);
    PostWheel(units, -1);
    PostWheel(rates, 1);
    PostKey(slider, VK_RIGHT);
    WaitFor([&] { return Query(slider, TBM_GETPOS) != start; }, kReactMs);
    report.Equal(Query(slider, TBM_GETPOS), start + 1, "wheel ignored, arrow key moves one step");
    report.Equal(ComboSelection(units), unit, "wheel leaves the unit list");
    report.Equal(ComboSelection(rates), rate, "wheel leaves the rate list");
    WaitFor([&] { return ::IsWindowEnabled(apply) != FALSE; }, kReactMs);
    report.Check(::IsWindowEnabled(apply), "a slider move enables Apply");

    // Esc reverts and keeps the dialog open.
    PostKey(slider, VK_ESCAPE);
    WaitFor([&] { return Query(slider, TBM_GETPOS) == start && !::IsWindowEnabled(apply); }, kReactMs);
    report.Equal(Query(slider, TBM_GETPOS), start, "Esc puts the slider back");
    report.Check(!::IsWindowEnabled(apply), "Esc disables Apply");
    report.Check(::IsWindowVisible(dialog), "Esc keeps the dialog open");

    // A drag of the thumb to label 2.
    const int dragged = 1;
    report.Check(PostDrag(slider, dragged), "thumb and tick found for a drag");
    WaitFor([&] { return Query(slider, TBM_GETPOS) == dragged; }, kReactMs);
    report.Equal(Query(slider, TBM_GETPOS), dragged, "slider dragged");
    WaitFor([&] { return ItemText(dialog, IDC_STC_ASIO_BUFFER) == BufferLine(language, dragged, kUnit1Rate); },
            kReactMs);
    report.Equal(ItemText(dialog, IDC_STC_ASIO_BUFFER), BufferLine(language, dragged, kUnit1Rate),
                 "buffer line follows the drag");
    report.Equal(ItemText(dialog, IDC_STC_REALTIME_BAR), Bar(9 - dragged + 1), "real-time bar");
    report.Equal(ItemText(dialog, IDC_STC_STABILITY_BAR), Bar(dragged + 1), "stability bar");
    report.Check(::IsWindowEnabled(apply), "the drag enables Apply");

    // Another unit: its own rates, its rate selected.
    PostKey(units, VK_DOWN);
    WaitFor([&] { return Query(rates, CB_GETCOUNT) == 2; }, kReactMs);
    report.Equal(ComboSelection(units), 1, "unit 3 picked");
    report.Check(ComboItems(rates) == std::vector<std::wstring>{L" 44100 Hz", L" 48000 Hz"}, "rate list of unit 3");
    WaitFor([&] { return ComboSelection(rates) == 0; }, kReactMs);
    report.Equal(ComboSelection(rates), 0, "unit 3's rate selected");

    // Apply: unit 1 answers that the unit must be switched off and on.
    PostClick(apply);
    HWND box = nullptr;
    WaitFor([&] { return (box = FindMessageBox(dialog)) != nullptr; }, kReactMs);
    if (report.Check(box != nullptr, "Apply shows a message")) {
        report.Equal(Text(box), L" ", "message box caption");
        report.Equal(MessageBoxText(box), Expected(language, IDS_POWER_CYCLE), "message text");
        report.Check(!::IsWindowEnabled(dialog), "the dialog waits for the message");
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        report.Check(WaitFor([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, kReactMs), "message closed");
    }
    WaitFor([&] { return ::IsWindowEnabled(dialog) != FALSE; }, kReactMs);
    report.Check(!::IsWindowEnabled(apply), "Apply disabled after applying");

    // README: the shell opens the document (the check script looks at what its
    // handler received).
    PostClick(::GetDlgItem(dialog, IDC_BTN_README));

    // CLOSE with nothing pending ends the program without a question.
    PostClick(::GetDlgItem(dialog, IDOK));
    report.Check(WaitFor([&] { return !::IsWindow(dialog); }, kReactMs), "CLOSE ends the dialog");
    return report.Finish();
}

LRESULT CALLBACK CoverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(window, message, wParam, lParam);
}

int Second(const wchar_t* program) {
    const Language& language = kLanguages[0];
    Report report("second");
    const HWND dialog = WaitForDialog(language.title);
    if (!report.Check(dialog != nullptr, "the first instance's dialog is there")) return report.Finish();

    // A window of ours in front, so that bringing the dialog forward shows.
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CoverProcedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MxProbeCover";
    ::RegisterClassW(&windowClass);
    const HWND cover = ::CreateWindowExW(0, L"MxProbeCover", L"Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                         1024, 700, nullptr, nullptr, windowClass.hInstance, nullptr);
    ::SetForegroundWindow(cover);
    PumpMessages(300);
    report.Check(::GetForegroundWindow() != dialog, "another window is in front");

    std::wstring commandLine = L"\"" + std::wstring(program) + L"\" DrvConfig 0";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const bool started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                          &startup, &process) != FALSE;
    if (report.Check(started, "second instance started")) {
        DWORD waited = WAIT_TIMEOUT;
        // Keep our window answering while the second instance enumerates windows.
        WaitFor([&] {
            PumpMessages(20);
            return (waited = ::WaitForSingleObject(process.hProcess, 0)) == WAIT_OBJECT_0;
        }, kAppearMs);
        report.Check(waited == WAIT_OBJECT_0, "second instance ends on its own");
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    WaitFor([&] {
        PumpMessages(20);
        return ::GetForegroundWindow() == dialog;
    }, kReactMs);
    report.Check(::GetForegroundWindow() == dialog, "the first instance's dialog is brought forward");
    report.Equal(static_cast<long long>(FindDialogs(language.title).size()), 1, "dialogs with the title");
    ::DestroyWindow(cover);
    return report.Finish();
}

int Close() {
    Report report("close");
    HWND dialog = nullptr;
    WaitFor([&] {
        for (const Language& language : kLanguages)
            if ((dialog = FindDialog(language.title)) != nullptr) return true;
        return false;
    }, kAppearMs);
    if (!report.Check(dialog != nullptr, "a dialog of the program is open")) return report.Finish();
    PostClick(::GetDlgItem(dialog, IDOK));
    if (!report.Check(WaitFor([&] { return !::IsWindow(dialog); }, kReactMs), "OK / CLOSE ends it")) {
        if (const HWND box = FindMessageBox(dialog)) report.Check(false, "a message is open: " + Utf8(MessageBoxText(box)));
    }
    return report.Finish();
}

int Usage() {
    std::fprintf(stderr, "usage: mxwineprobe nodevice|main en|ja RECTFILE [installed] | interact | second PROGRAM | close\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Usage();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    const std::wstring scenario = argv[1];
    std::vector<std::string> args;
    for (int i = 2; i < argc; ++i) args.push_back(Utf8(argv[i]));
    if (scenario == L"nodevice" || scenario == L"main") {
        const Language* language = args.empty() ? nullptr : FindLanguage(args[0].c_str());
        if (language == nullptr) return Usage();
        const char* rectFile = args.size() > 1 ? args[1].c_str() : nullptr;
        const bool installed = args.size() > 2 && args[2] == "installed";
        return scenario == L"main" ? Main(*language, rectFile, installed) : NoDevice(*language, rectFile);
    }
    if (scenario == L"interact") return Interact();
    if (scenario == L"second" && argc > 2) return Second(argv[2]);
    if (scenario == L"close") return Close();
    return Usage();
}
