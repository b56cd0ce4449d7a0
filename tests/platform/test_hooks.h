// What the platform tests need beyond Win32. On Linux: the subset's own hooks. On
// Windows, where the same test sources run (under Wine) to show that they expect
// what Windows does: stand-ins built from Win32 itself.
#pragma once

#include "win32.h"

#ifdef _WIN32

inline DWORD MxOpenHandleCount(void) {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

#else

#include "win32_linux.h"

#endif
