#include "settings/no_dev_dlg.h"

#include "settings/dialog_text.h"
#include "settings/resource.h"
#include "ui/app.h"

BEGIN_MESSAGE_MAP(CDrvPropNoDevDlg, CDialog)
    ON_BN_CLICKED(IDC_BTN_README, &CDrvPropNoDevDlg::OnReadme)
END_MESSAGE_MAP()

CDrvPropNoDevDlg::CDrvPropNoDevDlg(CWnd* parent)
    : CDialog(IDD_NODEVICE_DIALOG, parent), m_hIcon(AfxLoadIcon(IDR_MAINFRAME)) {}

CDrvPropNoDevDlg::~CDrvPropNoDevDlg() = default;

BOOL CDrvPropNoDevDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ModifyStyle(WS_SYSMENU, 0);  // no close box: OK or Esc end the dialog
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    SetWindowText(settings::WindowTitle());
    settings::SetTextFromTable(*this, IDC_NODEV_MESSAGE, IDS_NOT_CONNECTED);
    settings::SetTextFromTable(*this, IDC_BTN_README, IDS_SHOW_README);
    settings::SetTextFromTable(*this, IDOK, IDS_OK);
    GetDlgItem(IDC_BTN_README).EnableWindow(settings::ReadmeExists());
    return TRUE;
}

void CDrvPropNoDevDlg::OnReadme() { settings::OpenReadme(m_hWnd); }
