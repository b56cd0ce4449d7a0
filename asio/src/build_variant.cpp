#include "build_variant.h"

#include <cstdio>

#include "device/identity.h"

#ifndef MX_DRIVER_BUILD_32
#error "MX_DRIVER_BUILD_32 must be 0 (Mxsb4410) or 1 (Mxsa4410)"
#endif

// The settings program ignores its arguments; "DrvConfig 0" tells a person
// reading a process list who started it.
int FormatControlPanelCommand(char* buffer, size_t size) {
#if MX_DRIVER_BUILD_32
    return std::snprintf(buffer, size, "%s %s DrvConfig %d", device::kLauncherFile, device::kSettingsProgramFile, 0);
#else
    return std::snprintf(buffer, size, "%s DrvConfig %d", device::kSettingsProgramFile, 0);
#endif
}

const char* DriverFileName() {
#if MX_DRIVER_BUILD_32
    return device::kDriverFile32;
#else
    return device::kDriverFile64;
#endif
}

#ifndef MX_DRIVER_VIRTUAL_UNIT
// The shipped builds talk to the kernel driver as the device port finds it.
void PrepareDevicePort() {}
#endif
