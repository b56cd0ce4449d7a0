// Registration of the driver with COM and with ASIO hosts.
#pragma once

#include "com.h"

HRESULT RegisterDriver();
HRESULT UnregisterDriver();
