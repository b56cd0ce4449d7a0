// Texts of both dialogs: the string table with the model name filled in, the
// window title, message boxes and the README document.
#pragma once

#include <string>

#include "ui/wnd.h"

namespace settings {

// String `id` of the user's language with every "__MODEL__" replaced; false
// (and an empty text) when the table has no such string.
bool LoadProgramString(UINT id, std::wstring& text);

// The title of both dialogs: string 33088 with the model name; empty when the
// string is missing.
std::wstring WindowTitle();

// When `dialog` has control `controlId` and string `stringId` loads, sets the
// control's text to it and returns true; otherwise changes nothing.
bool SetTextFromTable(CWnd& dialog, int controlId, UINT stringId);

// A message box with string `id`, buttons `type` and no icon; returns the
// button pressed.
int ShowMessage(UINT id, UINT type = MB_OK);

// The README document of the user's language: the installation folder, a
// backslash and string 33095. Empty when the folder or the string is missing.
std::wstring GetReadmePath();

// The path is not empty and names an existing entry that is not a folder.
bool ReadmeExists();

// The README button of both dialogs: opens the document with the shell when it
// exists at the time of the click; does nothing otherwise.
void OpenReadme(HWND owner);

}  // namespace settings
