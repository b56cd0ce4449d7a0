// The headless backend: windows and controls live in memory with their real
// positions, texts and states; nothing is drawn.
//
// A test plays the user by queueing steps before it starts the program: clicks,
// keys, wheel turns, slider drags, drop-down actions, time passing and checks of
// its own (Do). Each modal loop takes the steps in order, one at a time, and
// hands every input message to the dialog's PreTranslateMessage before the
// control's own behaviour, as the platform does. A modal loop that runs out of
// steps is ended by the backend (result -1) and ScriptExhausted() says so.
//
// Time is virtual: it passes only in Wait steps (which fire the timers that fall
// due, in order) and in Pause calls of the program (which fire nothing, like a
// sleeping user-interface thread). Message boxes are answered by a responder the
// test sets and recorded, as are shell "open" requests.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "ui/backend.h"

namespace ui {

struct MessageBoxRecord {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
    int answer;
    DWORD time;  // virtual time, ms
};

struct ShellOpenRecord {
    std::wstring file;
    std::wstring parameters;
    std::wstring directory;
    int showCommand;
};

struct DialogRecord {
    UINT templateId;
    HWND hwnd;
    std::wstring title;   // the last title it had
    bool shown = false;   // it became visible at some point
    bool ended = false;
    INT_PTR result = 0;
    bool endedByBackend = false;  // the steps ran out while it was running
};

class HeadlessBackend final : public Backend {
public:
    // Dialog base units of the dialog font (pixels per 4 horizontal and 8
    // vertical dialog units) and the screen the dialogs are centred on.
    static constexpr int kBaseUnitX = 6;
    static constexpr int kBaseUnitY = 13;
    static constexpr int kScreenWidth = 1920;
    static constexpr int kScreenHeight = 1080;
    // Distance of the first and last tick marks from a trackbar's left and right edges.
    static constexpr int kTrackbarInset = 13;

    HeadlessBackend();
    ~HeadlessBackend() override;
    HeadlessBackend(const HeadlessBackend&) = delete;
    HeadlessBackend& operator=(const HeadlessBackend&) = delete;

    // --- what a test sets up ---
    void SetUserLanguage(LANGID language) { language_ = language; }
    using MessageBoxResponder = std::function<int(const MessageBoxRecord&)>;
    // Null restores the default answer: the first button (OK or Yes).
    void SetMessageBoxResponder(MessageBoxResponder responder) { responder_ = std::move(responder); }
    // Called on every Pause with its length, before the virtual time moves.
    void SetPauseObserver(std::function<void(DWORD)> observer) { pauseObserver_ = std::move(observer); }
    // A visible top-level window of another program, put in front of the others.
    HWND AddForeignWindow(const std::wstring& title);

    // --- the user's actions, queued in order ---
    void Click(int id);                        // mouse click on control `id` of the active dialog
    void PressKey(UINT virtualKey);            // a key press on the focus window (VK_RETURN, VK_ESCAPE)
    void TurnWheel(int id, int notches);       // over control `id` (0: the dialog); positive turns away
    void DragSlider(int id, int position);     // press on the thumb, move to `position` step by step, release
    void OpenDropDown(int id);                 // click on a closed drop-down list
    void PickDropDownItem(int id, int index);  // click on item `index` of the open list
    void CloseDropDown(int id);                // click outside the open list: closes it without choosing
    void PickItem(int id, int index);          // OpenDropDown, then PickDropDownItem
    void Wait(DWORD milliseconds);             // let time pass
    void Do(std::function<void()> step);       // the test's own code at this point of the session
    size_t PendingSteps() const { return steps_.size(); }
    bool ScriptExhausted() const { return exhausted_; }

    // --- what the user sees (control ids refer to the active dialog) ---
    HWND ActiveDialog() const;
    HWND Item(int id) const;
    std::wstring Title() const;
    std::wstring Text(int id) const;
    std::vector<std::wstring> ControlTexts() const;  // every control, template order
    bool IsEnabled(int id) const;
    bool IsVisible(int id) const;
    int CheckState(int id) const;
    std::vector<std::wstring> Items(int id) const;
    std::vector<DWORD_PTR> ItemData(int id) const;
    int Selection(int id) const;               // -1 when nothing is selected
    std::wstring SelectedText(int id) const;   // what the closed drop-down list shows
    bool IsDroppedDown(int id) const;
    int SliderPos(int id) const;
    int SliderMax(int id) const;
    std::vector<int> SliderTics(int id) const;
    RECT ClientRect(int id) const;             // in the dialog's client coordinates, pixels
    HWND Focus() const { return focus_; }
    HWND Foreground() const { return foreground_; }
    std::vector<HWND> ZOrder() const;          // top-level windows, front first
    std::wstring WindowText(HWND window) const;
    bool WindowVisible(HWND window) const;
    DWORD WindowStyle(HWND window) const;
    HICON WindowIcon(HWND window, bool big) const;
    bool HasTimer(HWND window, UINT_PTR id) const;
    size_t TimerCount() const;
    DWORD Now() const { return now_; }
    DWORD CommonControlClasses() const { return commonControls_; }
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }
    const std::vector<ShellOpenRecord>& ShellOpens() const { return shellOpens_; }
    const std::vector<DialogRecord>& Dialogs() const { return dialogs_; }

    // --- Backend ---
    BOOL InitCommonControls(DWORD classes) override;
    LANGID GetUserDefaultUILanguage() override { return language_; }
    int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override;
    void ShellOpen(HWND owner, const std::wstring& file, const std::wstring& parameters, const std::wstring& directory,
                   int showCommand) override;
    HICON LoadAppIcon(UINT resourceId) override;
    void Pause(DWORD milliseconds) override;
    HWND CreateDialogFromTemplate(const DialogTemplate& dialogTemplate, HWND parent, WindowTarget* target) override;
    INT_PTR RunModalDialog(HWND dialog) override;
    void EndModalLoop(HWND dialog, INT_PTR result) override;
    BOOL IsDialogMessage(HWND dialog, MSG* msg) override;
    void DestroyWindow(HWND window) override;
    HWND GetDlgItem(HWND dialog, int id) override;
    BOOL IsChild(HWND parent, HWND window) override;
    void MapDialogRect(HWND dialog, RECT* rect) override;
    void SetFocus(HWND window) override;
    HWND GetFocus() override { return focus_; }
    std::wstring GetText(HWND window) override;
    void SetText(HWND window, const std::wstring& text) override;
    BOOL IsWindowEnabled(HWND window) override;
    void EnableWindow(HWND window, BOOL enable) override;
    BOOL IsWindowVisible(HWND window) override;
    void ShowWindow(HWND window, int showCommand) override;
    DWORD GetStyle(HWND window) override;
    void ModifyStyle(HWND window, DWORD remove, DWORD add) override;
    RECT GetWindowRect(HWND window) override;
    POINT ScreenToClient(HWND window, POINT point) override;
    void MoveWindow(HWND window, int x, int y, int width, int height) override;
    void SetIcon(HWND window, HICON icon, BOOL big) override;
    UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse) override;
    BOOL KillTimer(HWND window, UINT_PTR id) override;
    void EnumWindows(const std::function<bool(HWND)>& visit) override;
    void BringWindowToTop(HWND window) override;
    void SetForegroundWindow(HWND window) override;
    int GetCheck(HWND button) override;
    void SetCheck(HWND button, int check) override;
    int ComboAddString(HWND combo, const std::wstring& text) override;
    void ComboResetContent(HWND combo) override;
    int ComboGetCount(HWND combo) override;
    int ComboGetCurSel(HWND combo) override;
    int ComboSetCurSel(HWND combo, int index) override;
    DWORD_PTR ComboGetItemData(HWND combo, int index) override;
    int ComboSetItemData(HWND combo, int index, DWORD_PTR data) override;
    std::wstring ComboGetItemText(HWND combo, int index) override;
    void SliderSetRange(HWND slider, int minimum, int maximum) override;
    int SliderGetRangeMin(HWND slider) override;
    int SliderGetRangeMax(HWND slider) override;
    int SliderGetPos(HWND slider) override;
    void SliderSetPos(HWND slider, int position) override;
    void SliderClearTics(HWND slider) override;
    BOOL SliderSetTic(HWND slider, int position) override;
    int SliderGetTicPixel(HWND slider, int position) override;

private:
    struct Node;
    struct Timer;
    struct Modal {
        Node* dialog;
        bool ended;
        INT_PTR result;
    };

    Node* Find(HWND window) const;
    Node* ActiveNode() const;
    Node* Control(int id) const;
    Node* DialogOf(Node* node) const;
    bool Usable(const Node* node) const;
    int MapX(int dialogUnits) const;
    int MapY(int dialogUnits) const;
    void Enqueue(std::function<void()> step) { steps_.push_back(std::move(step)); }
    bool ActiveLoopEnded() const;
    // Hands a queued input message to the active dialog; true when the dialog did
    // not consume it, so the target window's own behaviour follows.
    bool Deliver(Node* target, UINT message, WPARAM wParam);
    void Notify(Node* control, UINT code);
    void Scroll(Node* slider, UINT code);
    void FocusFirstTabStop(Node* dialog);
    void ClickButton(Node* button);
    void DropDown(Node* combo);
    void CloseUp(Node* combo, int pickedIndex);

    std::vector<std::unique_ptr<Node>> nodes_;
    std::unordered_set<const Node*> alive_;
    std::vector<Node*> topLevel_;  // front first
    std::vector<Modal> modal_;
    std::vector<Timer> timers_;
    std::deque<std::function<void()>> steps_;
    std::vector<MessageBoxRecord> messageBoxes_;
    std::vector<ShellOpenRecord> shellOpens_;
    std::vector<DialogRecord> dialogs_;
    MessageBoxResponder responder_;
    std::function<void(DWORD)> pauseObserver_;
    HWND focus_ = nullptr;
    HWND foreground_ = nullptr;
    LANGID language_ = MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT);
    DWORD now_ = 0;
    DWORD commonControls_ = 0;
    uint64_t timerSerial_ = 0;
    bool exhausted_ = false;
};

}  // namespace ui
