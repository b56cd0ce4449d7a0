#include "device/paths.h"

#include <cstdio>

#include "device/identity.h"

namespace device {

bool FormatDevicePathA(char* buffer, size_t bufferChars, int unitNumber) {
    if (buffer == nullptr || bufferChars == 0) return false;
    const int written = std::snprintf(buffer, bufferChars, "\\\\.\\%s00%d", kDeviceBaseName, unitNumber);
    if (written < 0 || static_cast<size_t>(written) >= bufferChars) {
        buffer[0] = '\0';
        return false;
    }
    return true;
}

bool FormatDevicePathW(wchar_t* buffer, size_t bufferChars, int unitNumber) {
    // The path is plain ASCII, so widening the ANSI form character by character is
    // exact and independent of the width of wchar_t.
    char narrow[kDevicePathChars];
    if (buffer == nullptr || bufferChars == 0) return false;
    if (!FormatDevicePathA(narrow, sizeof narrow, unitNumber)) {
        buffer[0] = L'\0';
        return false;
    }
    size_t i = 0;
    for (; narrow[i] != '\0'; ++i) {
        if (i + 1 >= bufferChars) {
            buffer[0] = L'\0';
            return false;
        }
        buffer[i] = static_cast<wchar_t>(narrow[i]);
    }
    buffer[i] = L'\0';
    return true;
}

}  // namespace device
