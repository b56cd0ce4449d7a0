// The settings program's application object: its start-up routine makes sure
// the program runs once, then shows the main dialog when a unit is connected and
// the no-device dialog otherwise. The program ends when that dialog closes.
#pragma once

#include <string>

#include "ui/app.h"

class CDrvPropApp : public CWinApp {
public:
    CDrvPropApp();
    ~CDrvPropApp() override;

    // Always FALSE: all work happens here, no message loop follows.
    BOOL InitInstance() override;
    int ExitInstance() override;

    // Names the system-wide mutex of the single-instance guard: the maker's
    // reverse-domain identifier, a dot and the program's file name.
    static std::wstring InstanceName();

    // Brings the first window whose title begins with the program's title to the
    // front; false when none is found or the title is missing.
    static bool BringRunningInstanceForward();

private:
    // The guard: the mutex exists while this handle is open, until the program ends.
    HANDLE m_hInstanceMutex = nullptr;
};
