// AsioOurs: reset requests to the host, the change flags that decide them, and
// the unit's status messages.
//
// Not filled in yet: no change is ever pending and no request reaches the host.
#include "asio_ours.h"

int AsioOurs::callAsioResetRequest() { return 0; }

void AsioOurs::AsioReset() {}

BOOL AsioOurs::HasPendingChange() { return FALSE; }

void AsioOurs::RecheckChanges() {}

// Streaming thread, on the status event.
void AsioOurs::PollStatus() {}
