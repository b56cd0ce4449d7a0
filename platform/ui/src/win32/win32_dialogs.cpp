// The Win32 backend's dialogs: creation from the in-memory template, the modal
// loop of our own and the dialog manager's keyboard handling.
#include <algorithm>

#include "dialog_template_image.h"
#include "win32_dialog.h"

namespace ui {

namespace {

// The dialog procedure of every dialog the backend creates: hands the messages
// the framework routes (commands, timers, trackbar scrolls) to the dialog object
// and leaves everything else to the dialog manager.
INT_PTR CALLBACK DialogProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        // Sent while the dialog is built; the object comes later, from RunModalDialog.
        auto* dialog = reinterpret_cast<Win32Backend::Dialog*>(lParam);
        if (dialog != nullptr) dialog->hwnd = hwnd;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        return FALSE;
    }
    auto* dialog = reinterpret_cast<Win32Backend::Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (dialog == nullptr || !dialog->delivering || dialog->target == nullptr) return FALSE;
    switch (message) {
    case WM_COMMAND:
    case WM_TIMER:
    case WM_HSCROLL:
        dialog->target->WindowProc(message, wParam, lParam);
        return TRUE;
    default:
        return FALSE;
    }
}

void AddInitialItems(HWND dialog, const DialogTemplate& dialogTemplate) {
    for (size_t i = 0; i < dialogTemplate.controlCount; ++i) {
        const ControlTemplate& control = dialogTemplate.controls[i];
        if (control.controlClass != ControlClass::ComboBox || control.initialItemCount == 0) continue;
        const HWND combo = ::GetDlgItem(dialog, control.id);
        if (combo == nullptr) continue;
        for (size_t k = 0; k < control.initialItemCount; ++k) {
            const wchar_t* text = control.initialItems[k] ? control.initialItems[k] : L"";
            ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        }
    }
}

}  // namespace

Win32Backend::Win32Backend(HINSTANCE instance) : m_instance(instance) {}

Win32Backend::~Win32Backend() {
    for (const auto& dialog : m_dialogs)
        if (dialog->hwnd != nullptr && ::IsWindow(dialog->hwnd)) {
            ::SetWindowLongPtrW(dialog->hwnd, DWLP_USER, 0);
            ::DestroyWindow(dialog->hwnd);
        }
}

Win32Backend::Dialog* Win32Backend::Find(HWND window) const {
    if (window == nullptr) return nullptr;
    for (const auto& dialog : m_dialogs)
        if (dialog->hwnd == window) return dialog.get();
    return nullptr;
}

HWND Win32Backend::CreateDialogFromTemplate(const DialogTemplate& dialogTemplate, HWND parent, WindowTarget* target) {
    const std::vector<WORD> image = BuildDialogTemplateImage(dialogTemplate);
    auto dialog = std::make_unique<Dialog>();
    dialog->target = target;
    // Hidden: the template carries no WS_VISIBLE, and the modal run shows it.
    const HWND hwnd = ::CreateDialogIndirectParamW(m_instance, reinterpret_cast<LPCDLGTEMPLATEW>(image.data()), parent,
                                                   DialogProcedure, reinterpret_cast<LPARAM>(dialog.get()));
    if (hwnd == nullptr) return nullptr;
    dialog->hwnd = hwnd;
    // A drop-down list's template data becomes its first items, as the platform's
    // dialog initialisation does it.
    AddInitialItems(hwnd, dialogTemplate);
    m_dialogs.push_back(std::move(dialog));
    return hwnd;
}

INT_PTR Win32Backend::RunModalDialog(HWND window) {
    Dialog* dialog = Find(window);
    if (dialog == nullptr || dialog->target == nullptr) return -1;
    WindowTarget* target = dialog->target;
    const size_t level = m_modal.size();
    m_modal.push_back(Modal{window, false, 0});

    // The owner takes no input while the dialog runs, as with any modal dialog.
    const HWND owner = ::GetWindow(window, GW_OWNER);
    const bool disabledOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (disabledOwner) ::EnableWindow(owner, FALSE);

    dialog->delivering = true;
    const LRESULT setFocus = target->WindowProc(WM_INITDIALOG, 0, 0);
    if (!m_modal[level].ended && Find(window) != nullptr) {
        // A dialog ended while it initialised is never shown.
        ::ShowWindow(window, SW_SHOWNORMAL);
        if (setFocus) {
            if (const HWND first = ::GetNextDlgTabItem(window, nullptr, FALSE))
                ::SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
        }
    }

    // Every queued message of the thread goes to the innermost dialog's
    // PreTranslateMessage first; what it leaves is translated and dispatched.
    while (!m_modal[level].ended) {
        MSG msg;
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) {
            m_modal[level] = Modal{window, true, -1};
            break;
        }
        if (got == 0) {
            // The application is being ended: leave the loop and let the next one see it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_modal[level] = Modal{window, true, -1};
            break;
        }
        Dialog* innermost = Find(m_modal.back().dialog);
        if (innermost != nullptr && innermost->target != nullptr && innermost->target->PreTranslateMessage(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }

    // Give the owner its input back before the dialog goes, so that it becomes
    // the active window rather than some other program's.
    if (disabledOwner) ::EnableWindow(owner, TRUE);
    if (Find(window) != nullptr)
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (disabledOwner) ::SetActiveWindow(owner);
    const INT_PTR result = m_modal[level].result;
    m_modal.resize(level);
    return result;
}

void Win32Backend::EndModalLoop(HWND window, INT_PTR result) {
    for (size_t i = m_modal.size(); i-- > 0;) {
        if (m_modal[i].dialog == window) {
            m_modal[i].ended = true;
            m_modal[i].result = result;
            // Wakes the loop when the end comes from outside a message it handled.
            ::PostMessageW(window, WM_NULL, 0, 0);
            return;
        }
    }
}

BOOL Win32Backend::IsDialogMessage(HWND dialog, MSG* msg) {
    if (dialog == nullptr || msg == nullptr) return FALSE;
    return ::IsDialogMessageW(dialog, msg);
}

void Win32Backend::DestroyWindow(HWND window) {
    if (window == nullptr) return;
    const auto found = std::find_if(m_dialogs.begin(), m_dialogs.end(),
                                    [window](const std::unique_ptr<Dialog>& d) { return d->hwnd == window; });
    if (found != m_dialogs.end()) {
        // Messages that still arrive while the window goes find no dialog object.
        ::SetWindowLongPtrW(window, DWLP_USER, 0);
        for (Modal& modal : m_modal)
            if (modal.dialog == window) modal.ended = true;
    }
    ::DestroyWindow(window);
    if (found != m_dialogs.end()) m_dialogs.erase(found);
}

HWND Win32Backend::GetDlgItem(HWND dialog, int id) { return dialog ? ::GetDlgItem(dialog, id) : nullptr; }

BOOL Win32Backend::IsChild(HWND parent, HWND window) {
    return parent != nullptr && window != nullptr && ::IsChild(parent, window);
}

void Win32Backend::MapDialogRect(HWND dialog, RECT* rect) {
    if (dialog != nullptr && rect != nullptr) ::MapDialogRect(dialog, rect);
}

void Win32Backend::SetFocus(HWND window) {
    if (window == nullptr) return;
    // Within one of our dialogs the dialog manager moves the focus, so that the
    // default push button follows it as it does for the Tab key.
    const HWND parent = ::GetParent(window);
    if (parent != nullptr && Find(parent) != nullptr) {
        ::SendMessageW(parent, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(window), TRUE);
        return;
    }
    ::SetFocus(window);
}

HWND Win32Backend::GetFocus() { return ::GetFocus(); }

}  // namespace ui
