#include "settings/install_record.h"

#include <algorithm>

#include "device/identity.h"

namespace {

std::wstring WidenAscii(const char* text) {
    std::wstring wide;
    for (const char* p = text; *p != '\0'; ++p) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    return wide;
}

}  // namespace

std::wstring InstallKeyPath() {
    return L"CLSID\\" + WidenAscii(device::kInstallRecordClassIdString) + L"\\" + WidenAscii(device::kInstallRecordId);
}

bool ReadInstallValue(const wchar_t* valueName, std::wstring& value) {
    value.clear();
    HKEY key = nullptr;
    // A 32-bit program's view of the classes root, whatever the build's width.
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, InstallKeyPath().c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key) !=
        ERROR_SUCCESS)
        return false;

    WCHAR buffer[kInstallValueChars] = {};
    DWORD type = 0;
    DWORD size = 0;
    bool ok = RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
              size < sizeof buffer;
    if (ok) {
        size = sizeof buffer;
        ok = RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &size) ==
             ERROR_SUCCESS;
    }
    RegCloseKey(key);
    if (!ok) return false;
    // The registry does not promise a terminating zero: the text ends at the
    // first zero or with the bytes read, and never beyond the buffer.
    const size_t chars = std::min<size_t>(size / sizeof(WCHAR), kInstallValueChars - 1);
    buffer[chars] = L'\0';
    value.assign(buffer);
    return true;
}
