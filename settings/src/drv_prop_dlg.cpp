// The main dialog: opening, the poll of the units, the lists and the routing of
// its events.
#include "settings/drv_prop_dlg.h"

#include "device/ioctl.h"
#include "settings/dialog_text.h"
#include "settings/install_record.h"
#include "settings/resource.h"
#include "settings/settings_record.h"
#include "settings/text.h"
#include "ui/app.h"

BEGIN_MESSAGE_MAP(CDrvPropDlg, CDialog)
    ON_BN_CLICKED(IDC_BTN_APPLY, &CDrvPropDlg::OnApply)
    ON_BN_CLICKED(IDC_BTN_DEFAULT, &CDrvPropDlg::OnDefault)
    ON_BN_CLICKED(IDC_CHK_MATCH_ASIO_RATE, &CDrvPropDlg::OnMatchAsioRate)
    ON_BN_CLICKED(IDC_BTN_README, &CDrvPropDlg::OnReadme)
    ON_WM_HSCROLL(&CDrvPropDlg::OnHScroll)
    ON_CBN_SELCHANGE(IDC_CMB_FREQ, &CDrvPropDlg::OnRateSelChange)
    ON_CBN_DROPDOWN(IDC_CMB_FREQ, &CDrvPropDlg::OnRateDropDown)
    ON_CBN_CLOSEUP(IDC_CMB_FREQ, &CDrvPropDlg::OnRateCloseUp)
    ON_CBN_SELCHANGE(IDC_CMB_DEVICE, &CDrvPropDlg::OnDevSelChange)
    ON_WM_TIMER(&CDrvPropDlg::OnTimer)
END_MESSAGE_MAP()

CDrvPropDlg::CDrvPropDlg(CWnd* parent)
    : CDialog(IDD_DRVPROP_DIALOG, parent),
      m_curSettings(device::DefaultSettings()),
      m_savedSettings(device::DefaultSettings()) {}

CDrvPropDlg::~CDrvPropDlg() = default;

void CDrvPropDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_BTN_APPLY, m_btnApply);
    DDX_Control(dx, IDC_SLD_BUFFER, m_sldBuffer);
    DDX_Control(dx, IDC_CMB_DEVICE, m_cmbDev);
    DDX_Control(dx, IDC_CMB_FREQ, m_cmbFreq);
    DDX_Control(dx, IDC_BTN_README, m_btnReadme);
    DDX_Check(dx, IDC_CHK_MATCH_ASIO_RATE, m_bMatchAsioRate);
}

BOOL CDrvPropDlg::PreTranslateMessage(MSG* msg) {
    // The wheel would move the slider or step through a list without the user
    // meaning to; it does nothing anywhere in this dialog.
    if (msg != nullptr && msg->message == WM_MOUSEWHEEL && (msg->hwnd == m_hWnd || IsChild(msg->hwnd))) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

BOOL CDrvPropDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    DRV_SETTINGS_BUFFER buffer = settings::DefaultSettingsBuffer();
    if (!m_devPaths.GetSettings(buffer) || buffer.nResult == 0) {
        settings::ShowMessage(IDS_CONNECT_DEVICE);
        EndWithCancel();
        return TRUE;
    }
    m_curSettings = buffer.settings;
    m_savedSettings = m_curSettings;

    m_cmbFreq.Init(&m_devPaths);
    m_cmbDev.Init(&m_devPaths, settings::ModelName());
    m_nCurUnit = -1;

    SetWindowText(settings::WindowTitle());

    std::wstring version;
    std::wstring versionLine;
    if (ReadInstallValue(L"version", version) && settings::LoadProgramString(IDS_VERSION_LINE, versionLine))
        versionLine = settings::ReplaceAll(versionLine, settings::kVersionPlaceholder, version);
    else
        versionLine.clear();
    GetDlgItem(IDC_STC_VERSION).SetWindowText(versionLine);

    std::wstring copyright;
    if (ReadInstallValue(L"copyright", copyright))
        GetDlgItem(IDC_STC_COPYRIGHT).SetWindowText(copyright);
    else
        SetTextFromTable(IDC_STC_COPYRIGHT, IDS_COPYRIGHT);

    static const struct {
        int control;
        UINT string;
    } kTexts[] = {
        {IDC_GRP_BUFFER, IDS_AUDIO_BUFFER_SIZE},
        {IDC_STC_MIN, IDS_MIN},
        {IDC_STC_MAX, IDS_MAX},
        {IDC_GRP_PERFORMANCE, IDS_PERFORMANCE},
        {IDC_STC_REALTIME, IDS_REAL_TIME},
        {IDC_STC_STABILITY, IDS_STABILITY},
        {IDC_GRP_WINSOUND, IDS_WINSOUND_SETTING},
        {IDC_CHK_MATCH_ASIO_RATE, IDS_MATCH_ASIO_RATE},
        {IDC_GRP_ASIO, IDS_ASIO_SETTING},
        {IDC_STC_ASIO_BUFFER_LABEL, IDS_ASIO_BUFFER_SIZE},
        {IDC_STC_ASIO_CREDIT, IDS_ASIO_CREDIT},
        {IDC_BTN_README, IDS_SHOW_README},
        {IDOK, IDS_CLOSE},
        {IDCANCEL, IDS_REVERT},
        {IDC_BTN_APPLY, IDS_APPLY},
        {IDC_BTN_DEFAULT, IDS_DEFAULT},
    };
    for (const auto& text : kTexts) SetTextFromTable(text.control, text.string);

    LoadControls();
    m_btnApply.EnableWindow(FALSE);
    m_btnReadme.EnableWindow(settings::ReadmeExists());

    PollUnits();
    UpdateBufferDisplay();
    LayoutBufferLabels();

    StartPollTimer();
    return TRUE;
}

bool CDrvPropDlg::SetTextFromTable(int controlId, UINT stringId) {
    return settings::SetTextFromTable(*this, controlId, stringId);
}

BOOL CDrvPropDlg::EnableUnitControls(BOOL enable) {
    const bool wanted = enable != FALSE;
    if ((m_cmbDev.IsWindowEnabled() != FALSE) != wanted) m_cmbDev.EnableWindow(wanted);
    if ((m_cmbFreq.IsWindowEnabled() != FALSE) != wanted) m_cmbFreq.EnableWindow(wanted);
    return enable;
}

void CDrvPropDlg::PollUnits() {
    if (m_cmbDev.Refresh()) m_nCurUnit = m_cmbDev.SelectUnit(m_nCurUnit);
    if (!EnableUnitControls(m_nCurUnit != -1)) return;
    // The unit gets its previous answer back; a failed request leaves it as it was.
    UNIT_STATUS status = m_unitStatus;
    if (!m_devPaths.SendRequest(m_nCurUnit, IOCTL_GET_CLOCK_STATUS, &status, sizeof status)) return;
    m_unitStatus = status;
    m_cmbFreq.Refill(m_nCurUnit);
    m_cmbFreq.SelectRate(m_unitStatus.nDriverRate);
}

void CDrvPropDlg::StartPollTimer() { m_nTimer = SetTimer(kPollTimerId, kPollPeriodMs); }

void CDrvPropDlg::StopPollTimer() {
    if (m_nTimer != 0) {
        KillTimer(m_nTimer);
        m_nTimer = 0;
    }
}

void CDrvPropDlg::EndWithCancel() {
    StopPollTimer();
    EndDialog(IDCANCEL);
}

void CDrvPropDlg::OnTimer(UINT_PTR id) {
    PollUnits();
    UpdateBufferDisplay();
    CDialog::OnTimer(id);
}

void CDrvPropDlg::OnDevSelChange() {
    const int item = m_cmbDev.GetCurSel();
    const DWORD_PTR unit = item == CB_ERR ? static_cast<DWORD_PTR>(CB_ERR) : m_cmbDev.GetItemData(item);
    m_nCurUnit = unit < static_cast<DWORD_PTR>(CDevPathTable::kEntryCount) ? static_cast<int>(unit) : -1;
    PollUnits();
}

void CDrvPropDlg::OnRateSelChange() {
    const int item = m_cmbFreq.GetCurSel();
    if (item == CB_ERR) return;
    const uint32_t rate = static_cast<uint32_t>(m_cmbFreq.GetItemData(item));
    if (!CDevPathTable::IsValidIndex(m_nCurUnit)) return;
    // Takes effect at once; the polls show whether the unit took it.
    RATE_REQ request{0, rate};
    m_devPaths.SendRequest(m_nCurUnit, IOCTL_SET_DRIVER_RATE, &request, sizeof request);
}

// While the user chooses a rate, no poll rebuilds or reselects the list.
void CDrvPropDlg::OnRateDropDown() { StopPollTimer(); }

void CDrvPropDlg::OnRateCloseUp() { StartPollTimer(); }

void CDrvPropDlg::OnReadme() { settings::OpenReadme(m_hWnd); }
