#include "device_port_setup.h"

namespace settings {

// The port is the operating system's from the start: units are the kernel
// driver's device objects.
void PrepareDevicePort() {}

}  // namespace settings
