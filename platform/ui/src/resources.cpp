#include "ui/resources.h"

namespace ui {

namespace {

const StringTable* FindTable(const ResourceSet& resources, LANGID language) {
    for (size_t i = 0; i < resources.tableCount; ++i)
        if (resources.tables[i].language == language) return &resources.tables[i];
    return nullptr;
}

}  // namespace

const StringTable* ResolveStringTable(const ResourceSet& resources, LANGID language) {
    const LANGID candidates[] = {
        language,
        MAKELANGID(PRIMARYLANGID(language), SUBLANG_NEUTRAL),
        MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT),
        MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL),
    };
    for (LANGID candidate : candidates)
        if (const StringTable* table = FindTable(resources, candidate)) return table;
    return resources.tableCount > 0 ? &resources.tables[0] : nullptr;
}

const wchar_t* FindString(const StringTable& table, UINT id) {
    for (size_t i = 0; i < table.count; ++i)
        if (table.entries[i].id == id) return table.entries[i].text;
    return nullptr;
}

const DialogTemplate* FindDialogTemplate(const ResourceSet& resources, UINT id) {
    for (size_t i = 0; i < resources.dialogCount; ++i)
        if (resources.dialogs[i] != nullptr && resources.dialogs[i]->id == id) return resources.dialogs[i];
    return nullptr;
}

}  // namespace ui
