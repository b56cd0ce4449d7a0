#include "settings/dialog_text.h"

#include "settings/install_record.h"
#include "settings/resource.h"
#include "settings/text.h"
#include "ui/app.h"

namespace settings {

bool LoadProgramString(UINT id, std::wstring& text) {
    if (!AfxLoadString(id, text)) return false;
    text = ReplaceAll(text, kModelPlaceholder, ModelName());
    return true;
}

std::wstring WindowTitle() {
    std::wstring title;
    LoadProgramString(IDS_TITLE, title);
    return title;
}

bool SetTextFromTable(CWnd& dialog, int controlId, UINT stringId) {
    CWnd control = dialog.GetDlgItem(controlId);
    std::wstring text;
    if (control.m_hWnd == nullptr || !LoadProgramString(stringId, text)) return false;
    control.SetWindowText(text);
    return true;
}

int ShowMessage(UINT id, UINT type) {
    std::wstring text;
    LoadProgramString(id, text);
    return AfxMessageBox(text, type);
}

std::wstring GetReadmePath() {
    std::wstring folder;
    if (!ReadInstallValue(nullptr, folder) || folder.empty()) return std::wstring();
    std::wstring relative;
    if (!AfxLoadString(IDS_README_PATH, relative)) return std::wstring();
    return folder + L"\\" + relative;
}

bool ReadmeExists() {
    const std::wstring path = GetReadmePath();
    return !path.empty() && ui::IsExistingFile(path);
}

void OpenReadme(HWND owner) {
    const std::wstring path = GetReadmePath();
    if (path.empty() || !ui::IsExistingFile(path)) return;
    AfxShellOpen(owner, path, L"", L"", SW_SHOWNORMAL);
}

}  // namespace settings
