// The creation function of the driver object, as the class table names it.
#pragma once

#include "com_unknown.h"

// Allocates and constructs the driver object for `outer`. Answers its
// non-delegating unknown, or null when allocation fails. A missing unit does not
// make creation fail, so `*phr` is never written.
CUnknown* CreateDriverObject(IUnknown* outer, HRESULT* phr);
