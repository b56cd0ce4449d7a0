// Resources a program hands to the dialog framework: dialog templates and string
// tables, as plain data that every backend builds from.
#pragma once

#include <cstddef>

#include "ui/wintypes.h"

namespace ui {

// The window class of a template control.
enum class ControlClass { Button, Static, ComboBox, Trackbar };

// One control of a dialog template; position and size in dialog units.
struct ControlTemplate {
    ControlClass controlClass;
    int id;  // -1 for controls the program never addresses
    DWORD style;
    const wchar_t* text;
    int x, y, cx, cy;
    const wchar_t* const* initialItems = nullptr;  // combo boxes: the template's item data
    size_t initialItemCount = 0;
};

// A dialog template: size in dialog units, font, styles, title and controls in
// template (tab) order.
struct DialogTemplate {
    UINT id;
    DWORD style;
    DWORD exStyle;
    int x, y, cx, cy;
    const wchar_t* fontName;
    int fontPointSize;
    const wchar_t* title;
    const ControlTemplate* controls;
    size_t controlCount;
};

struct StringEntry {
    UINT id;
    const wchar_t* text;
};

// The string table of one language. `language` is the identifier the table is
// stored under: a full identifier (for example 1033) or a primary language with
// SUBLANG_NEUTRAL, which then serves every regional variant of that language.
struct StringTable {
    LANGID language;
    const StringEntry* entries;
    size_t count;
};

struct ResourceSet {
    const StringTable* tables;
    size_t tableCount;
    const DialogTemplate* const* dialogs;
    size_t dialogCount;
};

// The table the platform's resource lookup takes for a user-interface language:
// the table stored under the exact identifier, else the one stored under the
// primary language alone, else English (United States), else English of any
// region, else the first table. Null only for a set without tables.
const StringTable* ResolveStringTable(const ResourceSet& resources, LANGID language);

// The text of `id` in `table`, or null when the table has none.
const wchar_t* FindString(const StringTable& table, UINT id);

const DialogTemplate* FindDialogTemplate(const ResourceSet& resources, UINT id);

}  // namespace ui
