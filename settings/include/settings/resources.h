// The settings program's resources: dialog templates 136 and 187 and the string
// tables in eight languages (German, Spanish, French, Italian, Dutch and
// Portuguese for every region, English (United States), Japanese).
#pragma once

#include "ui/resources.h"

namespace settings {

const ui::ResourceSet& ProgramResources();

}  // namespace settings
