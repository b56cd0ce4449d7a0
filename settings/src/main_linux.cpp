// The settings program on Linux: the application on the headless backend. There
// is no kernel driver here, so every start shows the no-device dialog, unless a
// kernel-driver model is put behind the device port.
#include <string>

#include "settings/drv_prop_app.h"
#include "ui/headless.h"

CDrvPropApp theApp;

int main(int argc, char** argv) {
    ui::HeadlessBackend backend;
    ui::SetBackend(&backend);
    // The program reads no argument; the command line is kept as the platform keeps it.
    std::wstring commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += L' ';
        for (const char* p = argv[i]; *p != '\0'; ++p) commandLine += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    }
    const int status = ui::RunApplication(theApp, commandLine);
    ui::SetBackend(nullptr);
    return status;
}
