// A second process for the platform tests, driven by its arguments:
//   reg-write <key> <prefix> <count>   creates HKCU\<key> and writes DWORD values <prefix>0.. (one change each)
//   reg-read <key> <value>             prints the REG_SZ value of HKCU\<key>
//   mutex-hold <name>                  creates the named mutex, prints GetLastError() and waits to be killed
//   mutex-probe <name>                 exit 0 if the named mutex exists, 1 if not, 2 on another error
//   touch <file>                       creates the file
// The exit status is 0 on success, otherwise a Windows error code (or 100 for bad usage).
#include "win32.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

int RegWrite(const char* key, const char* prefix, int count) {
    HKEY hkey;
    if (LONG error = RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hkey, nullptr))
        return static_cast<int>(error);
    for (int i = 0; i < count; ++i) {
        const std::string name = prefix + std::to_string(i);
        const DWORD data = static_cast<DWORD>(i);
        if (LONG error = RegSetValueExA(hkey, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                        sizeof data))
            return static_cast<int>(error);
    }
    RegCloseKey(hkey);
    return 0;
}

int RegRead(const char* key, const char* value) {
    HKEY hkey;
    if (LONG error = RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &hkey)) return static_cast<int>(error);
    char text[360];
    DWORD size = sizeof text;
    LONG error = RegQueryValueExA(hkey, value, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(hkey);
    if (error) return static_cast<int>(error);
    std::printf("%.*s\n", static_cast<int>(strnlen(text, size)), text);
    return 0;
}

int MutexHold(const char* name) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    std::printf("%lu\n", mutex ? static_cast<unsigned long>(GetLastError()) : 0xFFFFFFFFul);
    std::fflush(stdout);
    for (;;) pause();
}

int MutexProbe(const char* name) {
    HANDLE mutex = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name);
    if (mutex) {
        CloseHandle(mutex);
        return 0;
    }
    return GetLastError() == ERROR_FILE_NOT_FOUND ? 1 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "reg-write" && argc == 5) return RegWrite(argv[2], argv[3], std::atoi(argv[4]));
    if (mode == "reg-read" && argc == 4) return RegRead(argv[2], argv[3]);
    if (mode == "mutex-hold" && argc == 3) return MutexHold(argv[2]);
    if (mode == "mutex-probe" && argc == 3) return MutexProbe(argv[2]);
    if (mode == "touch" && argc == 3) {
        FILE* file = std::fopen(argv[2], "w");
        return file && std::fclose(file) == 0 ? 0 : 1;
    }
    std::fprintf(stderr, "platform_child: bad usage\n");
    return 100;
}
