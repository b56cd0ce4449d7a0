// Wrappers of the controls the dialogs use. Each is a CWnd bound to a dialog
// control (DDX_Control) and forwards to the backend.
#pragma once

#include <string>

#include "ui/wnd.h"

class CStatic : public CWnd {
public:
    using CWnd::CWnd;
};

// Push button, check box or group box, by its style.
class CButton : public CWnd {
public:
    using CWnd::CWnd;
    int GetCheck() const;
    void SetCheck(int check);
};

// A drop-down list whose items carry a data word.
class CComboBox : public CWnd {
public:
    using CWnd::CWnd;
    int AddString(const std::wstring& text);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;        // CB_ERR when nothing is selected
    int SetCurSel(int index);     // -1 clears the selection
    DWORD_PTR GetItemData(int index) const;  // CB_ERR for an index outside the list
    int SetItemData(int index, DWORD_PTR data);
    std::wstring GetLBText(int index) const;
};

// A horizontal trackbar with tick marks.
class CSliderCtrl : public CWnd {
public:
    using CWnd::CWnd;
    void SetRange(int minimum, int maximum, BOOL redraw = FALSE);
    int GetRangeMin() const;
    int GetRangeMax() const;
    int GetPos() const;
    void SetPos(int position);
    void ClearTics(BOOL redraw = FALSE);
    BOOL SetTic(int position);
    // Pixel of the tick mark of logical `position`, in the slider's client
    // coordinates; -1 outside the range.
    int GetTicPixel(int position) const;
};
