// Reading and driving another program's windows the way a user's tools do:
// window messages (posted, so that they pass through the program's own message
// loop like input does) and, for answers that come back through a pointer, a
// buffer inside the other process.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace probe {

// Polls `condition` every 20 ms until it holds or `timeoutMs` passes.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);

// The first visible top-level dialog whose title begins with `titlePrefix`,
// or null.
HWND FindDialog(const std::wstring& titlePrefix);
std::vector<HWND> FindDialogs(const std::wstring& titlePrefix);
// A visible message box (a dialog of the same process as `owner` that is not
// `owner`), or null.
HWND FindMessageBox(HWND owner);

std::wstring ClassName(HWND window);
// WM_GETTEXT, which the system carries across processes.
std::wstring Text(HWND window);
std::wstring ItemText(HWND dialog, int id);
// The texts of the static controls of a message box, joined by blanks.
std::wstring MessageBoxText(HWND box);

DWORD Style(HWND window);
DWORD ExStyle(HWND window);
LRESULT Query(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// Drop-down list contents, read through a buffer in the list's process.
std::vector<std::wstring> ComboItems(HWND combo);
std::vector<LRESULT> ComboData(HWND combo);
int ComboSelection(HWND combo);

// A trackbar's thumb rectangle in its client coordinates, and the horizontal
// pixel of the tick mark of a logical position (-1 when no tick has it).
RECT ThumbRect(HWND trackbar);
int TickPixel(HWND trackbar, int position);

// Input, posted to the window's queue.
void PostKey(HWND window, UINT virtualKey);
void PostClick(HWND button);
void PostWheel(HWND window, int notches);
// Presses on the thumb, moves to the tick of `position` and releases.
bool PostDrag(HWND trackbar, int position);

std::string Utf8(const std::wstring& text);

}  // namespace probe
