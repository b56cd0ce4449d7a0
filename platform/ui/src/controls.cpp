#include "ui/controls.h"

int CButton::GetCheck() const { return m_hWnd ? Backend().GetCheck(m_hWnd) : BST_UNCHECKED; }

void CButton::SetCheck(int check) {
    if (m_hWnd) Backend().SetCheck(m_hWnd, check);
}

int CComboBox::AddString(const std::wstring& text) { return m_hWnd ? Backend().ComboAddString(m_hWnd, text) : CB_ERR; }

void CComboBox::ResetContent() {
    if (m_hWnd) Backend().ComboResetContent(m_hWnd);
}

int CComboBox::GetCount() const { return m_hWnd ? Backend().ComboGetCount(m_hWnd) : 0; }

int CComboBox::GetCurSel() const { return m_hWnd ? Backend().ComboGetCurSel(m_hWnd) : CB_ERR; }

int CComboBox::SetCurSel(int index) { return m_hWnd ? Backend().ComboSetCurSel(m_hWnd, index) : CB_ERR; }

DWORD_PTR CComboBox::GetItemData(int index) const {
    return m_hWnd ? Backend().ComboGetItemData(m_hWnd, index) : static_cast<DWORD_PTR>(CB_ERR);
}

int CComboBox::SetItemData(int index, DWORD_PTR data) {
    return m_hWnd ? Backend().ComboSetItemData(m_hWnd, index, data) : CB_ERR;
}

std::wstring CComboBox::GetLBText(int index) const {
    return m_hWnd ? Backend().ComboGetItemText(m_hWnd, index) : std::wstring();
}

void CSliderCtrl::SetRange(int minimum, int maximum, BOOL) {
    if (m_hWnd) Backend().SliderSetRange(m_hWnd, minimum, maximum);
}

int CSliderCtrl::GetRangeMin() const { return m_hWnd ? Backend().SliderGetRangeMin(m_hWnd) : 0; }

int CSliderCtrl::GetRangeMax() const { return m_hWnd ? Backend().SliderGetRangeMax(m_hWnd) : 0; }

int CSliderCtrl::GetPos() const { return m_hWnd ? Backend().SliderGetPos(m_hWnd) : 0; }

void CSliderCtrl::SetPos(int position) {
    if (m_hWnd) Backend().SliderSetPos(m_hWnd, position);
}

void CSliderCtrl::ClearTics(BOOL) {
    if (m_hWnd) Backend().SliderClearTics(m_hWnd);
}

BOOL CSliderCtrl::SetTic(int position) { return m_hWnd ? Backend().SliderSetTic(m_hWnd, position) : FALSE; }

int CSliderCtrl::GetTicPixel(int position) const { return m_hWnd ? Backend().SliderGetTicPixel(m_hWnd, position) : -1; }
