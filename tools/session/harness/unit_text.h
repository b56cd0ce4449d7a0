// A unit set written back in the text form ParseUnitSet reads (unit_config.h).
//
// On Windows the driver library has a device port of its own, which this
// process cannot reach; its virtual-unit build reads its units from
// MX_VIRTUAL_UNITS when it is loaded, so the session hands them over in this
// form. Only the keys a session's units use are written: presence, channels,
// width, buffer sizes, latencies, rates, buffer position, source, loopback delay
// and clock; the rest keep the defaults.
#pragma once

#include <string>

#include "virtual_unit/unit_config.h"

namespace session {

std::string FormatUnitSet(const vu::UnitSet& units);

}  // namespace session
