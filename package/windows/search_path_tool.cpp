// searchpath.exe: the installer's helper for the machine-wide search path.
//
//   searchpath.exe add <folder>
//   searchpath.exe remove <folder>
//
// Reads the machine's Path value, makes the edit, writes it back with its
// type kept (normally REG_EXPAND_SZ, so entries like %SystemRoot% keep
// working) and tells running programs that the environment changed. The
// value is handled whole, however long it is. Shows nothing; the exit status
// is 0 when done (or when nothing needed doing), 1 for bad arguments and 2
// when the registry refused a step.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "search_path.h"

namespace {

constexpr wchar_t kEnvironmentKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr wchar_t kPathValue[] = L"Path";

enum ExitStatus { kDone = 0, kBadArguments = 1, kRegistryFailed = 2 };

bool ReadPath(HKEY key, std::wstring& list, DWORD& type) {
    DWORD bytes = 0;
    LSTATUS status = RegQueryValueExW(key, kPathValue, nullptr, &type, nullptr, &bytes);
    if (status == ERROR_FILE_NOT_FOUND) {
        list.clear();
        type = REG_EXPAND_SZ;
        return true;
    }
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    status = RegQueryValueExW(key, kPathValue, nullptr, &type, reinterpret_cast<LPBYTE>(buffer.data()), &bytes);
    if (status != ERROR_SUCCESS) return false;
    // The stored text may or may not end with its zero; it ends at the first one.
    list.assign(buffer.data());
    return true;
}

bool WritePath(HKEY key, const std::wstring& list, DWORD type) {
    const DWORD bytes = static_cast<DWORD>((list.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, kPathValue, 0, type, reinterpret_cast<const BYTE*>(list.c_str()), bytes) ==
           ERROR_SUCCESS;
}

int Edit(bool add, const std::wstring& folder) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kEnvironmentKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_64KEY,
                      &key) != ERROR_SUCCESS)
        return kRegistryFailed;
    std::wstring list;
    DWORD type = REG_EXPAND_SZ;
    bool ok = ReadPath(key, list, type);
    bool changed = false;
    if (ok) {
        changed = add ? searchpath::AddFolder(list, folder) : searchpath::RemoveFolder(list, folder);
        if (changed) ok = WritePath(key, list, type);
    }
    RegCloseKey(key);
    if (!ok) return kRegistryFailed;
    if (changed) {
        // Programs started from now on by the shell see the new search path.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"),
                            SMTO_ABORTIFHUNG, 5000, &ignored);
    }
    return kDone;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (words == nullptr) return kBadArguments;
    int status = kBadArguments;
    if (count == 3 && words[2][0] != L'\0') {
        const std::wstring verb = words[1];
        if (verb == L"add") status = Edit(true, words[2]);
        else if (verb == L"remove") status = Edit(false, words[2]);
    }
    LocalFree(words);
    return status;
}
