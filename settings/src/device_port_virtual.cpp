// The variant of the settings program with a virtual unit behind the device
// port, for trying the dialogs where no kernel driver is installed.
//
// The units come from the environment variable MX_VIRTUAL_UNITS in the text
// form of unit_config.h (for example "1:rate=48000;2"). Without the variable
// unit 1 is present with its defaults; an empty value, or one that does not
// parse, leaves every unit absent, which shows the no-device dialog.
#include "device_port_setup.h"
#include "virtual_unit/virtual_unit.h"

namespace settings {

namespace {

constexpr char kDefaultUnits[] = "1";

}  // namespace

void PrepareDevicePort() {
    // Lives until the process ends; the program closes every unit it opens
    // before then.
    static vu::VirtualUnit unit(vu::UnitsFromEnvironment(kDefaultUnits));
    DevPort_Install(&unit);
}

}  // namespace settings
