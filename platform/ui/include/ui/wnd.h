// Windows and dialogs: CWnd wraps a window handle of the installed backend,
// CDialog runs a modal dialog from a template and routes its messages through
// the message maps, CDataExchange moves values between members and controls.
#pragma once

#include <string>
#include <vector>

#include "ui/backend.h"
#include "ui/cmdtarget.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
};

class CWnd : public CCmdTarget, public ui::WindowTarget {
public:
    CWnd() = default;
    explicit CWnd(HWND hwnd) : m_hWnd(hwnd) {}
    CWnd(const CWnd&) = default;
    CWnd& operator=(const CWnd&) = default;
    ~CWnd() override = default;

    HWND GetSafeHwnd() const { return m_hWnd; }

    // The control `id` of this dialog; its m_hWnd is null when there is none.
    CWnd GetDlgItem(int id) const;

    void SetWindowText(const std::wstring& text);
    std::wstring GetWindowText() const;
    BOOL EnableWindow(BOOL enable = TRUE);  // returns TRUE when the window was disabled before
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int showCommand);       // returns TRUE when the window was visible before
    BOOL IsWindowVisible() const;
    DWORD GetStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add);
    void GetWindowRect(LPRECT rect) const;  // screen coordinates
    void ScreenToClient(LPRECT rect) const;
    void MoveWindow(int x, int y, int width, int height);
    void MoveWindow(const RECT& rect) { MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top); }
    HICON SetIcon(HICON icon, BOOL big);
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse);
    BOOL KillTimer(UINT_PTR id);
    BOOL IsChild(HWND window) const;
    void SetFocus();

    // Members to controls (FALSE) or controls to members (TRUE) through DoDataExchange.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // --- ui::WindowTarget ---
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND m_hWnd = nullptr;

protected:
    virtual void DoDataExchange(CDataExchange* dx);
    virtual BOOL OnInitDialog();
    // Default processing of WM_TIMER: nothing for a timer without a callback.
    void OnTimer(UINT_PTR id);

    static ui::Backend& Backend() { return *ui::GetBackend(); }

    // Forgets the window handles of the controls bound by DDX_Control, once the
    // window they belonged to is destroyed.
    void ReleaseBoundControls();

    friend void DDX_Control(CDataExchange* dx, int id, CWnd& control);

private:
    std::vector<CWnd*> m_boundControls;
};

// Binds `control` to the dialog's control `id` the first time it is called.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// Exchanges the check state of check box `id` with `value`.
void DDX_Check(CDataExchange* dx, int id, int& value);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_nIDHelp(templateId), m_pParentWnd(parent) {}
    ~CDialog() override = default;

    // Creates the dialog from its template, runs it modally, destroys it. Returns
    // the result given to EndDialog, or -1 when the dialog cannot be created.
    virtual INT_PTR DoModal();
    void EndDialog(int result);
    void GotoDlgCtrl(CWnd* control);
    void MapDialogRect(LPRECT rect) const;

    UINT m_nIDHelp;  // the template id

protected:
    BOOL OnInitDialog() override;
    virtual void OnOK();
    virtual void OnCancel();

    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()
};

// The scroll bar a WM_HSCROLL comes from (for a trackbar: the trackbar).
class CScrollBar : public CWnd {
public:
    using CWnd::CWnd;
};
