#include "settings/drv_prop_app.h"

#include "device/identity.h"
#include "settings/dialog_text.h"
#include "settings/drv_prop_dlg.h"
#include "settings/no_dev_dlg.h"
#include "settings/resources.h"

namespace {

constexpr wchar_t kMakerDomain[] = L"com.calvera-audio";
// Window titles are compared as GetWindowText reads them into 516 characters.
constexpr size_t kTitleReadChars = 515;

}  // namespace

CDrvPropApp::CDrvPropApp() : CWinApp(&settings::ProgramResources()) {}

CDrvPropApp::~CDrvPropApp() { ExitInstance(); }

std::wstring CDrvPropApp::InstanceName() {
    std::wstring name = kMakerDomain;
    name += L'.';
    for (const char* p = device::kSettingsProgramFile; *p != '\0'; ++p) name += static_cast<wchar_t>(*p);
    return name;
}

bool CDrvPropApp::BringRunningInstanceForward() {
    const std::wstring title = settings::WindowTitle();
    if (title.empty()) return false;
    HWND found = nullptr;
    ui::EnumTopLevelWindows([&](HWND window) {
        const std::wstring text = ui::GetTopLevelWindowText(window, kTitleReadChars);
        if (text.size() < title.size() || text.compare(0, title.size(), title) != 0) return true;
        found = window;
        return false;
    });
    if (found == nullptr) return false;
    ui::ShowTopLevelWindow(found, SW_SHOW);
    ui::BringTopLevelWindowToTop(found);
    ui::SetForegroundTopLevelWindow(found);
    return true;
}

BOOL CDrvPropApp::InitInstance() {
    AfxInitCommonControls(ICC_WIN95_CLASSES);

    // The guard is the mutex's existence: open first, and only when that fails
    // create it (not owned). A failed create leaves the program unguarded.
    const std::wstring name = InstanceName();
    if (HANDLE existing = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, name.c_str())) {
        CloseHandle(existing);
        BringRunningInstanceForward();
        return FALSE;
    }
    if (m_hInstanceMutex == nullptr) m_hInstanceMutex = CreateMutexW(nullptr, FALSE, name.c_str());

    CDrvPropDlg mainDialog;
    mainDialog.m_devPaths.Fill();
    // Whether a unit is there is decided once; one connected later needs a new start.
    if (mainDialog.m_devPaths.IsAnyPresent()) {
        mainDialog.DoModal();
    } else {
        CDrvPropNoDevDlg noDeviceDialog;
        noDeviceDialog.DoModal();
    }
    return FALSE;
}

int CDrvPropApp::ExitInstance() {
    if (m_hInstanceMutex != nullptr) {
        CloseHandle(m_hInstanceMutex);
        m_hInstanceMutex = nullptr;
    }
    return CWinApp::ExitInstance();
}
