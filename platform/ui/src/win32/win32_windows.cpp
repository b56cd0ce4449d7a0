// The Win32 backend's application services, window state, timers and top-level
// windows.
#include "win32_dialog.h"

namespace ui {

namespace {

std::wstring WindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

struct EnumContext {
    const std::function<bool(HWND)>* visit;
};

BOOL CALLBACK VisitTopLevelWindow(HWND window, LPARAM context) {
    const EnumContext* enumContext = reinterpret_cast<const EnumContext*>(context);
    return (*enumContext->visit)(window) ? TRUE : FALSE;
}

}  // namespace

// --- the application ---

BOOL Win32Backend::InitCommonControls(DWORD classes) {
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof init;
    init.dwICC = classes;
    return ::InitCommonControlsEx(&init);
}

LANGID Win32Backend::GetUserDefaultUILanguage() { return ::GetUserDefaultUILanguage(); }

HWND Win32Backend::VisibleModalWindow() const {
    if (m_modal.empty()) return nullptr;
    const HWND window = m_modal.back().dialog;
    return ::IsWindow(window) && ::IsWindowVisible(window) ? window : nullptr;
}

int Win32Backend::ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    // A box without an owner belongs to the running dialog, which then takes no
    // input until the box is answered. A dialog that is not shown yet (a box
    // from its initialisation) cannot own it.
    if (owner == nullptr) owner = VisibleModalWindow();
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

void Win32Backend::ShellOpen(HWND owner, const std::wstring& file, const std::wstring& parameters,
                             const std::wstring& directory, int showCommand) {
    ::ShellExecuteW(owner, L"open", file.c_str(), parameters.c_str(), directory.c_str(), showCommand);
}

HICON Win32Backend::LoadAppIcon(UINT resourceId) {
    return ::LoadIconW(m_instance, MAKEINTRESOURCEW(resourceId));
}

void Win32Backend::Pause(DWORD milliseconds) { ::Sleep(milliseconds); }

// --- any window ---

std::wstring Win32Backend::GetText(HWND window) { return window ? WindowText(window) : std::wstring(); }

void Win32Backend::SetText(HWND window, const std::wstring& text) {
    if (window) ::SetWindowTextW(window, text.c_str());
}

BOOL Win32Backend::IsWindowEnabled(HWND window) { return window ? ::IsWindowEnabled(window) : FALSE; }

void Win32Backend::EnableWindow(HWND window, BOOL enable) {
    if (window) ::EnableWindow(window, enable);
}

BOOL Win32Backend::IsWindowVisible(HWND window) { return window ? ::IsWindowVisible(window) : FALSE; }

void Win32Backend::ShowWindow(HWND window, int showCommand) {
    if (window) ::ShowWindow(window, showCommand);
}

DWORD Win32Backend::GetStyle(HWND window) {
    return window ? static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)) : 0;
}

void Win32Backend::ModifyStyle(HWND window, DWORD remove, DWORD add) {
    if (window == nullptr) return;
    const DWORD before = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    const DWORD after = (before & ~remove) | add;
    if (after == before) return;
    ::SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>(after));
    // The frame (caption buttons) is drawn from the new style only after this.
    ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Win32Backend::GetWindowRect(HWND window) {
    RECT rect{0, 0, 0, 0};
    if (window) ::GetWindowRect(window, &rect);
    return rect;
}

POINT Win32Backend::ScreenToClient(HWND window, POINT point) {
    if (window) ::ScreenToClient(window, &point);
    return point;
}

void Win32Backend::MoveWindow(HWND window, int x, int y, int width, int height) {
    if (window) ::MoveWindow(window, x, y, width, height, TRUE);
}

void Win32Backend::SetIcon(HWND window, HICON icon, BOOL big) {
    if (window)
        ::SendMessageW(window, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

UINT_PTR Win32Backend::SetTimer(HWND window, UINT_PTR id, UINT elapse) {
    return window ? ::SetTimer(window, id, elapse, nullptr) : 0;
}

BOOL Win32Backend::KillTimer(HWND window, UINT_PTR id) { return window ? ::KillTimer(window, id) : FALSE; }

// --- top-level windows ---

void Win32Backend::EnumWindows(const std::function<bool(HWND)>& visit) {
    EnumContext context{&visit};
    ::EnumWindows(VisitTopLevelWindow, reinterpret_cast<LPARAM>(&context));
}

void Win32Backend::BringWindowToTop(HWND window) {
    if (window) ::BringWindowToTop(window);
}

void Win32Backend::SetForegroundWindow(HWND window) {
    if (window) ::SetForegroundWindow(window);
}

}  // namespace ui
