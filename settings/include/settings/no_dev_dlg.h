// The dialog shown instead of the main one when no unit is connected at start
// (template 136): a message, README and OK.
#pragma once

#include "ui/wnd.h"

class CDrvPropNoDevDlg : public CDialog {
public:
    explicit CDrvPropNoDevDlg(CWnd* parent = nullptr);
    ~CDrvPropNoDevDlg() override;

    HICON m_hIcon;  // the application icon, loaded with the object

protected:
    BOOL OnInitDialog() override;
    void OnReadme();

    DECLARE_MESSAGE_MAP()
};
