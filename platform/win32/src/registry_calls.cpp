// The A and W registry entry points: argument conversion around registry_api.cpp.
#include "registry_store.h"

#include <cstring>

namespace mx::reg {
namespace {

// A W argument as UTF-8, keeping NULL apart from "".
struct Utf8 {
    explicit Utf8(LPCWSTR text) : null(text == nullptr), value(text ? NarrowFromWide(text) : std::string()) {}
    const char* get() const { return null ? nullptr : value.c_str(); }
    bool null;
    std::string value;
};

// RegEnumKeyEx's output rules for either width: the name and its length without
// the zero; ERROR_MORE_DATA when the buffer cannot hold name and zero.
template <class Char>
LONG ReturnKeyName(const std::basic_string<Char>& found, Char* name, LPDWORD nameLen, Char* keyClass,
                   LPDWORD classLen, void* lastWriteTime) {
    if (*nameLen <= found.size()) return ERROR_MORE_DATA;
    std::memcpy(name, found.c_str(), (found.size() + 1) * sizeof(Char));
    *nameLen = static_cast<DWORD>(found.size());
    if (keyClass && classLen && *classLen > 0) keyClass[0] = 0;
    if (classLen) *classLen = 0;
    if (lastWriteTime) std::memset(lastWriteTime, 0, 8);  // FILETIME: no times are kept
    return ERROR_SUCCESS;
}

}  // namespace
}  // namespace mx::reg

using namespace mx::reg;

// Windows: opens an existing key below `key`; ERROR_FILE_NOT_FOUND if absent.
LSTATUS WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM, PHKEY result) {
    return OpenKey(key, subKey, result);
}

// Windows: wide form of RegOpenKeyExA.
LSTATUS WINAPI RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result) {
    return OpenKey(key, Utf8(subKey).get(), result);
}

// Windows: opens a key, creating it and any missing keys above it; the disposition
// tells which happened.
LSTATUS WINAPI RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES,
                               PHKEY result, LPDWORD disposition) {
    return CreateKey(key, subKey, result, disposition);
}

// Windows: wide form of RegCreateKeyExA.
LSTATUS WINAPI RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES,
                               PHKEY result, LPDWORD disposition) {
    return CreateKey(key, Utf8(subKey).get(), result, disposition);
}

// Windows: stores a value (NULL or "" names the default value).
LSTATUS WINAPI RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size) {
    return SetValue(key, valueName, type, data, size, false);
}

// Windows: wide form of RegSetValueExA; string data are wchar_t units.
LSTATUS WINAPI RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size) {
    return SetValue(key, Utf8(valueName).get(), type, data, size, true);
}

// Windows: reads a value; with NULL data only the type and size; ERROR_MORE_DATA
// with the needed size when the buffer is too small.
LSTATUS WINAPI RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                LPDWORD size) {
    return QueryValue(key, valueName, reserved, type, data, size, false);
}

// Windows: wide form of RegQueryValueExA; sizes of strings count wchar_t bytes.
LSTATUS WINAPI RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                LPDWORD size) {
    return QueryValue(key, Utf8(valueName).get(), reserved, type, data, size, true);
}

// Windows: the name of the index-th subkey; ERROR_NO_MORE_ITEMS past the last.
LSTATUS WINAPI RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLen, LPDWORD reserved, LPSTR keyClass,
                             LPDWORD classLen, void* lastWriteTime) {
    if (!name || !nameLen || reserved) return ERROR_INVALID_PARAMETER;
    std::string found;
    if (const LONG error = EnumKey(key, index, found)) return error;
    return ReturnKeyName(found, name, nameLen, keyClass, classLen, lastWriteTime);
}

// Windows: wide form of RegEnumKeyExA; lengths in characters.
LSTATUS WINAPI RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLen, LPDWORD reserved, LPWSTR keyClass,
                             LPDWORD classLen, void* lastWriteTime) {
    if (!name || !nameLen || reserved) return ERROR_INVALID_PARAMETER;
    std::string found;
    if (const LONG error = EnumKey(key, index, found)) return error;
    const std::wstring wide = mx::WideFromNarrow(found.data(), found.size());
    return ReturnKeyName(wide, name, nameLen, keyClass, classLen, lastWriteTime);
}

// Windows: deletes a key without subkeys (ERROR_ACCESS_DENIED when it has some).
LSTATUS WINAPI RegDeleteKeyA(HKEY key, LPCSTR subKey) { return DeleteKey(key, subKey); }

// Windows: wide form of RegDeleteKeyA.
LSTATUS WINAPI RegDeleteKeyW(HKEY key, LPCWSTR subKey) { return DeleteKey(key, Utf8(subKey).get()); }

// Windows: deletes one value; ERROR_FILE_NOT_FOUND if absent.
LSTATUS WINAPI RegDeleteValueA(HKEY key, LPCSTR valueName) { return DeleteValue(key, valueName); }

// Windows: wide form of RegDeleteValueA.
LSTATUS WINAPI RegDeleteValueW(HKEY key, LPCWSTR valueName) { return DeleteValue(key, Utf8(valueName).get()); }

// Windows: closes a key handle; closing a predefined root key succeeds and does nothing.
LSTATUS WINAPI RegCloseKey(HKEY key) { return CloseKey(key); }
