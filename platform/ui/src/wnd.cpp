#include "ui/wnd.h"

#include <algorithm>

#include "ui/app.h"

// --- CWnd ---

CWnd CWnd::GetDlgItem(int id) const { return CWnd(m_hWnd ? Backend().GetDlgItem(m_hWnd, id) : nullptr); }

void CWnd::SetWindowText(const std::wstring& text) {
    if (m_hWnd) Backend().SetText(m_hWnd, text);
}

std::wstring CWnd::GetWindowText() const { return m_hWnd ? Backend().GetText(m_hWnd) : std::wstring(); }

BOOL CWnd::EnableWindow(BOOL enable) {
    if (!m_hWnd) return FALSE;
    const BOOL wasDisabled = !Backend().IsWindowEnabled(m_hWnd);
    Backend().EnableWindow(m_hWnd, enable);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const { return m_hWnd ? Backend().IsWindowEnabled(m_hWnd) : FALSE; }

BOOL CWnd::ShowWindow(int showCommand) {
    if (!m_hWnd) return FALSE;
    const BOOL wasVisible = Backend().IsWindowVisible(m_hWnd);
    Backend().ShowWindow(m_hWnd, showCommand);
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const { return m_hWnd ? Backend().IsWindowVisible(m_hWnd) : FALSE; }

DWORD CWnd::GetStyle() const { return m_hWnd ? Backend().GetStyle(m_hWnd) : 0; }

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add) {
    if (!m_hWnd) return FALSE;
    const DWORD before = Backend().GetStyle(m_hWnd);
    const DWORD after = (before & ~remove) | add;
    if (after == before) return FALSE;
    Backend().ModifyStyle(m_hWnd, remove, add);
    return TRUE;
}

void CWnd::GetWindowRect(LPRECT rect) const {
    if (rect == nullptr) return;
    *rect = m_hWnd ? Backend().GetWindowRect(m_hWnd) : RECT{0, 0, 0, 0};
}

void CWnd::ScreenToClient(LPRECT rect) const {
    if (rect == nullptr || !m_hWnd) return;
    const POINT topLeft = Backend().ScreenToClient(m_hWnd, POINT{rect->left, rect->top});
    const POINT bottomRight = Backend().ScreenToClient(m_hWnd, POINT{rect->right, rect->bottom});
    *rect = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void CWnd::MoveWindow(int x, int y, int width, int height) {
    if (m_hWnd) Backend().MoveWindow(m_hWnd, x, y, width, height);
}

HICON CWnd::SetIcon(HICON icon, BOOL big) {
    if (m_hWnd) Backend().SetIcon(m_hWnd, icon, big);
    return nullptr;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse) { return m_hWnd ? Backend().SetTimer(m_hWnd, id, elapse) : 0; }

BOOL CWnd::KillTimer(UINT_PTR id) { return m_hWnd ? Backend().KillTimer(m_hWnd, id) : FALSE; }

BOOL CWnd::IsChild(HWND window) const { return m_hWnd ? Backend().IsChild(m_hWnd, window) : FALSE; }

void CWnd::SetFocus() {
    if (m_hWnd) Backend().SetFocus(m_hWnd);
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    if (!m_hWnd) return FALSE;
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::OnInitDialog() { return TRUE; }

void CWnd::OnTimer(UINT_PTR) {}

BOOL CWnd::PreTranslateMessage(MSG* msg) {
    if (!m_hWnd) return FALSE;
    return Backend().IsDialogMessage(m_hWnd, msg);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog();
    DispatchMessageMap(message, wParam, lParam);
    return 0;
}

void CWnd::ReleaseBoundControls() {
    for (CWnd* control : m_boundControls) control->m_hWnd = nullptr;
    m_boundControls.clear();
}

// --- data exchange ---

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (dx == nullptr || dx->m_pDlgWnd == nullptr || control.m_hWnd != nullptr) return;
    control.m_hWnd = dx->m_pDlgWnd->GetDlgItem(id).m_hWnd;
    if (control.m_hWnd != nullptr) dx->m_pDlgWnd->m_boundControls.push_back(&control);
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    if (dx == nullptr || dx->m_pDlgWnd == nullptr) return;
    const HWND button = dx->m_pDlgWnd->GetDlgItem(id).m_hWnd;
    if (button == nullptr) return;
    if (dx->m_bSaveAndValidate)
        value = ui::GetBackend()->GetCheck(button);
    else
        ui::GetBackend()->SetCheck(button, value);
}

// --- CDialog ---

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

INT_PTR CDialog::DoModal() {
    const CWinApp* app = AfxGetApp();
    if (app == nullptr || app->m_pResources == nullptr || ui::GetBackend() == nullptr) return -1;
    const ui::DialogTemplate* dialogTemplate = ui::FindDialogTemplate(*app->m_pResources, m_nIDHelp);
    if (dialogTemplate == nullptr) return -1;
    const HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    m_hWnd = Backend().CreateDialogFromTemplate(*dialogTemplate, parent, this);
    if (m_hWnd == nullptr) return -1;
    const INT_PTR result = Backend().RunModalDialog(m_hWnd);
    Backend().DestroyWindow(m_hWnd);
    ReleaseBoundControls();
    m_hWnd = nullptr;
    return result;
}

void CDialog::EndDialog(int result) {
    if (m_hWnd) Backend().EndModalLoop(m_hWnd, result);
}

void CDialog::GotoDlgCtrl(CWnd* control) {
    if (control != nullptr && control->m_hWnd != nullptr) Backend().SetFocus(control->m_hWnd);
}

void CDialog::MapDialogRect(LPRECT rect) const {
    if (rect != nullptr && m_hWnd != nullptr) Backend().MapDialogRect(m_hWnd, rect);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
