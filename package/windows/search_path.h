// The system's search path for programs as a list of folders separated by
// semicolons, and the two edits the installation makes to it: adding its
// installation folder and taking it out again.
//
// The driver starts the settings program and the launcher by file name alone,
// so the installation folder must be on the search path of every process.
#pragma once

#include <string>

namespace searchpath {

// Two entries name the same folder when they differ only in the case of ASCII
// letters, in trailing backslashes or in surrounding double quotes.
bool SameFolder(const std::wstring& entry, const std::wstring& folder);

// Appends `folder` unless an entry already names it. Returns true when the
// list changed. Every other entry stays exactly as it was.
bool AddFolder(std::wstring& list, const std::wstring& folder);

// Removes every entry that names `folder`. Returns true when the list changed.
// Every other entry, empty ones included, stays exactly as it was.
bool RemoveFolder(std::wstring& list, const std::wstring& folder);

}  // namespace searchpath
