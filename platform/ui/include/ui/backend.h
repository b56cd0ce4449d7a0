// The window system the dialog framework runs on.
//
// Dialog code never talks to a backend directly: it uses the framework classes
// (CWnd, CDialog, the control wrappers), which forward to the backend installed
// with SetBackend. A backend keeps Windows semantics: the headless backend keeps
// windows and controls in memory and lets tests play the user; a Win32 backend
// makes real windows. Every call comes from the one user-interface thread.
#pragma once

#include <functional>
#include <string>

#include "ui/resources.h"
#include "ui/wintypes.h"

namespace ui {

// The object behind a dialog window: the backend hands it the messages of its
// modal loop (PreTranslateMessage first, for queued input and timer messages) and
// its window messages (WM_INITDIALOG, WM_COMMAND, WM_TIMER, WM_HSCROLL).
class WindowTarget {
public:
    virtual BOOL PreTranslateMessage(MSG* msg) = 0;
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;

protected:
    ~WindowTarget() = default;
};

class Backend {
public:
    virtual ~Backend() = default;

    // --- the application ---
    virtual BOOL InitCommonControls(DWORD classes) = 0;   // InitCommonControlsEx with this class mask
    virtual LANGID GetUserDefaultUILanguage() = 0;
    // A modal message box; returns the button pressed (IDOK, IDYES, IDNO, ...).
    virtual int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) = 0;
    // The shell's "open" verb on a document, like ShellExecute(owner, "open", ...).
    virtual void ShellOpen(HWND owner, const std::wstring& file, const std::wstring& parameters,
                           const std::wstring& directory, int showCommand) = 0;
    virtual HICON LoadAppIcon(UINT resourceId) = 0;
    // Waits without handling messages, like Sleep on the user-interface thread.
    virtual void Pause(DWORD milliseconds) = 0;

    // --- dialogs ---
    // Creates a dialog and its controls from a template, hidden, without sending
    // WM_INITDIALOG. Returns null on failure.
    virtual HWND CreateDialogFromTemplate(const DialogTemplate& dialogTemplate, HWND parent, WindowTarget* target) = 0;
    // Sends WM_INITDIALOG, shows the dialog unless it was ended meanwhile, sets the
    // initial focus when WM_INITDIALOG returned TRUE, then runs the modal loop until
    // EndModalLoop. Returns the result given to EndModalLoop.
    virtual INT_PTR RunModalDialog(HWND dialog) = 0;
    virtual void EndModalLoop(HWND dialog, INT_PTR result) = 0;
    // The dialog manager's keyboard handling (Enter, Esc) for a queued message.
    virtual BOOL IsDialogMessage(HWND dialog, MSG* msg) = 0;
    virtual void DestroyWindow(HWND window) = 0;
    virtual HWND GetDlgItem(HWND dialog, int id) = 0;
    virtual BOOL IsChild(HWND parent, HWND window) = 0;
    // Dialog units of `dialog`'s font to pixels, like MapDialogRect.
    virtual void MapDialogRect(HWND dialog, RECT* rect) = 0;
    virtual void SetFocus(HWND window) = 0;
    virtual HWND GetFocus() = 0;

    // --- any window ---
    virtual std::wstring GetText(HWND window) = 0;
    virtual void SetText(HWND window, const std::wstring& text) = 0;
    virtual BOOL IsWindowEnabled(HWND window) = 0;
    virtual void EnableWindow(HWND window, BOOL enable) = 0;
    virtual BOOL IsWindowVisible(HWND window) = 0;
    virtual void ShowWindow(HWND window, int showCommand) = 0;
    virtual DWORD GetStyle(HWND window) = 0;
    virtual void ModifyStyle(HWND window, DWORD remove, DWORD add) = 0;
    virtual RECT GetWindowRect(HWND window) = 0;                 // screen coordinates
    virtual POINT ScreenToClient(HWND window, POINT point) = 0;
    virtual void MoveWindow(HWND window, int x, int y, int width, int height) = 0;  // parent's client coordinates
    virtual void SetIcon(HWND window, HICON icon, BOOL big) = 0;
    virtual UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse) = 0;
    virtual BOOL KillTimer(HWND window, UINT_PTR id) = 0;

    // --- top-level windows ---
    // Calls `visit` for every top-level window in z-order until it returns false.
    virtual void EnumWindows(const std::function<bool(HWND)>& visit) = 0;
    virtual void BringWindowToTop(HWND window) = 0;
    virtual void SetForegroundWindow(HWND window) = 0;

    // --- buttons ---
    virtual int GetCheck(HWND button) = 0;
    virtual void SetCheck(HWND button, int check) = 0;

    // --- combo boxes (drop-down lists) ---
    virtual int ComboAddString(HWND combo, const std::wstring& text) = 0;  // index, or CB_ERR
    virtual void ComboResetContent(HWND combo) = 0;
    virtual int ComboGetCount(HWND combo) = 0;
    virtual int ComboGetCurSel(HWND combo) = 0;                             // CB_ERR when none
    virtual int ComboSetCurSel(HWND combo, int index) = 0;                  // -1 clears; CB_ERR when out of range
    virtual DWORD_PTR ComboGetItemData(HWND combo, int index) = 0;          // CB_ERR when out of range
    virtual int ComboSetItemData(HWND combo, int index, DWORD_PTR data) = 0;
    virtual std::wstring ComboGetItemText(HWND combo, int index) = 0;

    // --- trackbars ---
    virtual void SliderSetRange(HWND slider, int minimum, int maximum) = 0;
    virtual int SliderGetRangeMin(HWND slider) = 0;
    virtual int SliderGetRangeMax(HWND slider) = 0;
    virtual int SliderGetPos(HWND slider) = 0;
    virtual void SliderSetPos(HWND slider, int position) = 0;               // kept inside the range
    virtual void SliderClearTics(HWND slider) = 0;
    virtual BOOL SliderSetTic(HWND slider, int position) = 0;
    // Horizontal pixel of the tick mark of a logical position, in the slider's
    // client coordinates; -1 when the position lies outside the range.
    virtual int SliderGetTicPixel(HWND slider, int position) = 0;
};

// The backend the framework uses; set once before the application starts.
void SetBackend(Backend* backend);
Backend* GetBackend();

}  // namespace ui
