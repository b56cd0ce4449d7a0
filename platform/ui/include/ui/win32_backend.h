// The Win32 backend: real windows, built from the program's templates.
//
// Dialogs are created modeless from an in-memory extended dialog template and
// run in a modal loop of our own that disables the owner, as the platform's
// dialog-based applications do, so that the dialog object's PreTranslateMessage
// sees every queued message of the thread before it is translated and
// dispatched. Everything runs on the one user-interface thread that created the
// backend.
#pragma once

#ifdef _WIN32

#include <memory>
#include <vector>

#include "ui/backend.h"

namespace ui {

class Win32Backend final : public Backend {
public:
    // `instance` is the module whose resources (the application icon) the
    // program loads.
    explicit Win32Backend(HINSTANCE instance);
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    // --- the application ---
    BOOL InitCommonControls(DWORD classes) override;
    LANGID GetUserDefaultUILanguage() override;
    int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override;
    void ShellOpen(HWND owner, const std::wstring& file, const std::wstring& parameters,
                   const std::wstring& directory, int showCommand) override;
    HICON LoadAppIcon(UINT resourceId) override;
    void Pause(DWORD milliseconds) override;

    // --- dialogs ---
    HWND CreateDialogFromTemplate(const DialogTemplate& dialogTemplate, HWND parent, WindowTarget* target) override;
    INT_PTR RunModalDialog(HWND dialog) override;
    void EndModalLoop(HWND dialog, INT_PTR result) override;
    BOOL IsDialogMessage(HWND dialog, MSG* msg) override;
    void DestroyWindow(HWND window) override;
    HWND GetDlgItem(HWND dialog, int id) override;
    BOOL IsChild(HWND parent, HWND window) override;
    void MapDialogRect(HWND dialog, RECT* rect) override;
    void SetFocus(HWND window) override;
    HWND GetFocus() override;

    // --- any window ---
    std::wstring GetText(HWND window) override;
    void SetText(HWND window, const std::wstring& text) override;
    BOOL IsWindowEnabled(HWND window) override;
    void EnableWindow(HWND window, BOOL enable) override;
    BOOL IsWindowVisible(HWND window) override;
    void ShowWindow(HWND window, int showCommand) override;
    DWORD GetStyle(HWND window) override;
    void ModifyStyle(HWND window, DWORD remove, DWORD add) override;
    RECT GetWindowRect(HWND window) override;
    POINT ScreenToClient(HWND window, POINT point) override;
    void MoveWindow(HWND window, int x, int y, int width, int height) override;
    void SetIcon(HWND window, HICON icon, BOOL big) override;
    UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse) override;
    BOOL KillTimer(HWND window, UINT_PTR id) override;

    // --- top-level windows ---
    void EnumWindows(const std::function<bool(HWND)>& visit) override;
    void BringWindowToTop(HWND window) override;
    void SetForegroundWindow(HWND window) override;

    // --- buttons ---
    int GetCheck(HWND button) override;
    void SetCheck(HWND button, int check) override;

    // --- combo boxes ---
    int ComboAddString(HWND combo, const std::wstring& text) override;
    void ComboResetContent(HWND combo) override;
    int ComboGetCount(HWND combo) override;
    int ComboGetCurSel(HWND combo) override;
    int ComboSetCurSel(HWND combo, int index) override;
    DWORD_PTR ComboGetItemData(HWND combo, int index) override;
    int ComboSetItemData(HWND combo, int index, DWORD_PTR data) override;
    std::wstring ComboGetItemText(HWND combo, int index) override;

    // --- trackbars ---
    void SliderSetRange(HWND slider, int minimum, int maximum) override;
    int SliderGetRangeMin(HWND slider) override;
    int SliderGetRangeMax(HWND slider) override;
    int SliderGetPos(HWND slider) override;
    void SliderSetPos(HWND slider, int position) override;
    void SliderClearTics(HWND slider) override;
    BOOL SliderSetTic(HWND slider, int position) override;
    int SliderGetTicPixel(HWND slider, int position) override;

    struct Dialog;  // one dialog this backend created (win32_dialogs.cpp)

private:
    struct Modal {
        HWND dialog;
        bool ended;
        INT_PTR result;
    };

    Dialog* Find(HWND dialog) const;
    // The innermost running modal dialog's window while it is shown, else null:
    // the owner of a message box that names none.
    HWND VisibleModalWindow() const;

    HINSTANCE m_instance;
    std::vector<std::unique_ptr<Dialog>> m_dialogs;
    std::vector<Modal> m_modal;  // running modal loops, innermost last
};

}  // namespace ui

#endif  // _WIN32
