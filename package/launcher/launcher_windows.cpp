// The launcher on Windows: starts the program its command line names, with the
// rest of the command line as that program's arguments, and ends without
// waiting for it. It shows nothing: it is a window-less program, and a failure
// is reported only through its exit status.
//
// The program is looked up as CreateProcess looks it up: the launcher's own
// folder first, then the current folder, the system folders and the search
// path. The launcher is installed next to the settings program, so that
// program is found even when the caller's search would not reach it.
#include <windows.h>

#include <string>

#include "command_tail.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const wchar_t* tail = launcher::SkipProgramName<wchar_t>(GetCommandLineW());
    if (*tail == L'\0') return launcher::kNothingToStart;

    // CreateProcessW may write into the command line it is given.
    std::wstring commandLine(tail);

    // The started program is shown the way the launcher's caller asked the
    // launcher to be shown.
    STARTUPINFOW own{};
    own.cb = sizeof own;
    GetStartupInfoW(&own);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if ((own.dwFlags & STARTF_USESHOWWINDOW) != 0) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = own.wShowWindow;
    }

    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        const DWORD error = GetLastError();
        return error != 0 ? static_cast<int>(error) : 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
