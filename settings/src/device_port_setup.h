// What stands behind the device port while the settings program runs on
// Windows: the kernel driver itself in the shipped program, a virtual unit in
// the variant built for trying the dialogs on a machine without one.
#pragma once

namespace settings {

// Called once at start, before anything opens a unit.
void PrepareDevicePort();

}  // namespace settings
