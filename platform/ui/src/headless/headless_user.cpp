// The headless backend's user: queued actions that arrive as input messages in
// the active modal loop, and what a user reads back from the screen.
#include <algorithm>

#include "headless_node.h"

namespace ui {

HeadlessBackend::Node* HeadlessBackend::ActiveNode() const { return modal_.empty() ? nullptr : modal_.back().dialog; }

HeadlessBackend::Node* HeadlessBackend::Control(int id) const {
    Node* dialog = ActiveNode();
    if (dialog == nullptr || Find(dialog->Handle()) == nullptr) return nullptr;
    for (Node* child : dialog->children)
        if (child->id == id) return child;
    return nullptr;
}

// A control the mouse can reach: alive, shown and enabled in a shown dialog.
bool HeadlessBackend::Usable(const Node* node) const {
    return node != nullptr && Find(const_cast<Node*>(node)->Handle()) != nullptr && node->visible && node->enabled &&
           node->parent != nullptr && node->parent->visible;
}

bool HeadlessBackend::ActiveLoopEnded() const { return modal_.empty() || modal_.back().ended; }

bool HeadlessBackend::Deliver(Node* target, UINT message, WPARAM wParam) {
    Node* dialog = ActiveNode();
    if (dialog == nullptr || dialog->target == nullptr || modal_.back().ended) return false;
    MSG msg{};
    msg.hwnd = target ? target->Handle() : dialog->Handle();
    msg.message = message;
    msg.wParam = wParam;
    msg.time = now_;
    if (dialog->target->PreTranslateMessage(&msg)) return false;
    return Find(msg.hwnd) != nullptr;
}

void HeadlessBackend::Notify(Node* control, UINT code) {
    Node* dialog = DialogOf(control);
    if (dialog == nullptr || dialog->target == nullptr || Find(dialog->Handle()) == nullptr) return;
    dialog->target->WindowProc(WM_COMMAND, MAKEWPARAM(control->id, code), reinterpret_cast<LPARAM>(control->Handle()));
}

void HeadlessBackend::Scroll(Node* slider, UINT code) {
    Node* dialog = DialogOf(slider);
    if (dialog == nullptr || dialog->target == nullptr || Find(dialog->Handle()) == nullptr) return;
    const WORD position = (code == TB_THUMBTRACK || code == TB_THUMBPOSITION) ? static_cast<WORD>(slider->pos) : 0;
    dialog->target->WindowProc(WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(slider->Handle()));
}

void HeadlessBackend::ClickButton(Node* button) {
    const DWORD type = button->style & BS_TYPEMASK;
    if (type == BS_GROUPBOX) return;
    focus_ = button->Handle();
    if (type == BS_AUTOCHECKBOX) button->check = button->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    Notify(button, BN_CLICKED);
}

void HeadlessBackend::DropDown(Node* combo) {
    focus_ = combo->Handle();
    combo->droppedDown = true;
    Notify(combo, CBN_DROPDOWN);
}

void HeadlessBackend::CloseUp(Node* combo, int pickedIndex) {
    combo->droppedDown = false;
    const bool picked = pickedIndex >= 0 && static_cast<size_t>(pickedIndex) < combo->items.size();
    if (picked) combo->curSel = pickedIndex;
    Notify(combo, CBN_CLOSEUP);
    if (picked && Find(combo->Handle()) != nullptr) Notify(combo, CBN_SELCHANGE);
}

// --- actions ---

void HeadlessBackend::Click(int id) {
    Enqueue([this, id] {
        Node* control = Control(id);
        if (!Usable(control)) return;  // a click on a disabled or hidden control reaches nothing
        if (!Deliver(control, WM_LBUTTONDOWN, 0) || !Deliver(control, WM_LBUTTONUP, 0)) return;
        switch (control->controlClass) {
        case ControlClass::Button:
            ClickButton(control);
            break;
        case ControlClass::ComboBox:
            if (control->droppedDown)
                CloseUp(control, -1);
            else
                DropDown(control);
            break;
        case ControlClass::Static:
        case ControlClass::Trackbar:
            break;
        }
    });
}

void HeadlessBackend::PressKey(UINT virtualKey) {
    Enqueue([this, virtualKey] {
        Node* focus = Find(focus_);
        if (focus != nullptr && DialogOf(focus) != ActiveNode()) focus = nullptr;
        Deliver(focus, WM_KEYDOWN, virtualKey);
    });
}

void HeadlessBackend::TurnWheel(int id, int notches) {
    Enqueue([this, id, notches] {
        Node* target = id == 0 ? ActiveNode() : Control(id);
        if (target == nullptr || notches == 0) return;
        const short delta = static_cast<short>(std::clamp(notches, -270, 270) * WHEEL_DELTA);
        const bool overControl = target->kind == Node::Kind::Control;
        if (!Deliver(overControl ? target : nullptr, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)))) return;
        if (!overControl || !Usable(target)) return;
        // Turning away from the user moves a trackbar a line up (towards its
        // minimum) and a closed list to the previous item.
        const int step = notches > 0 ? -1 : 1;
        for (int n = 0; n < std::abs(notches); ++n) {
            if (target->controlClass == ControlClass::Trackbar) {
                target->pos = std::clamp(target->pos + step, target->rangeMin, target->rangeMax);
                Scroll(target, step < 0 ? TB_LINEUP : TB_LINEDOWN);
            } else if (target->controlClass == ControlClass::ComboBox && !target->droppedDown &&
                       !target->items.empty()) {
                const int last = static_cast<int>(target->items.size()) - 1;
                const int next = target->curSel < 0 ? 0 : std::clamp(target->curSel + step, 0, last);
                if (next != target->curSel) {
                    target->curSel = next;
                    Notify(target, CBN_SELCHANGE);
                }
            }
            if (Find(target->Handle()) == nullptr) return;
        }
        if (target->controlClass == ControlClass::Trackbar) Scroll(target, TB_ENDTRACK);
    });
}

void HeadlessBackend::DragSlider(int id, int position) {
    Enqueue([this, id, position] {
        Node* slider = Control(id);
        if (!Usable(slider) || slider->controlClass != ControlClass::Trackbar) return;
        if (!Deliver(slider, WM_LBUTTONDOWN, 0)) return;
        focus_ = slider->Handle();
        const int target = std::clamp(position, slider->rangeMin, slider->rangeMax);
        while (slider->pos != target && Find(slider->Handle()) != nullptr) {
            slider->pos += slider->pos < target ? 1 : -1;
            Scroll(slider, TB_THUMBTRACK);
        }
        if (Find(slider->Handle()) == nullptr || !Deliver(slider, WM_LBUTTONUP, 0)) return;
        Scroll(slider, TB_THUMBPOSITION);
        if (Find(slider->Handle()) != nullptr) Scroll(slider, TB_ENDTRACK);
    });
}

void HeadlessBackend::OpenDropDown(int id) {
    Enqueue([this, id] {
        Node* combo = Control(id);
        if (!Usable(combo) || combo->controlClass != ControlClass::ComboBox || combo->droppedDown) return;
        if (Deliver(combo, WM_LBUTTONDOWN, 0)) DropDown(combo);
    });
}

void HeadlessBackend::PickDropDownItem(int id, int index) {
    Enqueue([this, id, index] {
        Node* combo = Control(id);
        if (combo == nullptr || !combo->droppedDown) return;
        if (Deliver(combo, WM_LBUTTONUP, 0)) CloseUp(combo, index);
    });
}

void HeadlessBackend::CloseDropDown(int id) {
    Enqueue([this, id] {
        Node* combo = Control(id);
        if (combo == nullptr || !combo->droppedDown) return;
        if (Deliver(nullptr, WM_LBUTTONDOWN, 0)) CloseUp(combo, -1);
    });
}

void HeadlessBackend::PickItem(int id, int index) {
    OpenDropDown(id);
    PickDropDownItem(id, index);
}

void HeadlessBackend::Wait(DWORD milliseconds) {
    Enqueue([this, milliseconds] {
        const DWORD until = now_ + milliseconds;
        while (!ActiveLoopEnded()) {
            // The earliest timer that falls due by then; ties in creation order.
            const Timer* next = nullptr;
            for (const Timer& timer : timers_)
                if (static_cast<int32_t>(timer.due - until) <= 0 &&
                    (next == nullptr || static_cast<int32_t>(timer.due - next->due) < 0 ||
                     (timer.due == next->due && timer.serial < next->serial)))
                    next = &timer;
            if (next == nullptr) break;
            if (static_cast<int32_t>(next->due - now_) > 0) now_ = next->due;
            const HWND window = next->window;
            const UINT_PTR id = next->id;
            // Like the platform, a late timer fires once and then keeps its period from now.
            for (Timer& timer : timers_)
                if (timer.window == window && timer.id == id) timer.due = now_ + timer.period;
            Node* owner = DialogOf(Find(window));
            if (owner == nullptr || owner->target == nullptr) continue;
            MSG msg{};
            msg.hwnd = window;
            msg.message = WM_TIMER;
            msg.wParam = id;
            msg.time = now_;
            if (!owner->target->PreTranslateMessage(&msg) && Find(window) != nullptr)
                owner->target->WindowProc(WM_TIMER, id, 0);
        }
        if (static_cast<int32_t>(until - now_) > 0) now_ = until;
    });
}

void HeadlessBackend::Do(std::function<void()> step) { Enqueue(std::move(step)); }

// --- what the user sees ---

HWND HeadlessBackend::ActiveDialog() const {
    Node* dialog = ActiveNode();
    return dialog ? dialog->Handle() : nullptr;
}

HWND HeadlessBackend::Item(int id) const {
    Node* control = Control(id);
    return control ? control->Handle() : nullptr;
}

std::wstring HeadlessBackend::Title() const {
    Node* dialog = ActiveNode();
    return dialog ? dialog->text : std::wstring();
}

std::wstring HeadlessBackend::Text(int id) const {
    const Node* control = Control(id);
    return control ? control->text : std::wstring();
}

std::vector<std::wstring> HeadlessBackend::ControlTexts() const {
    std::vector<std::wstring> texts;
    if (const Node* dialog = ActiveNode())
        for (const Node* child : dialog->children) texts.push_back(child->text);
    return texts;
}

bool HeadlessBackend::IsEnabled(int id) const {
    const Node* control = Control(id);
    return control != nullptr && control->enabled;
}

bool HeadlessBackend::IsVisible(int id) const {
    const Node* control = Control(id);
    return control != nullptr && control->visible && control->parent->visible;
}

int HeadlessBackend::CheckState(int id) const {
    const Node* control = Control(id);
    return control ? control->check : BST_UNCHECKED;
}

std::vector<std::wstring> HeadlessBackend::Items(int id) const {
    std::vector<std::wstring> texts;
    if (const Node* control = Control(id))
        for (const Node::Item& item : control->items) texts.push_back(item.text);
    return texts;
}

std::vector<DWORD_PTR> HeadlessBackend::ItemData(int id) const {
    std::vector<DWORD_PTR> data;
    if (const Node* control = Control(id))
        for (const Node::Item& item : control->items) data.push_back(item.data);
    return data;
}

int HeadlessBackend::Selection(int id) const {
    const Node* control = Control(id);
    return control ? control->curSel : -1;
}

std::wstring HeadlessBackend::SelectedText(int id) const {
    const Node* control = Control(id);
    if (control == nullptr || control->curSel < 0) return std::wstring();
    return control->items[static_cast<size_t>(control->curSel)].text;
}

bool HeadlessBackend::IsDroppedDown(int id) const {
    const Node* control = Control(id);
    return control != nullptr && control->droppedDown;
}

int HeadlessBackend::SliderPos(int id) const {
    const Node* control = Control(id);
    return control ? control->pos : 0;
}

int HeadlessBackend::SliderMax(int id) const {
    const Node* control = Control(id);
    return control ? control->rangeMax : 0;
}

std::vector<int> HeadlessBackend::SliderTics(int id) const {
    const Node* control = Control(id);
    return control ? control->tics : std::vector<int>();
}

RECT HeadlessBackend::ClientRect(int id) const {
    const Node* control = Control(id);
    return control ? control->rect : RECT{0, 0, 0, 0};
}

std::vector<HWND> HeadlessBackend::ZOrder() const {
    std::vector<HWND> order;
    for (Node* node : topLevel_) order.push_back(node->Handle());
    return order;
}

std::wstring HeadlessBackend::WindowText(HWND window) const {
    const Node* node = Find(window);
    return node ? node->text : std::wstring();
}

bool HeadlessBackend::WindowVisible(HWND window) const {
    const Node* node = Find(window);
    return node != nullptr && node->visible;
}

DWORD HeadlessBackend::WindowStyle(HWND window) const {
    const Node* node = Find(window);
    return node ? node->style : 0;
}

HICON HeadlessBackend::WindowIcon(HWND window, bool big) const {
    const Node* node = Find(window);
    return node ? (big ? node->bigIcon : node->smallIcon) : nullptr;
}

bool HeadlessBackend::HasTimer(HWND window, UINT_PTR id) const {
    return std::any_of(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == window && t.id == id; });
}

size_t HeadlessBackend::TimerCount() const { return timers_.size(); }

}  // namespace ui
