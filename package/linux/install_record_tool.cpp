// mxinstallrecord: writes or removes the installation record the settings
// program reads, in the platform registry of this process (MX_REGISTRY_FILE
// chooses the shared file). The Linux installation runs it; on Windows the
// installer writes the same record itself.
//
//   mxinstallrecord write <installation folder> <version> <copyright>
//   mxinstallrecord remove
//
// The record is HKEY_CLASSES_ROOT\CLSID\{record id}\<product id> with the
// installation folder as its default value and the values "version" and
// "copyright", all strings. Removing deletes that key and then the record id's
// key when nothing else is left under it. Exit status 0 on success, 1 for bad
// arguments, 2 when the registry refused a step.
#include <cstdio>
#include <cstring>
#include <string>

#include "device/identity.h"
#include "win32.h"

namespace {

enum ExitStatus { kDone = 0, kBadArguments = 1, kRegistryFailed = 2 };

std::string RecordParentPath() { return std::string("CLSID\\") + device::kInstallRecordClassIdString; }
std::string RecordKeyPath() { return RecordParentPath() + "\\" + device::kInstallRecordId; }

// The settings program is a 32-bit program: it reads the classes root through
// the 32-bit view, so the record goes there.
constexpr REGSAM kRecordView = KEY_WOW64_32KEY;

bool SetString(HKEY key, const char* name, const char* text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text) + 1)) == ERROR_SUCCESS;
}

int WriteRecord(const char* folder, const char* version, const char* copyright) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, RecordKeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS | kRecordView, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return kRegistryFailed;
    const bool ok = SetString(key, nullptr, folder) && SetString(key, "version", version) &&
                    SetString(key, "copyright", copyright);
    RegCloseKey(key);
    return ok ? kDone : kRegistryFailed;
}

// Deletes `name` under `parentPath`; a key that is not there counts as deleted.
// With `onlyIfEmpty`, a key that still has subkeys is left alone.
bool DeleteKey(const std::string& parentPath, const char* name, bool onlyIfEmpty) {
    HKEY parent = nullptr;
    const LSTATUS opened = RegOpenKeyExA(HKEY_CLASSES_ROOT, parentPath.c_str(), 0, KEY_ALL_ACCESS | kRecordView, &parent);
    if (opened == ERROR_FILE_NOT_FOUND) return true;
    if (opened != ERROR_SUCCESS) return false;
    const LSTATUS deleted = RegDeleteKeyA(parent, name);
    RegCloseKey(parent);
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND ||
           (onlyIfEmpty && deleted == ERROR_ACCESS_DENIED);
}

int RemoveRecord() {
    const bool ok = DeleteKey(RecordParentPath(), device::kInstallRecordId, false) &&
                    DeleteKey("CLSID", device::kInstallRecordClassIdString, true);
    return ok ? kDone : kRegistryFailed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "write") == 0) return WriteRecord(argv[2], argv[3], argv[4]);
    if (argc == 2 && std::strcmp(argv[1], "remove") == 0) return RemoveRecord();
    std::fprintf(stderr,
                 "usage: mxinstallrecord write <installation folder> <version> <copyright>\n"
                 "       mxinstallrecord remove\n");
    return kBadArguments;
}
