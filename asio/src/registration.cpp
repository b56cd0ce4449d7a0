// Registration of the driver with COM and with ASIO hosts.
//
// Not filled in yet: both succeed without touching the registry.
#include "registration.h"

HRESULT RegisterDriver() { return S_OK; }
HRESULT UnregisterDriver() { return S_OK; }
