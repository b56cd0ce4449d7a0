// Registration of the driver with COM and with ASIO hosts.
//
// Hosts find the driver under HKEY_LOCAL_MACHINE\SOFTWARE\ASIO\Calvera (its
// "CLSID" value) and create it through COM, which finds the library under
// HKEY_CLASSES_ROOT\CLSID\{class id}\InprocServer32. The library is expected in
// the system directory, so that is the path registered, not where this copy
// happens to be loaded from.
#include "registration.h"

#include <cstdio>
#include <cstring>

#include "build_variant.h"
#include "device/identity.h"
#include "registry_keys.h"
#include "win32.h"

namespace {

constexpr char kDescription[] = "Calvera";
constexpr size_t kPathChars = 512;

// The system directory, one trailing backslash removed, a backslash and this
// build's file name.
bool ModulePath(char* path, size_t size) {
    char directory[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    size_t end = length;
    if (directory[end - 1] == '\\') directory[--end] = '\0';
    const int written = std::snprintf(path, size, "%s\\%s", directory, DriverFileName());
    return written > 0 && static_cast<size_t>(written) < size;
}

// HKEY_CLASSES_ROOT\CLSID and HKEY_LOCAL_MACHINE\SOFTWARE exist on every Windows
// system; a fresh registry store of the Linux platform layer starts without
// them, and registration there creates them first.
bool EnsureSystemKey(HKEY root, const char* name) {
    if (registry::KeyExists(root, name)) return true;
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(root, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool SamePathIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        char x = *a;
        char y = *b;
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return *a == *b;
}

// HKEY_CLASSES_ROOT\CLSID\{class id}. A class already registered to another file
// (another copy of the library) is left as it is: that registration is someone
// else's. Our own, or one whose file cannot be read, is rewritten from scratch.
bool RegisterClassEntry(const char* modulePath) {
    const char* classId = device::kDriverClassIdString;
    char classKey[kPathChars];
    char serverKey[kPathChars];
    std::snprintf(classKey, sizeof classKey, "%s\\%s", "CLSID", classId);
    std::snprintf(serverKey, sizeof serverKey, "%s\\%s\\%s", "CLSID", classId, "InprocServer32");
    bool ok = true;
    if (registry::KeyExists(HKEY_CLASSES_ROOT, classKey)) {
        char registered[registry::kReadLimit];
        if (registry::ReadString(HKEY_CLASSES_ROOT, serverKey, nullptr, registered) &&
            !SamePathIgnoringCase(registered, modulePath))
            return true;
        ok = registry::DeleteTree(HKEY_CLASSES_ROOT, "CLSID", classId);
    }
    ok = registry::CreateSubKey(HKEY_CLASSES_ROOT, "CLSID", classId) && ok;
    ok = registry::WriteString(HKEY_CLASSES_ROOT, classKey, nullptr, kDescription) && ok;
    ok = registry::CreateSubKey(HKEY_CLASSES_ROOT, classKey, "InprocServer32") && ok;
    ok = registry::WriteString(HKEY_CLASSES_ROOT, serverKey, nullptr, modulePath) && ok;
    ok = registry::WriteString(HKEY_CLASSES_ROOT, serverKey, "ThreadingModel", "Apartment") && ok;
    return ok;
}

// HKEY_LOCAL_MACHINE\SOFTWARE\ASIO\Calvera, recreated so that nothing written
// there by hand survives a registration.
bool RegisterAsioEntry() {
    const char* name = device::kModelName;
    char asioKey[kPathChars];
    char driverKey[kPathChars];
    std::snprintf(asioKey, sizeof asioKey, "%s\\%s", "SOFTWARE", "ASIO");
    std::snprintf(driverKey, sizeof driverKey, "%s\\%s\\%s", "SOFTWARE", "ASIO", name);
    bool ok = true;
    if (registry::KeyExists(HKEY_LOCAL_MACHINE, asioKey)) {
        if (registry::KeyExists(HKEY_LOCAL_MACHINE, driverKey))
            ok = registry::DeleteTree(HKEY_LOCAL_MACHINE, asioKey, name);
    } else {
        ok = registry::CreateSubKey(HKEY_LOCAL_MACHINE, "SOFTWARE", "ASIO");
    }
    ok = registry::CreateSubKey(HKEY_LOCAL_MACHINE, asioKey, name) && ok;
    ok = registry::WriteString(HKEY_LOCAL_MACHINE, driverKey, "CLSID", device::kDriverClassIdString) && ok;
    ok = registry::WriteString(HKEY_LOCAL_MACHINE, driverKey, "Description", kDescription) && ok;
    return ok;
}

}  // namespace

// Every step runs even after one failed, so that as much as possible is in
// place; an installer still learns that the registration is incomplete.
HRESULT RegisterDriver() {
    char modulePath[kPathChars];
    const bool havePath = ModulePath(modulePath, sizeof modulePath);
    bool ok = havePath && EnsureSystemKey(HKEY_CLASSES_ROOT, "CLSID") && RegisterClassEntry(modulePath);
    ok = EnsureSystemKey(HKEY_LOCAL_MACHINE, "SOFTWARE") && RegisterAsioEntry() && ok;
    return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterDriver() {
    const char* classId = device::kDriverClassIdString;
    char classKey[kPathChars];
    std::snprintf(classKey, sizeof classKey, "%s\\%s", "CLSID", classId);
    bool ok = true;
    // Whatever file the class points to: unregistering takes the class away.
    if (registry::KeyExists(HKEY_CLASSES_ROOT, classKey)) ok = registry::DeleteTree(HKEY_CLASSES_ROOT, "CLSID", classId);

    char asioKey[kPathChars];
    char driverKey[kPathChars];
    std::snprintf(asioKey, sizeof asioKey, "%s\\%s", "SOFTWARE", "ASIO");
    std::snprintf(driverKey, sizeof driverKey, "%s\\%s\\%s", "SOFTWARE", "ASIO", device::kModelName);
    // SOFTWARE\ASIO itself stays, also when it becomes empty: other drivers and
    // hosts expect it.
    if (registry::KeyExists(HKEY_LOCAL_MACHINE, asioKey) && registry::KeyExists(HKEY_LOCAL_MACHINE, driverKey))
        ok = registry::DeleteTree(HKEY_LOCAL_MACHINE, asioKey, device::kModelName) && ok;
    return ok ? S_OK : SELFREG_E_CLASS;
}
