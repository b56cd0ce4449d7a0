// The main settings dialog (template 187): unit and rate lists, the buffer-size
// slider with its indicator and buffer-size line, the Windows-sound option,
// Default, Revert and Apply, the version and copyright lines, README and CLOSE.
#pragma once

#include <cstdint>
#include <string>

#include "device/records.h"
#include "settings/cmb_dev_list.h"
#include "settings/cmb_freq_list.h"
#include "settings/dev_path_table.h"
#include "ui/controls.h"

class CDrvPropDlg : public CDialog {
public:
    static constexpr UINT_PTR kPollTimerId = 1;
    static constexpr UINT kPollPeriodMs = 330;
    static constexpr int kDefaultPosition = 5;  // under the marker, label 6

    explicit CDrvPropDlg(CWnd* parent = nullptr);
    ~CDrvPropDlg() override;

    CDevPathTable m_devPaths;
    DRV_SETTINGS m_curSettings;    // as currently edited
    DRV_SETTINGS m_savedSettings;  // as last read from or written to the units
    CButton m_btnReadme;
    CButton m_btnApply;
    CSliderCtrl m_sldBuffer;
    int m_bMatchAsioRate = 0;      // box 1147
    int m_nCurUnit = -1;           // selected unit index, -1 = none
    CCmbFreqList m_cmbFreq;
    CCmbDevList m_cmbDev;
    UNIT_STATUS m_unitStatus{};    // last status answer of the selected unit
    UINT_PTR m_nTimer = 0;         // running poll timer, 0 = none

    // One poll of unit presence and of the selected unit's rate.
    void PollUnits();
    // Enables or disables the unit and rate lists; returns `enable`.
    BOOL EnableUnitControls(BOOL enable);
    bool SetTextFromTable(int controlId, UINT stringId);
    // Stops the poll timer and ends the dialog with the cancel result.
    void EndWithCancel();

    // Record to controls and back, the pending-change test and the write.
    void LoadControls();
    void StoreControls();
    bool IsUnchanged();
    int WriteToUnits();

    // The slider's ticks, labels and marker; the buffer-size line and the bars.
    void LayoutBufferLabels();
    void UpdateBufferDisplay();
    void ShowBufferSize(uint32_t rate);

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    void OnApply();
    void OnDefault();
    void OnMatchAsioRate();
    void OnHScroll(UINT code, UINT position, CScrollBar* scrollBar);
    void OnRateSelChange();
    void OnRateDropDown();
    void OnRateCloseUp();
    void OnDevSelChange();
    void OnReadme();
    void OnTimer(UINT_PTR id);

private:
    void StartPollTimer();
    void StopPollTimer();
    void SetTextIfChanged(int controlId, const std::wstring& text);
    void CentreUnderTick(int controlId, int position, const RECT& slider);

    DECLARE_MESSAGE_MAP()
};
