// The device port of the driver's virtual-unit build (Mxsb4410-vu.dll,
// Mxsa4410-vu.dll): a virtual unit stands where the kernel driver would be, so
// hosts and the session tool can stream on a machine without the device.
//
// On Windows the device port is a static library inside each module, so only
// the driver module itself can put a unit behind its own port; the library's
// process attach does it, before any driver object exists. Once loaded, the
// library stays loaded until the process ends (see below).
//
// The units come from the environment variable MX_VIRTUAL_UNITS in the text form
// of unit_config.h. Without the variable unit 1 is present, feeds its outputs
// back to its inputs and runs on the real-time clock, which is what a host needs
// to stream; an empty value, or one that does not parse, leaves every unit
// absent, which is the driver without a device.
#include "build_variant.h"
#include "win32.h"
#include "virtual_unit/virtual_unit.h"

namespace {

constexpr char kDefaultUnits[] = "1:source=loop,clock=rt";

}  // namespace

void PrepareDevicePort() {
    // The unit's clock thread, once started, lives as long as the unit. Ending
    // it while the library is being unloaded would wait for a thread under the
    // loader's lock, which that thread needs to exit; so the library stays in
    // the process once loaded (pinned), and the unit with it: made once, at the
    // first process attach (the loader serialises those), and never destroyed.
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&PrepareDevicePort)), &self);
    static vu::VirtualUnit* const unit = new vu::VirtualUnit(vu::UnitsFromEnvironment(kDefaultUnits));
    DevPort_Install(unit);
}
