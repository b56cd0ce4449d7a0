// Identity of the driver class as COM and ASIO hosts see it.
#pragma once

#include "com.h"

// {5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}: the class id, which hosts also pass as
// the interface id when they ask for IASIO.
inline constexpr GUID kDriverClassId = {0x5B3E0C71, 0x7A24, 0x4D19, {0x8E, 0x62, 0x0F, 0x4A, 0x9C, 0x2D, 0x7B, 0x35}};
