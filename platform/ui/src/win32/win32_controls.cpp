// The Win32 backend's controls: buttons, drop-down lists and trackbars, through
// their window messages.
#include <algorithm>

#include "ui/win32_backend.h"

namespace ui {

namespace {

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return window ? ::SendMessageW(window, message, wParam, lParam) : 0;
}

}  // namespace

// --- buttons ---

int Win32Backend::GetCheck(HWND button) { return static_cast<int>(Send(button, BM_GETCHECK)); }

void Win32Backend::SetCheck(HWND button, int check) { Send(button, BM_SETCHECK, static_cast<WPARAM>(check)); }

// --- combo boxes ---

int Win32Backend::ComboAddString(HWND combo, const std::wstring& text) {
    if (combo == nullptr) return CB_ERR;
    return static_cast<int>(Send(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void Win32Backend::ComboResetContent(HWND combo) { Send(combo, CB_RESETCONTENT); }

int Win32Backend::ComboGetCount(HWND combo) {
    return combo ? static_cast<int>(Send(combo, CB_GETCOUNT)) : CB_ERR;
}

int Win32Backend::ComboGetCurSel(HWND combo) {
    return combo ? static_cast<int>(Send(combo, CB_GETCURSEL)) : CB_ERR;
}

int Win32Backend::ComboSetCurSel(HWND combo, int index) {
    return combo ? static_cast<int>(Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index))) : CB_ERR;
}

DWORD_PTR Win32Backend::ComboGetItemData(HWND combo, int index) {
    if (combo == nullptr) return static_cast<DWORD_PTR>(CB_ERR);
    return static_cast<DWORD_PTR>(Send(combo, CB_GETITEMDATA, static_cast<WPARAM>(index)));
}

int Win32Backend::ComboSetItemData(HWND combo, int index, DWORD_PTR data) {
    if (combo == nullptr) return CB_ERR;
    return static_cast<int>(Send(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
}

std::wstring Win32Backend::ComboGetItemText(HWND combo, int index) {
    const LRESULT length = Send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (combo == nullptr || length == CB_ERR || length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR || copied < 0 ? 0 : std::min(static_cast<size_t>(copied), text.size() - 1));
    return text;
}

// --- trackbars ---

void Win32Backend::SliderSetRange(HWND slider, int minimum, int maximum) {
    Send(slider, TBM_SETRANGEMIN, FALSE, minimum);
    Send(slider, TBM_SETRANGEMAX, TRUE, std::max(minimum, maximum));
}

int Win32Backend::SliderGetRangeMin(HWND slider) { return static_cast<int>(Send(slider, TBM_GETRANGEMIN)); }

int Win32Backend::SliderGetRangeMax(HWND slider) { return static_cast<int>(Send(slider, TBM_GETRANGEMAX)); }

int Win32Backend::SliderGetPos(HWND slider) { return static_cast<int>(Send(slider, TBM_GETPOS)); }

void Win32Backend::SliderSetPos(HWND slider, int position) { Send(slider, TBM_SETPOS, TRUE, position); }

void Win32Backend::SliderClearTics(HWND slider) { Send(slider, TBM_CLEARTICS, TRUE); }

BOOL Win32Backend::SliderSetTic(HWND slider, int position) {
    return slider ? static_cast<BOOL>(Send(slider, TBM_SETTIC, 0, position)) : FALSE;
}

int Win32Backend::SliderGetTicPixel(HWND slider, int position) {
    if (slider == nullptr) return -1;
    const int minimum = SliderGetRangeMin(slider);
    const int maximum = SliderGetRangeMax(slider);
    if (position < minimum || position > maximum) return -1;
    // A tick the program set: the trackbar says where it drew it.
    const int count = static_cast<int>(Send(slider, TBM_GETNUMTICS));
    const DWORD* tics = reinterpret_cast<const DWORD*>(Send(slider, TBM_GETPTICS));
    for (int i = 0; tics != nullptr && i + 2 < count; ++i)
        if (static_cast<int>(tics[i]) == position) {
            const int pixel = static_cast<int>(Send(slider, TBM_GETTICPOS, static_cast<WPARAM>(i)));
            if (pixel >= 0) return pixel;
            break;
        }
    // The end ticks (which the trackbar draws itself) and positions without a
    // tick: where the thumb's centre stands at that position.
    RECT channel{};
    RECT thumb{};
    Send(slider, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    Send(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const int thumbWidth = thumb.right - thumb.left;
    const int travel = std::max(0, static_cast<int>(channel.right - channel.left) - thumbWidth);
    const int span = maximum - minimum;
    const int offset = span == 0 ? 0 : static_cast<int>(static_cast<long long>(position - minimum) * travel / span);
    return channel.left + thumbWidth / 2 + offset;
}

}  // namespace ui
