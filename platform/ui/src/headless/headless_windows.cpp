// The headless backend's windows: creation from templates, the modal loop, the
// dialog manager's keys, window state, timers and the application services.
#include <algorithm>

#include "headless_node.h"

namespace ui {

namespace {

// MulDiv: a × b / c rounded half away from zero, as the platform scales dialog units.
int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

constexpr UINT kMinimumTimerPeriod = 10;  // USER_TIMER_MINIMUM

}  // namespace

HeadlessBackend::HeadlessBackend() = default;
HeadlessBackend::~HeadlessBackend() = default;

HeadlessBackend::Node* HeadlessBackend::Find(HWND window) const {
    Node* node = reinterpret_cast<Node*>(window);
    return window != nullptr && alive_.count(node) != 0 ? node : nullptr;
}

HeadlessBackend::Node* HeadlessBackend::DialogOf(Node* node) const {
    while (node != nullptr && node->kind == Node::Kind::Control) node = node->parent;
    return node;
}

int HeadlessBackend::MapX(int dialogUnits) const { return MulDiv(dialogUnits, kBaseUnitX, 4); }
int HeadlessBackend::MapY(int dialogUnits) const { return MulDiv(dialogUnits, kBaseUnitY, 8); }

// --- application services ---

BOOL HeadlessBackend::InitCommonControls(DWORD classes) {
    commonControls_ |= classes;
    return TRUE;
}

int HeadlessBackend::ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    MessageBoxRecord record{owner, text, caption, type, 0, now_};
    if (responder_) {
        record.answer = responder_(record);
    } else {
        const UINT buttons = type & 0xFu;
        record.answer = (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDYES : IDOK;
    }
    messageBoxes_.push_back(record);
    return record.answer;
}

void HeadlessBackend::ShellOpen(HWND, const std::wstring& file, const std::wstring& parameters,
                                const std::wstring& directory, int showCommand) {
    shellOpens_.push_back(ShellOpenRecord{file, parameters, directory, showCommand});
}

HICON HeadlessBackend::LoadAppIcon(UINT resourceId) {
    // Any value that is not null and names the resource serves as the handle.
    return reinterpret_cast<HICON>(static_cast<UINT_PTR>(0x10000u + resourceId));
}

void HeadlessBackend::Pause(DWORD milliseconds) {
    if (pauseObserver_) pauseObserver_(milliseconds);
    now_ += milliseconds;
}

// --- dialogs ---

HWND HeadlessBackend::CreateDialogFromTemplate(const DialogTemplate& dialogTemplate, HWND, WindowTarget* target) {
    nodes_.push_back(std::make_unique<Node>());
    Node* dialog = nodes_.back().get();
    dialog->kind = Node::Kind::Dialog;
    dialog->id = static_cast<int>(dialogTemplate.id);
    dialog->style = dialogTemplate.style & ~WS_VISIBLE;
    dialog->exStyle = dialogTemplate.exStyle;
    dialog->text = dialogTemplate.title ? dialogTemplate.title : L"";
    dialog->target = target;
    const int width = MapX(dialogTemplate.cx);
    const int height = MapY(dialogTemplate.cy);
    int left = MapX(dialogTemplate.x);
    int top = MapY(dialogTemplate.y);
    if (dialogTemplate.style & DS_CENTER) {
        left = (kScreenWidth - width) / 2;
        top = (kScreenHeight - height) / 2;
    }
    dialog->rect = RECT{left, top, left + width, top + height};
    alive_.insert(dialog);

    for (size_t i = 0; i < dialogTemplate.controlCount; ++i) {
        const ControlTemplate& source = dialogTemplate.controls[i];
        nodes_.push_back(std::make_unique<Node>());
        Node* control = nodes_.back().get();
        control->parent = dialog;
        control->controlClass = source.controlClass;
        control->id = source.id;
        control->style = source.style;
        control->text = source.text ? source.text : L"";
        const int x = MapX(source.x);
        const int y = MapY(source.y);
        control->rect = RECT{x, y, x + MapX(source.cx), y + MapY(source.cy)};
        control->enabled = (source.style & WS_DISABLED) == 0;
        control->visible = (source.style & WS_VISIBLE) != 0;
        for (size_t k = 0; k < source.initialItemCount; ++k)
            control->items.push_back(Node::Item{source.initialItems[k] ? source.initialItems[k] : L"", 0});
        dialog->children.push_back(control);
        alive_.insert(control);
    }

    topLevel_.insert(topLevel_.begin(), dialog);
    dialog->record = dialogs_.size();
    DialogRecord record;
    record.templateId = dialogTemplate.id;
    record.hwnd = dialog->Handle();
    record.title = dialog->text;
    dialogs_.push_back(record);
    return dialog->Handle();
}

INT_PTR HeadlessBackend::RunModalDialog(HWND window) {
    Node* dialog = Find(window);
    if (dialog == nullptr || dialog->kind != Node::Kind::Dialog || dialog->target == nullptr) return -1;
    const size_t level = modal_.size();
    modal_.push_back(Modal{dialog, false, 0});

    const LRESULT setFocus = dialog->target->WindowProc(WM_INITDIALOG, 0, 0);
    if (!modal_[level].ended && Find(window) != nullptr) {
        // A dialog ended while it initialised is never shown.
        dialog->visible = true;
        dialogs_[dialog->record].shown = true;
        BringWindowToTop(window);
        foreground_ = window;
        if (setFocus) FocusFirstTabStop(dialog);
    }
    while (!modal_[level].ended) {
        if (steps_.empty()) {
            exhausted_ = true;
            modal_[level].ended = true;
            modal_[level].result = -1;
            dialogs_[dialog->record].endedByBackend = true;
            break;
        }
        std::function<void()> step = std::move(steps_.front());
        steps_.pop_front();
        step();
    }
    const INT_PTR result = modal_[level].result;
    modal_.resize(level);
    DialogRecord& record = dialogs_[dialog->record];
    record.ended = true;
    record.result = result;
    return result;
}

void HeadlessBackend::EndModalLoop(HWND window, INT_PTR result) {
    for (size_t i = modal_.size(); i-- > 0;) {
        if (modal_[i].dialog->Handle() == window) {
            modal_[i].ended = true;
            modal_[i].result = result;
            return;
        }
    }
}

BOOL HeadlessBackend::IsDialogMessage(HWND window, MSG* msg) {
    Node* dialog = Find(window);
    if (dialog == nullptr || msg == nullptr || msg->message != WM_KEYDOWN) return FALSE;
    if (msg->wParam != VK_RETURN && msg->wParam != VK_ESCAPE) return FALSE;
    Node* focus = Find(focus_);
    if (focus != nullptr && focus->controlClass == ControlClass::ComboBox && focus->droppedDown) {
        // An open list takes both keys itself: it closes, keeping the selection.
        CloseUp(focus, -1);
        return TRUE;
    }
    if (msg->wParam == VK_ESCAPE) {
        Node* cancel = Find(GetDlgItem(window, IDCANCEL));
        dialog->target->WindowProc(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(cancel ? cancel->Handle() : nullptr));
        return TRUE;
    }
    // Enter: the focused push button, else the default push button, else IDOK.
    Node* button = (focus != nullptr && focus->parent == dialog && focus->IsPushButton()) ? focus : nullptr;
    if (button == nullptr) {
        for (Node* child : dialog->children)
            if (child->controlClass == ControlClass::Button && (child->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
                button = child;
                break;
            }
    }
    if (button != nullptr && !button->enabled) return TRUE;
    const int id = button != nullptr ? button->id : IDOK;
    dialog->target->WindowProc(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                               reinterpret_cast<LPARAM>(button ? button->Handle() : nullptr));
    return TRUE;
}

void HeadlessBackend::DestroyWindow(HWND window) {
    Node* node = Find(window);
    if (node == nullptr) return;
    if (node->kind == Node::Kind::Dialog) dialogs_[node->record].title = node->text;
    std::vector<Node*> doomed{node};
    for (Node* child : node->children) doomed.push_back(child);
    for (Node* gone : doomed) {
        alive_.erase(gone);
        const HWND handle = gone->Handle();
        timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == handle; }),
                      timers_.end());
        if (focus_ == handle) focus_ = nullptr;
        if (foreground_ == handle) foreground_ = nullptr;
    }
    topLevel_.erase(std::remove(topLevel_.begin(), topLevel_.end(), node), topLevel_.end());
}

HWND HeadlessBackend::GetDlgItem(HWND window, int id) {
    Node* dialog = Find(window);
    if (dialog == nullptr) return nullptr;
    for (Node* child : dialog->children)
        if (child->id == id) return child->Handle();
    return nullptr;
}

BOOL HeadlessBackend::IsChild(HWND parent, HWND window) {
    const Node* ancestor = Find(parent);
    const Node* node = Find(window);
    if (ancestor == nullptr || node == nullptr) return FALSE;
    for (node = node->parent; node != nullptr; node = node->parent)
        if (node == ancestor) return TRUE;
    return FALSE;
}

void HeadlessBackend::MapDialogRect(HWND, RECT* rect) {
    if (rect == nullptr) return;
    *rect = RECT{MapX(rect->left), MapY(rect->top), MapX(rect->right), MapY(rect->bottom)};
}

void HeadlessBackend::SetFocus(HWND window) {
    if (Find(window) != nullptr) focus_ = window;
}

void HeadlessBackend::FocusFirstTabStop(Node* dialog) {
    for (Node* child : dialog->children)
        if ((child->style & WS_TABSTOP) && child->visible && child->enabled) {
            focus_ = child->Handle();
            return;
        }
}

// --- any window ---

std::wstring HeadlessBackend::GetText(HWND window) {
    const Node* node = Find(window);
    if (node == nullptr) return std::wstring();
    if (node->controlClass == ControlClass::ComboBox && node->kind == Node::Kind::Control)
        return node->curSel >= 0 ? node->items[static_cast<size_t>(node->curSel)].text : std::wstring();
    return node->text;
}

void HeadlessBackend::SetText(HWND window, const std::wstring& text) {
    if (Node* node = Find(window)) node->text = text;
}

BOOL HeadlessBackend::IsWindowEnabled(HWND window) {
    const Node* node = Find(window);
    return node != nullptr && node->enabled;
}

void HeadlessBackend::EnableWindow(HWND window, BOOL enable) {
    Node* node = Find(window);
    if (node == nullptr) return;
    node->enabled = enable != FALSE;
    if (!node->enabled && node->droppedDown) node->droppedDown = false;
}

BOOL HeadlessBackend::IsWindowVisible(HWND window) {
    const Node* node = Find(window);
    if (node == nullptr || !node->visible) return FALSE;
    return node->parent == nullptr || node->parent->visible;
}

void HeadlessBackend::ShowWindow(HWND window, int showCommand) {
    if (Node* node = Find(window)) node->visible = showCommand != SW_HIDE;
}

DWORD HeadlessBackend::GetStyle(HWND window) {
    const Node* node = Find(window);
    if (node == nullptr) return 0;
    return (node->style & ~(WS_VISIBLE | WS_DISABLED)) | (node->visible ? WS_VISIBLE : 0u) |
           (node->enabled ? 0u : WS_DISABLED);
}

void HeadlessBackend::ModifyStyle(HWND window, DWORD remove, DWORD add) {
    if (Node* node = Find(window)) node->style = (node->style & ~remove) | add;
}

RECT HeadlessBackend::GetWindowRect(HWND window) {
    const Node* node = Find(window);
    if (node == nullptr) return RECT{0, 0, 0, 0};
    if (node->parent == nullptr) return node->rect;
    const RECT& origin = node->parent->rect;
    return RECT{origin.left + node->rect.left, origin.top + node->rect.top, origin.left + node->rect.right,
                origin.top + node->rect.bottom};
}

POINT HeadlessBackend::ScreenToClient(HWND window, POINT point) {
    const RECT frame = GetWindowRect(window);
    return POINT{point.x - frame.left, point.y - frame.top};
}

void HeadlessBackend::MoveWindow(HWND window, int x, int y, int width, int height) {
    if (Node* node = Find(window)) node->rect = RECT{x, y, x + width, y + height};
}

void HeadlessBackend::SetIcon(HWND window, HICON icon, BOOL big) {
    if (Node* node = Find(window)) (big ? node->bigIcon : node->smallIcon) = icon;
}

UINT_PTR HeadlessBackend::SetTimer(HWND window, UINT_PTR id, UINT elapse) {
    if (Find(window) == nullptr || id == 0) return 0;
    const UINT period = std::max(elapse, kMinimumTimerPeriod);
    for (Timer& timer : timers_)
        if (timer.window == window && timer.id == id) {
            timer.period = period;
            timer.due = now_ + period;
            return id;
        }
    timers_.push_back(Timer{window, id, period, now_ + period, timerSerial_++});
    return id;
}

BOOL HeadlessBackend::KillTimer(HWND window, UINT_PTR id) {
    const auto found =
        std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.window == window && t.id == id; });
    if (found == timers_.end()) return FALSE;
    timers_.erase(found);
    return TRUE;
}

// --- top-level windows ---

void HeadlessBackend::EnumWindows(const std::function<bool(HWND)>& visit) {
    const std::vector<Node*> snapshot = topLevel_;
    for (Node* node : snapshot)
        if (Find(node->Handle()) != nullptr && !visit(node->Handle())) return;
}

void HeadlessBackend::BringWindowToTop(HWND window) {
    Node* node = Find(window);
    if (node == nullptr || node->parent != nullptr) return;
    topLevel_.erase(std::remove(topLevel_.begin(), topLevel_.end(), node), topLevel_.end());
    topLevel_.insert(topLevel_.begin(), node);
}

void HeadlessBackend::SetForegroundWindow(HWND window) {
    Node* node = Find(window);
    if (node == nullptr || node->parent != nullptr) return;
    foreground_ = window;
    BringWindowToTop(window);
}

HWND HeadlessBackend::AddForeignWindow(const std::wstring& title) {
    nodes_.push_back(std::make_unique<Node>());
    Node* node = nodes_.back().get();
    node->kind = Node::Kind::Foreign;
    node->text = title;
    node->visible = true;
    node->rect = RECT{100, 100, 500, 400};
    alive_.insert(node);
    topLevel_.insert(topLevel_.begin(), node);
    return node->Handle();
}

}  // namespace ui
