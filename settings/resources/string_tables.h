// The string tables of the settings program, one per language, each in its own
// file so that a translator works on one file.
#pragma once

#include <cstddef>

#include "settings/resource.h"
#include "ui/resources.h"

namespace settings::resources {

#define SETTINGS_DECLARE_STRING_TABLE(name)  \
    extern const ui::StringEntry name[];     \
    extern const size_t name##Count;         \
    extern const LANGID name##Language;

SETTINGS_DECLARE_STRING_TABLE(kStringsGerman)
SETTINGS_DECLARE_STRING_TABLE(kStringsSpanish)
SETTINGS_DECLARE_STRING_TABLE(kStringsFrench)
SETTINGS_DECLARE_STRING_TABLE(kStringsItalian)
SETTINGS_DECLARE_STRING_TABLE(kStringsDutch)
SETTINGS_DECLARE_STRING_TABLE(kStringsPortuguese)
SETTINGS_DECLARE_STRING_TABLE(kStringsEnglish)
SETTINGS_DECLARE_STRING_TABLE(kStringsJapanese)

#undef SETTINGS_DECLARE_STRING_TABLE

extern const ui::DialogTemplate kMainDialogTemplate;
extern const ui::DialogTemplate kNoDeviceDialogTemplate;

}  // namespace settings::resources
