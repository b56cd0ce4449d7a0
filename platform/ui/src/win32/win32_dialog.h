// What the Win32 backend keeps of each dialog it created.
#pragma once

#include "ui/win32_backend.h"

namespace ui {

struct Win32Backend::Dialog {
    HWND hwnd = nullptr;
    WindowTarget* target = nullptr;
    // The dialog object sees its window messages only from the start of its
    // modal run: the window manager sends some while it builds the dialog, before
    // the object is ready for them (WM_INITDIALOG among them, which the object
    // receives from RunModalDialog instead).
    bool delivering = false;
};

}  // namespace ui
