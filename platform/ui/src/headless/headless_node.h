// The in-memory window of the headless backend.
#pragma once

#include <string>
#include <vector>

#include "ui/headless.h"

namespace ui {

struct HeadlessBackend::Node {
    enum class Kind { Dialog, Control, Foreign };
    struct Item {
        std::wstring text;
        DWORD_PTR data = 0;
    };

    Kind kind = Kind::Control;
    ControlClass controlClass = ControlClass::Static;
    Node* parent = nullptr;
    std::vector<Node*> children;  // template order
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::wstring text;
    RECT rect{};  // controls: in the dialog's client coordinates; top-level: screen
    bool enabled = true;
    bool visible = false;
    int check = BST_UNCHECKED;
    // Combo box.
    std::vector<Item> items;
    int curSel = -1;
    bool droppedDown = false;
    // Trackbar.
    int rangeMin = 0;
    int rangeMax = 100;
    int pos = 0;
    std::vector<int> tics;
    // Dialog.
    WindowTarget* target = nullptr;
    size_t record = 0;  // index in dialogs_
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;

    HWND Handle() { return reinterpret_cast<HWND>(this); }
    bool IsPushButton() const {
        const DWORD type = style & BS_TYPEMASK;
        return controlClass == ControlClass::Button && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
    }
};

struct HeadlessBackend::Timer {
    HWND window;
    UINT_PTR id;
    UINT period;
    DWORD due;
    uint64_t serial;  // creation order breaks ties between timers due together
};

}  // namespace ui
