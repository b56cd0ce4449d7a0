// What distinguishes the two builds of the driver: the 32-bit build starts the
// settings program through the launcher, the 64-bit build starts it directly;
// each registers its own file name. One small source, compiled once per build
// with MX_DRIVER_BUILD_32 set to 1 or 0, supplies them.
#pragma once

#include <cstddef>

// Formats the command line controlPanel hands to the program launcher into
// `buffer`; answers the length written, or a negative value on failure.
int FormatControlPanelCommand(char* buffer, size_t size);

// The file name this build registers ("Mxsa4410.dll" or "Mxsb4410.dll").
const char* DriverFileName();

// Called once at the library's process attach, before any driver object exists.
// Does nothing in the shipped builds; the virtual-unit builds put their unit
// behind the device port here (virtual_unit_setup.cpp).
void PrepareDevicePort();
