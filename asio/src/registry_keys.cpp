#include "registry_keys.h"

#include <cstdio>
#include <cstring>

namespace registry {

namespace {

// "parent\name" into `path`; false when it does not fit.
bool JoinPath(char* path, size_t size, const char* parent, const char* name) {
    const int length = std::snprintf(path, size, "%s\\%s", parent, name);
    return length > 0 && static_cast<size_t>(length) < size;
}

constexpr size_t kPathChars = 512;
constexpr DWORD kSubKeyNameChars = 256;
// Registry keys nest at most 512 deep on Windows; the recursion never goes further.
constexpr int kMaxDepth = 512;

// Deletes `name` under the open key `parent` with all its subkeys, depth first.
// Answers the error of the first step that failed.
LSTATUS DeleteKeyRecursively(HKEY parent, const char* name, int depth) {
    if (depth > kMaxDepth) return ERROR_INVALID_PARAMETER;
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExA(parent, name, 0, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, &key);
    if (status != ERROR_SUCCESS) return status;
    for (;;) {
        char child[kSubKeyNameChars];
        DWORD length = kSubKeyNameChars;
        // Always index 0: each deleted subkey moves the next one into its place.
        if (RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        status = DeleteKeyRecursively(key, child, depth + 1);
        if (status != ERROR_SUCCESS) break;
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return status;
    return RegDeleteKeyA(parent, name);
}

}  // namespace

bool KeyExists(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool CreateSubKey(HKEY root, const char* parent, const char* name) {
    char path[kPathChars];
    if (!JoinPath(path, sizeof path, parent, name)) return false;
    if (KeyExists(root, path)) return true;
    HKEY parentKey = nullptr;
    if (RegOpenKeyExA(root, parent, 0, KEY_ALL_ACCESS, &parentKey) != ERROR_SUCCESS) return false;
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LSTATUS status = RegCreateKeyExA(parentKey, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                          nullptr, &key, &disposition);
    if (status == ERROR_SUCCESS) RegCloseKey(key);
    RegCloseKey(parentKey);
    return status == ERROR_SUCCESS;
}

bool WriteString(HKEY root, const char* path, const char* valueName, const char* text) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
    const LSTATUS status = RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                         static_cast<DWORD>(std::strlen(text) + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool ReadString(HKEY root, const char* path, const char* valueName, char* buffer) {
    buffer[0] = '\0';
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD size = 0;
    bool read = RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
                (type == REG_SZ || type == REG_EXPAND_SZ) && size < kReadLimit;
    if (read) {
        // The value may change between the two calls; the second is bounded by
        // the buffer, not by the first answer.
        size = kReadLimit - 1;
        read = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
                   ERROR_SUCCESS &&
               size < kReadLimit;
    }
    RegCloseKey(key);
    // A stored string need not end in a zero.
    if (read)
        buffer[size] = '\0';
    else
        buffer[0] = '\0';
    return read;
}

bool DeleteTree(HKEY root, const char* parent, const char* name) {
    HKEY parentKey = nullptr;
    if (RegOpenKeyExA(root, parent, 0, KEY_ALL_ACCESS, &parentKey) != ERROR_SUCCESS) return false;
    const LSTATUS status = DeleteKeyRecursively(parentKey, name, 0);
    RegCloseKey(parentKey);
    return status == ERROR_SUCCESS;
}

}  // namespace registry
