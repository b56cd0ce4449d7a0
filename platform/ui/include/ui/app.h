// The application object and the application-wide services of the framework:
// string loading by user-interface language, message boxes with the application
// name as caption, the shell's "open", common controls.
#pragma once

#include <functional>
#include <string>

#include "ui/cmdtarget.h"
#include "ui/resources.h"

// String id of the application name (the caption of every message box).
inline constexpr UINT AFX_IDS_APP_TITLE = 0xE000;

class CWinApp : public CCmdTarget {
public:
    // `resources` are the program's templates and string tables; they must
    // outlive the application object. The newest application object is the
    // current one (AfxGetApp) until it is destroyed.
    explicit CWinApp(const ui::ResourceSet* resources);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The program's start-up; FALSE ends the application when it returns.
    virtual BOOL InitInstance();
    virtual int ExitInstance();

    const ui::ResourceSet* m_pResources;
    std::wstring m_strAppName;  // string AFX_IDS_APP_TITLE, loaded when the application starts
    std::wstring m_strCmdLine;  // the words after the program name

private:
    CWinApp* m_pPrevious;
};

CWinApp* AfxGetApp();

namespace ui {

// Runs `app` as the platform runs an application: takes the command line, loads
// the application name, calls InitInstance and, when it returns FALSE, ends
// the application at once (ExitInstance). Returns the exit status.
int RunApplication(CWinApp& app, const std::wstring& commandLine);

}  // namespace ui

// Loads string `id` from the current application's string table of the user's
// interface language. FALSE, leaving `text` empty, when there is none.
BOOL AfxLoadString(UINT id, std::wstring& text);

// A modal message box owned by the active dialog, captioned with the application
// name. Returns the button pressed.
int AfxMessageBox(const std::wstring& text, UINT type = MB_OK);
int AfxMessageBox(UINT stringId, UINT type = MB_OK);

// InitCommonControlsEx with the given class mask.
BOOL AfxInitCommonControls(DWORD classes);

// The shell's "open" verb on `file`: ShellExecute(owner, "open", file, parameters, directory, showCommand).
void AfxShellOpen(HWND owner, const std::wstring& file, const std::wstring& parameters, const std::wstring& directory,
                  int showCommand);

// The application's icon resource `id`.
HICON AfxLoadIcon(UINT id);

// Waits on the user-interface thread without handling messages.
void AfxPause(DWORD milliseconds);

namespace ui {

// Top-level windows, for finding another instance's window.
void EnumTopLevelWindows(const std::function<bool(HWND)>& visit);
std::wstring GetTopLevelWindowText(HWND window, size_t maxChars);
void ShowTopLevelWindow(HWND window, int showCommand);
void BringTopLevelWindowToTop(HWND window);
void SetForegroundTopLevelWindow(HWND window);

// True when `path` names an existing entry of the file system that is not a
// folder. Backslashes separate folders on every system.
bool IsExistingFile(const std::wstring& path);

}  // namespace ui
