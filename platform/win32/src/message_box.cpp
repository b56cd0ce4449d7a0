// Message boxes. Without a screen, the caption and text go to standard error and
// the box answers with its default (first) button, as a user pressing Enter would;
// tests install a responder that sees the box and chooses the answer.
#include "kernel.h"
#include "win32_linux.h"

#include <cstdio>

namespace mx {
namespace {

struct Responder {
    std::mutex lock;
    MxMessageBoxResponder respond = nullptr;
    void* context = nullptr;
};

Responder& TheResponder() {
    static Responder* responder = new Responder;
    return *responder;
}

int DefaultAnswer(UINT type) {
    switch (type & 0xF) {
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDYES;
    case 0x2: return IDABORT;  // MB_ABORTRETRYIGNORE
    case 0x5: return IDRETRY;  // MB_RETRYCANCEL
    default: return IDOK;      // MB_OK, MB_OKCANCEL
    }
}

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    MxMessageBoxResponder respond;
    void* context;
    {
        std::lock_guard<std::mutex> guard(TheResponder().lock);
        respond = TheResponder().respond;
        context = TheResponder().context;
    }
    if (respond) return respond(context, owner, text.c_str(), caption.c_str(), type);
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    return DefaultAnswer(type);
}

}  // namespace
}  // namespace mx

// Windows: shows a modal message box and returns the button chosen.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return mx::ShowMessageBox(owner, text ? text : "", caption ? caption : "Error", type);
}

// Windows: wide form of MessageBoxA.
int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    return mx::ShowMessageBox(owner, text ? mx::NarrowFromWide(text) : "", caption ? mx::NarrowFromWide(caption) : "Error",
                              type);
}

// Linux only: routes message boxes to `responder` (NULL: standard error again).
void MxSetMessageBoxResponder(MxMessageBoxResponder responder, void* context) {
    std::lock_guard<std::mutex> guard(mx::TheResponder().lock);
    mx::TheResponder().respond = responder;
    mx::TheResponder().context = context;
}
