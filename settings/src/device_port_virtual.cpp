// The variant of the settings program with a virtual unit behind the device
// port, for trying the dialogs where no kernel driver is installed.
//
// The units come from the environment variable MX_VIRTUAL_UNITS in the text
// form of unit_config.h (for example "1:rate=48000;2"). Without the variable
// unit 1 is present with its defaults; an empty value, or one that does not
// parse, leaves every unit absent, which shows the no-device dialog.
#include <vector>

#include "device_port_setup.h"
#include "virtual_unit/virtual_unit.h"

namespace settings {

namespace {

constexpr char kDefaultUnits[] = "1";
constexpr DWORD kMaxConfigurationChars = 64 * 1024;

vu::UnitSet UnitsFromEnvironment() {
    vu::UnitSet units;
    std::vector<char> text;
    ::SetLastError(ERROR_SUCCESS);
    const DWORD needed = ::GetEnvironmentVariableA(vu::kUnitsEnvironmentVariable, nullptr, 0);
    if (needed == 0) {
        if (::GetLastError() != ERROR_ENVVAR_NOT_FOUND) return units;  // empty: no unit
        text.assign(kDefaultUnits, kDefaultUnits + sizeof kDefaultUnits);
    } else {
        if (needed > kMaxConfigurationChars) return units;
        text.assign(needed, '\0');
        const DWORD copied = ::GetEnvironmentVariableA(vu::kUnitsEnvironmentVariable, text.data(), needed);
        if (copied == 0 || copied >= needed) return units;
    }
    vu::UnitSet parsed;
    if (vu::ParseUnitSet(text.data(), &parsed)) units = parsed;
    return units;
}

}  // namespace

void PrepareDevicePort() {
    // Lives until the process ends; the program closes every unit it opens
    // before then.
    static vu::VirtualUnit unit(UnitsFromEnvironment());
    DevPort_Install(&unit);
}

}  // namespace settings
