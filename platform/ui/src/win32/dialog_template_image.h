// The in-memory form of a dialog template that the window manager builds a
// dialog from: an extended dialog template (DLGTEMPLATEEX) followed by one
// extended item (DLGITEMTEMPLATEEX) per control, each item on a 32-bit boundary.
#pragma once

#include <vector>

#include "ui/resources.h"

namespace ui {

// The image as 16-bit words. The first word of the vector's storage is aligned
// for 32-bit access (the allocator gives at least that), which the window
// manager requires of a template in memory.
std::vector<WORD> BuildDialogTemplateImage(const DialogTemplate& dialogTemplate);

}  // namespace ui
