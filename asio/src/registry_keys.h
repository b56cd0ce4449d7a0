// The registry operations of the driver's registration. Each takes a root key
// and paths relative to it, and opens and closes its own handles.
#pragma once

#include <cstddef>

#include "win32.h"

namespace registry {

// Values read by ReadString must be shorter than this many bytes.
inline constexpr DWORD kReadLimit = 360;

bool KeyExists(HKEY root, const char* path);
// parent\name, created when missing; true when it exists afterwards.
bool CreateSubKey(HKEY root, const char* parent, const char* name);
// A REG_SZ value with its terminating zero; valueName null is the default value.
bool WriteString(HKEY root, const char* path, const char* valueName, const char* text);
// A string value of fewer than kReadLimit bytes into `buffer` (kReadLimit bytes),
// always zero-terminated; false when it is missing, too long or no string.
bool ReadString(HKEY root, const char* path, const char* valueName, char* buffer);
// parent\name with every key below it; true when the deletion succeeded.
bool DeleteTree(HKEY root, const char* parent, const char* name);

}  // namespace registry
