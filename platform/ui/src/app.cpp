#include "ui/app.h"

#include "ui/backend.h"

namespace {

CWinApp* g_currentApp = nullptr;
ui::Backend* g_backend = nullptr;

}  // namespace

// --- backend ---

void ui::SetBackend(Backend* backend) { g_backend = backend; }

ui::Backend* ui::GetBackend() { return g_backend; }

// --- CWinApp ---

CWinApp::CWinApp(const ui::ResourceSet* resources) : m_pResources(resources), m_pPrevious(g_currentApp) {
    g_currentApp = this;
}

CWinApp::~CWinApp() {
    if (g_currentApp == this) g_currentApp = m_pPrevious;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

CWinApp* AfxGetApp() { return g_currentApp; }

int ui::RunApplication(CWinApp& app, const std::wstring& commandLine) {
    app.m_strCmdLine = commandLine;
    if (app.m_strAppName.empty()) AfxLoadString(AFX_IDS_APP_TITLE, app.m_strAppName);
    // A dialog-based program does all its work in InitInstance; with FALSE the
    // platform runs no message loop and ends the application.
    app.InitInstance();
    return app.ExitInstance();
}

// --- application-wide services ---

BOOL AfxLoadString(UINT id, std::wstring& text) {
    text.clear();
    const CWinApp* app = AfxGetApp();
    if (app == nullptr || app->m_pResources == nullptr || g_backend == nullptr) return FALSE;
    const ui::StringTable* table = ui::ResolveStringTable(*app->m_pResources, g_backend->GetUserDefaultUILanguage());
    if (table == nullptr) return FALSE;
    const wchar_t* found = ui::FindString(*table, id);
    if (found == nullptr) return FALSE;
    text = found;
    return TRUE;
}

int AfxMessageBox(const std::wstring& text, UINT type) {
    if (g_backend == nullptr) return 0;
    const CWinApp* app = AfxGetApp();
    const std::wstring caption = app ? app->m_strAppName : std::wstring();
    return g_backend->ShowMessageBox(nullptr, text, caption, type);
}

int AfxMessageBox(UINT stringId, UINT type) {
    std::wstring text;
    AfxLoadString(stringId, text);
    return AfxMessageBox(text, type);
}

BOOL AfxInitCommonControls(DWORD classes) { return g_backend ? g_backend->InitCommonControls(classes) : FALSE; }

void AfxShellOpen(HWND owner, const std::wstring& file, const std::wstring& parameters, const std::wstring& directory,
                  int showCommand) {
    if (g_backend) g_backend->ShellOpen(owner, file, parameters, directory, showCommand);
}

HICON AfxLoadIcon(UINT id) { return g_backend ? g_backend->LoadAppIcon(id) : nullptr; }

void AfxPause(DWORD milliseconds) {
    if (g_backend) g_backend->Pause(milliseconds);
}

// --- top-level windows ---

void ui::EnumTopLevelWindows(const std::function<bool(HWND)>& visit) {
    if (g_backend) g_backend->EnumWindows(visit);
}

std::wstring ui::GetTopLevelWindowText(HWND window, size_t maxChars) {
    if (g_backend == nullptr) return std::wstring();
    std::wstring text = g_backend->GetText(window);
    if (text.size() > maxChars) text.resize(maxChars);
    return text;
}

void ui::ShowTopLevelWindow(HWND window, int showCommand) {
    if (g_backend) g_backend->ShowWindow(window, showCommand);
}

void ui::BringTopLevelWindowToTop(HWND window) {
    if (g_backend) g_backend->BringWindowToTop(window);
}

void ui::SetForegroundTopLevelWindow(HWND window) {
    if (g_backend) g_backend->SetForegroundWindow(window);
}
