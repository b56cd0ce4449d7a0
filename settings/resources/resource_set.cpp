#include "settings/resources.h"

#include "string_tables.h"

namespace settings {

namespace {

using namespace resources;

// Built on first use: the tables are defined in other files, so their sizes are
// not constants here.
struct Tables {
    ui::StringTable tables[8];
    const ui::DialogTemplate* dialogs[2];
    ui::ResourceSet set;

    Tables()
        : tables{
              {kStringsGermanLanguage, kStringsGerman, kStringsGermanCount},
              {kStringsSpanishLanguage, kStringsSpanish, kStringsSpanishCount},
              {kStringsFrenchLanguage, kStringsFrench, kStringsFrenchCount},
              {kStringsItalianLanguage, kStringsItalian, kStringsItalianCount},
              {kStringsDutchLanguage, kStringsDutch, kStringsDutchCount},
              {kStringsPortugueseLanguage, kStringsPortuguese, kStringsPortugueseCount},
              {kStringsEnglishLanguage, kStringsEnglish, kStringsEnglishCount},
              {kStringsJapaneseLanguage, kStringsJapanese, kStringsJapaneseCount},
          },
          dialogs{&kMainDialogTemplate, &kNoDeviceDialogTemplate},
          set{tables, 8, dialogs, 2} {}
};

}  // namespace

const ui::ResourceSet& ProgramResources() {
    static const Tables tables;
    return tables.set;
}

}  // namespace settings
