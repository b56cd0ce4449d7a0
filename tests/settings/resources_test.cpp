// The program's resources: the eight string tables against each other and the
// English texts, the language each user language gets, and the two templates.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "settings/resource.h"
#include "settings/resources.h"
#include "ui/resources.h"

namespace {

const ui::ResourceSet& Resources() { return settings::ProgramResources(); }

const ui::StringTable& TableOf(LANGID language) {
    for (size_t i = 0; i < Resources().tableCount; ++i)
        if (Resources().tables[i].language == language) return Resources().tables[i];
    static const ui::StringTable kNone = {0, nullptr, 0};
    return kNone;
}

std::wstring Text(const ui::StringTable& table, UINT id) {
    const wchar_t* text = ui::FindString(table, id);
    return text ? text : L"<missing>";
}

// The printf conversions of a text, in order ("%5d", "%%", ...).
std::vector<std::wstring> Conversions(const std::wstring& text) {
    std::vector<std::wstring> found;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%') continue;
        size_t j = i + 1;
        while (j < text.size() && std::wstring(L"-+ #0123456789.").find(text[j]) != std::wstring::npos) ++j;
        found.push_back(text.substr(i, j + 1 - i));
        i = j;
    }
    return found;
}

size_t Count(const std::wstring& text, const std::wstring& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

const LANGID kLanguages[] = {
    MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL),  MAKELANGID(LANG_SPANISH, SUBLANG_NEUTRAL),
    MAKELANGID(LANG_FRENCH, SUBLANG_NEUTRAL),  MAKELANGID(LANG_ITALIAN, SUBLANG_NEUTRAL),
    MAKELANGID(LANG_DUTCH, SUBLANG_NEUTRAL),   MAKELANGID(LANG_PORTUGUESE, SUBLANG_NEUTRAL),
    MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT),
};

TEST(StringTables, EightTablesUnderTheirLanguageIdentifiers) {
    ASSERT_EQ(Resources().tableCount, 8u);
    std::set<LANGID> stored;
    for (size_t i = 0; i < Resources().tableCount; ++i) stored.insert(Resources().tables[i].language);
    EXPECT_EQ(stored, std::set<LANGID>(std::begin(kLanguages), std::end(kLanguages)));
}

TEST(StringTables, EveryTableHoldsTheSameIdsOnce) {
    std::set<UINT> all;
    for (size_t i = 0; i < Resources().tableCount; ++i)
        for (size_t k = 0; k < Resources().tables[i].count; ++k) all.insert(Resources().tables[i].entries[k].id);
    for (size_t i = 0; i < Resources().tableCount; ++i) {
        const ui::StringTable& table = Resources().tables[i];
        SCOPED_TRACE(testing::Message() << "table 0x" << std::hex << table.language);
        std::multiset<UINT> ids;
        for (size_t k = 0; k < table.count; ++k) {
            ids.insert(table.entries[k].id);
            EXPECT_NE(std::wstring(table.entries[k].text).size(), 0u) << "string " << std::dec << table.entries[k].id;
        }
        EXPECT_EQ(std::set<UINT>(ids.begin(), ids.end()), all);
        EXPECT_EQ(ids.size(), all.size()) << "an id appears twice";
    }
}

TEST(StringTables, EveryIdTheDialogsUseExists) {
    static const UINT kUsed[] = {
        IDS_APP_TITLE, IDS_TITLE, IDS_CONNECT_DEVICE, IDS_DEVICE_IN_USE, IDS_POWER_CYCLE, IDS_APPLY_CHANGES,
        IDS_VERSION_LINE, IDS_COPYRIGHT, IDS_README_PATH, IDS_NOT_CONNECTED, IDS_AUDIO_BUFFER_SIZE, IDS_MIN, IDS_MAX,
        IDS_PERFORMANCE, IDS_REAL_TIME, IDS_STABILITY, IDS_WINSOUND_SETTING, IDS_MATCH_ASIO_RATE, IDS_ASIO_SETTING,
        IDS_ASIO_BUFFER_SIZE, IDS_ASIO_CREDIT, IDS_SHOW_README, IDS_CLOSE, IDS_REVERT, IDS_APPLY, IDS_DEFAULT, IDS_OK,
        IDS_BUFFER_LINE, IDS_NO_RATE_LINE,
    };
    for (LANGID language : kLanguages)
        for (UINT id : kUsed)
            EXPECT_NE(ui::FindString(TableOf(language), id), nullptr)
                << "string " << id << " in table 0x" << std::hex << language;
}

TEST(StringTables, EnglishTextsAreExact) {
    static const std::map<UINT, std::wstring> kEnglish = {
        {57344, L" "},
        {33088, L"__MODEL__ Driver Settings"},
        {33089, L"To make settings, connect the device and then execute once again."},
        {33090, L"Device currently used by another application.\nTo have settings take effect, quit all such "
                L"applications, then restart the application."},
        {33091, L"To have settings changes take effect, switch the power off, then on again."},
        {32912, L"Apply configuration changes?"},
        {33093, L"__MODEL__ Driver __VERSION__"},
        {33095, L"Readme\\Readme_EN.htm"},
        {33100, L"The device is not connected.\nPlease connect the device before you execute."},
        {33101, L"Audio Buffer Size"},
        {33102, L"Min."},
        {33103, L"Max."},
        {33128, L"Audio Streaming Performance"},
        {33124, L"Real Time:"},
        {33125, L"Stability:"},
        {33134, L"Windows sound Setting"},
        {33135, L"Match with the ASIO sample rate"},
        {33108, L"ASIO Setting"},
        {32943, L"ASIO Buffer Size:"},
        {33111, L"ASIO Technology by\nSteinberg Media Technologies GmbH"},
        {33117, L"Show \"README\""},
        {32937, L"Close"},
        {32938, L"Revert"},
        {33116, L"Apply"},
        {129, L"Default"},
        {33114, L"OK"},
        {32957, L"%5d samples (%6d Hz)"},
        {33136, L"--- samples (--- Hz)"},
    };
    const ui::StringTable& english = TableOf(MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT));
    for (const auto& [id, text] : kEnglish) EXPECT_EQ(Text(english, id), text) << "string " << id;
}

TEST(StringTables, TranslationsKeepPlaceholdersConversionsAndLineBreaks) {
    const ui::StringTable& english = TableOf(MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT));
    for (LANGID language : kLanguages) {
        const ui::StringTable& table = TableOf(language);
        for (size_t k = 0; k < english.count; ++k) {
            const UINT id = english.entries[k].id;
            const std::wstring source = english.entries[k].text;
            const std::wstring translated = Text(table, id);
            SCOPED_TRACE(testing::Message() << "string " << id << " in table 0x" << std::hex << language);
            EXPECT_EQ(Conversions(translated), Conversions(source));
            EXPECT_EQ(Count(translated, L"__MODEL__"), Count(source, L"__MODEL__"));
            EXPECT_EQ(Count(translated, L"__VERSION__"), Count(source, L"__VERSION__"));
            EXPECT_EQ(Count(translated, L"\n"), Count(source, L"\n"));
        }
        EXPECT_EQ(Text(table, IDS_APP_TITLE), L" ") << "every message box has a blank caption";
    }
}

TEST(StringTables, ReadmePathPerLanguage) {
    static const struct {
        LANGID language;
        const wchar_t* path;
    } kCases[] = {
        {MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL), L"Readme\\Readme_DE.htm"},
        {MAKELANGID(LANG_SPANISH, SUBLANG_NEUTRAL), L"Readme\\Readme_ES.htm"},
        {MAKELANGID(LANG_FRENCH, SUBLANG_NEUTRAL), L"Readme\\Readme_FR.htm"},
        {MAKELANGID(LANG_ITALIAN, SUBLANG_NEUTRAL), L"Readme\\Readme_IT.htm"},
        {MAKELANGID(LANG_DUTCH, SUBLANG_NEUTRAL), L"Readme\\Readme_NL.htm"},
        {MAKELANGID(LANG_PORTUGUESE, SUBLANG_NEUTRAL), L"Readme\\Readme_PT.htm"},
        {MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), L"Readme\\Readme_EN.htm"},
        {MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), L"Readme\\Readme_JP.htm"},
    };
    for (const auto& c : kCases) EXPECT_EQ(Text(TableOf(c.language), IDS_README_PATH), c.path);
}

TEST(StringTables, SampleRateLabelIsNotInTheTables) {
    for (size_t i = 0; i < Resources().tableCount; ++i)
        for (size_t k = 0; k < Resources().tables[i].count; ++k)
            EXPECT_EQ(std::wstring(Resources().tables[i].entries[k].text).find(L"SAMPLE RATE"), std::wstring::npos);
}

TEST(StringTables, UserLanguageChoosesTheTable) {
    static const struct {
        LANGID user;
        const wchar_t* readme;  // identifies the table
    } kCases[] = {
        {0x0407, L"Readme\\Readme_DE.htm"}, {0x0807, L"Readme\\Readme_DE.htm"},  // German, Swiss German
        {0x0C0A, L"Readme\\Readme_ES.htm"}, {0x080A, L"Readme\\Readme_ES.htm"},  // Spanish, Mexican Spanish
        {0x040C, L"Readme\\Readme_FR.htm"}, {0x0C0C, L"Readme\\Readme_FR.htm"},  // French, Canadian French
        {0x0410, L"Readme\\Readme_IT.htm"}, {0x0813, L"Readme\\Readme_NL.htm"},  // Italian, Flemish
        {0x0416, L"Readme\\Readme_PT.htm"}, {0x0816, L"Readme\\Readme_PT.htm"},  // Brazilian, European Portuguese
        {0x0409, L"Readme\\Readme_EN.htm"}, {0x0809, L"Readme\\Readme_EN.htm"},  // English US, UK
        {0x0411, L"Readme\\Readme_JP.htm"},                                      // Japanese
        {0x0419, L"Readme\\Readme_EN.htm"}, {0x0804, L"Readme\\Readme_EN.htm"},  // Russian, Chinese: English
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << "user language 0x" << std::hex << c.user);
        const ui::StringTable* table = ui::ResolveStringTable(Resources(), c.user);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(Text(*table, IDS_README_PATH), c.readme);
    }
}

// --- templates ---

const ui::ControlTemplate* FindControl(const ui::DialogTemplate& dialog, int id) {
    for (size_t i = 0; i < dialog.controlCount; ++i)
        if (dialog.controls[i].id == id) return &dialog.controls[i];
    return nullptr;
}

TEST(DialogTemplates, MainDialogControls) {
    const ui::DialogTemplate* dialog = ui::FindDialogTemplate(Resources(), IDD_DRVPROP_DIALOG);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->cx, 228);
    EXPECT_EQ(dialog->cy, 310);
    EXPECT_EQ(std::wstring(dialog->fontName), L"MS Shell Dlg");
    EXPECT_EQ(dialog->fontPointSize, 8);
    EXPECT_EQ(dialog->style & (WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | WS_SYSMENU),
              WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER);
    EXPECT_TRUE(dialog->exStyle & WS_EX_APPWINDOW);

    static const struct {
        int id;
        ui::ControlClass cls;
        DWORD type;  // low style bits: the button or static type
        const wchar_t* text;
        int x, y, cx, cy;
    } kControls[] = {
        {1136, ui::ControlClass::ComboBox, CBS_DROPDOWNLIST, L"", 18, 5, 102, 30},
        {1130, ui::ControlClass::ComboBox, CBS_DROPDOWNLIST, L"", 78, 23, 60, 30},
        {1038, ui::ControlClass::Button, BS_GROUPBOX, L"Audio Buffer Size", 12, 57, 204, 80},
        {1044, ui::ControlClass::Static, SS_RIGHT, L"Min.", 17, 72, 30, 8},
        {1012, ui::ControlClass::Trackbar, TBS_HORZ | TBS_BOTTOM, L"", 49, 65, 130, 18},
        {1042, ui::ControlClass::Static, SS_LEFT, L"Max.", 185, 72, 30, 8},
        {1050, ui::ControlClass::Static, SS_CENTER, L"1", 55, 83, 8, 8},
        {1055, ui::ControlClass::Static, SS_CENTER, L"6", 104, 83, 8, 8},
        {1059, ui::ControlClass::Static, SS_CENTER, L"10", 143, 83, 9, 8},
        {1060, ui::ControlClass::Static, SS_CENTER, L"11", 157, 83, 9, 8},
        {1061, ui::ControlClass::Static, SS_CENTER, L"^", 105, 90, 8, 8},
        {1105, ui::ControlClass::Button, BS_GROUPBOX, L"Audio Streaming Performance", 26, 98, 177, 33},
        {1103, ui::ControlClass::Static, SS_RIGHT, L"Real Time:", 34, 109, 62, 8},
        {1104, ui::ControlClass::Static, SS_RIGHT, L"Stability:", 34, 119, 62, 8},
        {1101, ui::ControlClass::Static, SS_LEFT, L"OOOOOOOOOOO", 103, 109, 89, 8},
        {1102, ui::ControlClass::Static, SS_LEFT, L"O", 103, 119, 89, 8},
        {1037, ui::ControlClass::Button, BS_GROUPBOX, L"ASIO Setting", 12, 140, 204, 62},
        {1045, ui::ControlClass::Static, SS_LEFT, L"ASIO Buffer Size:", 23, 153, 175, 8},
        {1046, ui::ControlClass::Static, SS_LEFT, L"--- samples", 41, 163, 105, 12},
        {1034, ui::ControlClass::Static, SS_LEFT, L"ASIO Technology by\nSteinberg Media Technologies GmbH", 89, 180,
         126, 19},
        {1146, ui::ControlClass::Button, BS_GROUPBOX, L"Windows sound Setting", 12, 206, 204, 27},
        {1147, ui::ControlClass::Button, BS_AUTOCHECKBOX, L"Match with the ASIO sample rate", 23, 218, 192, 10},
        {1047, ui::ControlClass::Button, BS_PUSHBUTTON, L"Default", 12, 240, 54, 14},
        {2, ui::ControlClass::Button, BS_PUSHBUTTON, L"Cancel", 102, 240, 54, 14},
        {1043, ui::ControlClass::Button, BS_PUSHBUTTON, L"Apply", 162, 240, 54, 14},
        {1033, ui::ControlClass::Static, SS_CENTER, L"__MODEL__ Driver Ver.x.x.x", 7, 263, 215, 8},
        {1035, ui::ControlClass::Button, BS_PUSHBUTTON, L"Show \"README\"", 7, 290, 90, 14},
        {1, ui::ControlClass::Button, BS_DEFPUSHBUTTON, L"CLOSE", 162, 290, 60, 14},
    };
    for (const auto& c : kControls) {
        SCOPED_TRACE(testing::Message() << "control " << c.id);
        const ui::ControlTemplate* control = FindControl(*dialog, c.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->controlClass, c.cls);
        EXPECT_EQ(control->style & 0x1Fu, c.type);
        EXPECT_TRUE(control->style & WS_VISIBLE);
        EXPECT_EQ(std::wstring(control->text), c.text);
        EXPECT_EQ(control->x, c.x);
        EXPECT_EQ(control->y, c.y);
        EXPECT_EQ(control->cx, c.cx);
        EXPECT_EQ(control->cy, c.cy);
    }
    EXPECT_EQ(FindControl(*dialog, 1136)->initialItemCount, 4u) << "four placeholder units";

    // Two etched frames and the rate label, which the program never addresses.
    int frames = 0;
    bool rateLabel = false;
    for (size_t i = 0; i < dialog->controlCount; ++i) {
        const ui::ControlTemplate& control = dialog->controls[i];
        if (control.controlClass == ui::ControlClass::Static && (control.style & SS_TYPEMASK) == SS_ETCHEDFRAME)
            ++frames;
        if (std::wstring(control.text) == L"SAMPLE RATE:") rateLabel = control.x == 24 && control.y == 26;
    }
    EXPECT_EQ(frames, 2);
    EXPECT_TRUE(rateLabel);
}

TEST(DialogTemplates, NoDeviceDialogControls) {
    const ui::DialogTemplate* dialog = ui::FindDialogTemplate(Resources(), IDD_NODEVICE_DIALOG);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->cx, 196);
    EXPECT_EQ(dialog->cy, 57);
    EXPECT_EQ(std::wstring(dialog->title), L"__MODEL__ Driver Settings");
    EXPECT_EQ(dialog->style & WS_SYSMENU, 0u);
    ASSERT_EQ(dialog->controlCount, 3u);
    const ui::ControlTemplate* ok = FindControl(*dialog, IDOK);
    const ui::ControlTemplate* message = FindControl(*dialog, IDC_NODEV_MESSAGE);
    const ui::ControlTemplate* readme = FindControl(*dialog, IDC_BTN_README);
    ASSERT_TRUE(ok && message && readme);
    EXPECT_EQ(ok->style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ((std::vector<int>{ok->x, ok->y, ok->cx, ok->cy}), (std::vector<int>{126, 36, 54, 14}));
    EXPECT_EQ((std::vector<int>{message->x, message->y, message->cx, message->cy}), (std::vector<int>{12, 6, 174, 24}));
    EXPECT_EQ((std::vector<int>{readme->x, readme->y, readme->cx, readme->cy}), (std::vector<int>{18, 36, 90, 14}));
    EXPECT_EQ(std::wstring(message->text), L"To make settings, connect the device and then execute once again.");
}

}  // namespace
