// The main dialog's buffer-size slider: ticks, labels and marker, the ASIO
// buffer-size line and the real-time and stability bars.
#include <algorithm>

#include "device/buffer_position.h"
#include "settings/drv_prop_dlg.h"
#include "settings/resource.h"
#include "settings/settings_record.h"
#include "settings/text.h"
#include "ui/app.h"

namespace {

constexpr int kLabelCount = IDC_STC_LABEL_LAST - IDC_STC_LABEL_FIRST + 1;  // "1" .. "11"

std::wstring Bar(int letters) { return std::wstring(static_cast<size_t>(std::clamp(letters, 0, 64)), L'O'); }

}  // namespace

void CDrvPropDlg::OnHScroll(UINT, UINT, CScrollBar* scrollBar) {
    if (scrollBar == nullptr || scrollBar->m_hWnd == nullptr || scrollBar->m_hWnd != m_sldBuffer.m_hWnd) return;
    // Dragging as well as the end of a move: the line follows the thumb.
    m_curSettings.nBufPos = settings::ClampPosition(m_sldBuffer.GetPos());
    UpdateBufferDisplay();
    m_btnApply.EnableWindow(TRUE);
}

void CDrvPropDlg::SetTextIfChanged(int controlId, const std::wstring& text) {
    CWnd control = GetDlgItem(controlId);
    if (control.m_hWnd != nullptr && control.GetWindowText() != text) control.SetWindowText(text);
}

void CDrvPropDlg::UpdateBufferDisplay() {
    uint32_t rate = 0;
    if (m_devPaths.GetActiveRate(rate) || m_devPaths.GetUnitRate(rate)) {
        ShowBufferSize(rate);
        return;
    }
    std::wstring noRate;
    if (AfxLoadString(IDS_NO_RATE_LINE, noRate)) SetTextIfChanged(IDC_STC_ASIO_BUFFER, noRate);
}

void CDrvPropDlg::ShowBufferSize(uint32_t rate) {
    const int32_t size = device::ComputeBufferSize(settings::ClampPosition(m_curSettings.nBufPos), rate);
    std::wstring format;
    if (AfxLoadString(IDS_BUFFER_LINE, format))
        SetTextIfChanged(IDC_STC_ASIO_BUFFER, settings::FormatDecimal(format, {size, static_cast<int64_t>(rate)}));

    const int maximum = m_sldBuffer.GetRangeMax();
    const int position = m_sldBuffer.GetPos();
    SetTextIfChanged(IDC_STC_REALTIME_BAR, Bar(maximum - position + 1));
    SetTextIfChanged(IDC_STC_STABILITY_BAR, Bar(position + 1));
}

void CDrvPropDlg::CentreUnderTick(int controlId, int position, const RECT& slider) {
    CWnd control = GetDlgItem(controlId);
    const int tick = m_sldBuffer.GetTicPixel(position);
    if (control.m_hWnd == nullptr || tick < 0) return;
    RECT rect;
    control.GetWindowRect(&rect);
    ScreenToClient(&rect);
    const int width = rect.right - rect.left;
    control.MoveWindow(slider.left + tick - width / 2, rect.top, width, rect.bottom - rect.top);
}

void CDrvPropDlg::LayoutBufferLabels() {
    const int maximum = m_sldBuffer.GetRangeMax();
    m_sldBuffer.ClearTics();
    for (int position = 0; position <= maximum; ++position) m_sldBuffer.SetTic(position);

    RECT slider;
    m_sldBuffer.GetWindowRect(&slider);
    ScreenToClient(&slider);
    for (int k = 0; k < kLabelCount; ++k) {
        if (k > maximum) {
            GetDlgItem(IDC_STC_LABEL_FIRST + k).ShowWindow(SW_HIDE);
            continue;
        }
        CentreUnderTick(IDC_STC_LABEL_FIRST + k, k, slider);
    }
    CentreUnderTick(IDC_STC_MARKER, kDefaultPosition, slider);
}
