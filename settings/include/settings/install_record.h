// The installation record the driver package's installation leaves in the
// registry: the installation folder (default value), "version" and "copyright".
// The program only reads it.
#pragma once

#include <cstddef>
#include <string>

#include "win32.h"

// A value must fit 360 bytes of UTF-16 text, terminating zero included: 180
// characters. A longer value counts as missing.
inline constexpr size_t kInstallValueChars = 180;

// CLSID\{installation record id}\<product id>, under HKEY_CLASSES_ROOT.
std::wstring InstallKeyPath();

// Reads string value `valueName` (null or empty: the default value) of the
// installation key. False when the key or value is missing, unreadable or too
// long; `value` is then empty.
bool ReadInstallValue(const wchar_t* valueName, std::wstring& value);
