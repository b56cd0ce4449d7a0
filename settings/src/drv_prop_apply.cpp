// The main dialog's settings cycle: record to controls and back, the pending-change
// test, Apply, Default, Revert and CLOSE.
#include "device/buffer_position.h"
#include "settings/dialog_text.h"
#include "settings/drv_prop_dlg.h"
#include "settings/resource.h"
#include "settings/settings_record.h"
#include "ui/app.h"

namespace {

// After a write that takes effect once the applications restart, the units get
// a moment before they are asked whether one of them is in use.
constexpr DWORD kInUseQueryDelayMs = 100;

}  // namespace

void CDrvPropDlg::LoadControls() {
    settings::ClampAdjustments(m_curSettings);
    m_sldBuffer.SetRange(0, settings::kLastBufferPosition);
    m_sldBuffer.SetPos(m_curSettings.nBufPos);
    m_bMatchAsioRate = m_curSettings.bNoRateFollow == 0 ? 1 : 0;
    UpdateData(FALSE);
}

void CDrvPropDlg::StoreControls() {
    UpdateData(TRUE);
    const int32_t position = settings::ClampPosition(m_sldBuffer.GetPos());
    m_curSettings.nBufPos = position;
    settings::ClampAdjustments(m_curSettings);
    m_curSettings.bNoRateFollow = m_bMatchAsioRate != 0 ? 0u : 1u;
    m_curSettings.bLowLatency = static_cast<uint32_t>(device::LOW_LATENCY_BY_POS[position]);
}

bool CDrvPropDlg::IsUnchanged() {
    StoreControls();
    return settings::IsSameSettings(m_curSettings, m_savedSettings);
}

int CDrvPropDlg::WriteToUnits() {
    StoreControls();
    DRV_SETTINGS_BUFFER buffer{};
    buffer.settings = m_curSettings;
    buffer.nResult = 0;
    if (!m_devPaths.SetSettings(buffer)) {
        settings::ShowMessage(IDS_CONNECT_DEVICE);
        EndWithCancel();
        return 0;
    }
    if (buffer.nResult == 1) {
        AfxPause(kInUseQueryDelayMs);
        if (!m_devPaths.IsBusy()) return 0;
        settings::ShowMessage(IDS_DEVICE_IN_USE);
        return 1;
    }
    if (buffer.nResult == 2) {
        settings::ShowMessage(IDS_POWER_CYCLE);
        return 2;
    }
    return 0;
}

void CDrvPropDlg::OnApply() {
    if (!m_devPaths.IsAnyPresent()) {
        settings::ShowMessage(IDS_CONNECT_DEVICE);
        EndWithCancel();
        return;
    }
    m_btnApply.EnableWindow(FALSE);
    CWnd close = GetDlgItem(IDOK);
    GotoDlgCtrl(&close);
    WriteToUnits();
    m_savedSettings = m_curSettings;
}

void CDrvPropDlg::OnDefault() {
    settings::ClampAdjustments(m_curSettings);
    m_sldBuffer.SetRange(0, settings::kLastBufferPosition);
    m_sldBuffer.SetPos(kDefaultPosition);
    m_bMatchAsioRate = 1;
    UpdateData(FALSE);
    StoreControls();
    m_btnApply.EnableWindow(TRUE);
}

// Revert (the cancel command, also Esc): back to the saved record; the dialog stays.
void CDrvPropDlg::OnCancel() {
    m_curSettings = m_savedSettings;
    LoadControls();
    m_btnApply.EnableWindow(FALSE);
}

void CDrvPropDlg::OnMatchAsioRate() { m_btnApply.EnableWindow(TRUE); }

// CLOSE (the OK command, also Enter).
void CDrvPropDlg::OnOK() {
    StopPollTimer();
    if (IsUnchanged()) {
        if (m_devPaths.IsBusy()) settings::ShowMessage(IDS_DEVICE_IN_USE);
    } else if (settings::ShowMessage(IDS_APPLY_CHANGES, MB_YESNO) == IDYES) {
        WriteToUnits();
    }
    CDialog::OnOK();
}
