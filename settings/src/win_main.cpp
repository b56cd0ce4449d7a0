// The settings program on Windows: the application on the Win32 backend of the
// dialog framework.
#include <objbase.h>

#include "device_port_setup.h"
#include "settings/drv_prop_app.h"
#include "ui/win32_backend.h"

CDrvPropApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    settings::PrepareDevicePort();
    // The shell's "open" of the README may hand the document to handlers that
    // need COM on this thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    ui::Win32Backend backend(instance);
    ui::SetBackend(&backend);
    // The program reads no argument; the command line is kept as the platform keeps it.
    const int status = ui::RunApplication(theApp, commandLine ? commandLine : L"");
    ui::SetBackend(nullptr);

    if (SUCCEEDED(com)) ::CoUninitialize();
    return status;
}
