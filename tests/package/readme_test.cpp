// The README documents: one per language of the settings program's string
// tables, each valid HTML in the character set it declares, found where the
// program's relative path points, linking only to documents that exist, and
// quoting the program's own texts for what it explains.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "html_check.h"
#include "package_test_support.h"
#include "settings/resource.h"
#include "settings/resources.h"
#include "ui/resources.h"

namespace {

using package_test::HtmlDocument;
using package_test::ReadFile;
using package_test::ReadHtml;

struct Language {
    const char* suffix;  // of Readme_XX.htm
    const char* tag;     // lang attribute
    LANGID id;
};

const Language kLanguages[] = {
    {"DE", "de", MAKELANGID(LANG_GERMAN, SUBLANG_DEFAULT)},
    {"ES", "es", MAKELANGID(LANG_SPANISH, SUBLANG_DEFAULT)},
    {"FR", "fr", MAKELANGID(LANG_FRENCH, SUBLANG_DEFAULT)},
    {"IT", "it", MAKELANGID(LANG_ITALIAN, SUBLANG_DEFAULT)},
    {"NL", "nl", MAKELANGID(LANG_DUTCH, SUBLANG_DEFAULT)},
    {"PT", "pt", MAKELANGID(LANG_PORTUGUESE, SUBLANG_DEFAULT)},
    {"EN", "en", MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT)},
    {"JP", "ja", MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)},
};

const std::filesystem::path kReadmeDir = MX_README_DIR;

std::wstring ProgramString(LANGID language, UINT id) {
    const ui::StringTable* table = ui::ResolveStringTable(settings::ProgramResources(), language);
    const wchar_t* text = table != nullptr ? ui::FindString(*table, id) : nullptr;
    std::wstring result = text != nullptr ? text : L"";
    for (size_t at; (at = result.find(L"__MODEL__")) != std::wstring::npos;) result.replace(at, 9, L"Calvera");
    return result;
}

// Line breaks and blanks differ between a message box and running text.
std::wstring WithoutBlanks(std::wstring text) {
    std::erase_if(text, [](wchar_t c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; });
    return text;
}

// The file the settings program opens for `language`: its relative path under
// the installation folder, with the folder separators of this system.
std::filesystem::path ProgramReadmePath(LANGID language) {
    std::wstring relative = ProgramString(language, IDS_README_PATH);
    std::replace(relative.begin(), relative.end(), L'\\', L'/');
    return std::filesystem::path(relative);
}

TEST(Readme, EachLanguageHasItsDocumentWhereTheProgramLooks) {
    for (const Language& lang : kLanguages) {
        SCOPED_TRACE(lang.suffix);
        const std::filesystem::path relative = ProgramReadmePath(lang.id);
        ASSERT_EQ(relative.parent_path(), "Readme");
        EXPECT_EQ(relative.filename(), std::string("Readme_") + lang.suffix + ".htm");
        EXPECT_TRUE(std::filesystem::is_regular_file(kReadmeDir / relative.filename()));
    }
}

TEST(Readme, EachDocumentIsValidHtmlInItsDeclaredCharacterSet) {
    for (const Language& lang : kLanguages) {
        const std::string file = std::string("Readme_") + lang.suffix + ".htm";
        SCOPED_TRACE(file);
        const HtmlDocument doc = ReadHtml(ReadFile(kReadmeDir / file));
        for (const std::string& error : doc.errors) ADD_FAILURE() << error;
        EXPECT_EQ(doc.charset, "utf-8");
        // A browser looks for the declaration in the first 1024 bytes (the head
        // before it is plain ASCII, so characters and bytes agree there).
        EXPECT_LT(doc.charsetOffset, 1024u);
        EXPECT_EQ(doc.language, lang.tag);
        EXPECT_NE(doc.title.find(L"Calvera"), std::wstring::npos);
        for (const std::string& link : doc.links) {
            SCOPED_TRACE(link);
            EXPECT_EQ(link.find(':'), std::string::npos) << "a link leaves the documents";
            EXPECT_TRUE(std::filesystem::is_regular_file(kReadmeDir / link));
        }
    }
}

// What the documents explain is named with the program's own texts, in the
// document's language: the restart messages, the controls and the title under
// which the program appears.
TEST(Readme, EachDocumentQuotesTheProgramTextsItExplains) {
    static const UINT kQuoted[] = {IDS_TITLE,     IDS_DEVICE_IN_USE,    IDS_POWER_CYCLE,     IDS_CONNECT_DEVICE,
                                   IDS_NOT_CONNECTED, IDS_APPLY_CHANGES, IDS_AUDIO_BUFFER_SIZE, IDS_ASIO_BUFFER_SIZE,
                                   IDS_MIN,       IDS_MAX,              IDS_REAL_TIME,       IDS_STABILITY,
                                   IDS_MATCH_ASIO_RATE, IDS_APPLY,      IDS_DEFAULT,         IDS_REVERT,
                                   IDS_CLOSE,     IDS_SHOW_README};
    for (const Language& lang : kLanguages) {
        SCOPED_TRACE(lang.suffix);
        const HtmlDocument doc = ReadHtml(ReadFile(kReadmeDir / (std::string("Readme_") + lang.suffix + ".htm")));
        const std::wstring text = WithoutBlanks(doc.text);
        for (UINT id : kQuoted) {
            const std::wstring quoted = WithoutBlanks(ProgramString(lang.id, id));
            ASSERT_FALSE(quoted.empty()) << "string " << id;
            EXPECT_NE(text.find(quoted), std::wstring::npos) << "string " << id << " is not quoted";
        }
    }
}

// The program's texts carry the names of two other parties (in the credit line
// and in the sound option's group title); the documents name neither.
TEST(Readme, NoDocumentNamesAnotherProductOrVendor) {
    const std::wstring credit = ProgramString(MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), IDS_ASIO_CREDIT);
    const std::wstring sound = ProgramString(MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), IDS_WINSOUND_SETTING);
    ASSERT_NE(credit.find(L'\n'), std::wstring::npos);
    ASSERT_NE(sound.find(L' '), std::wstring::npos);
    const std::wstring vendor = credit.substr(credit.find(L'\n') + 1);
    const std::wstring names[] = {vendor, vendor.substr(0, vendor.find(L' ')), sound.substr(0, sound.find(L' '))};
    for (const Language& lang : kLanguages) {
        SCOPED_TRACE(lang.suffix);
        const HtmlDocument doc = ReadHtml(ReadFile(kReadmeDir / (std::string("Readme_") + lang.suffix + ".htm")));
        for (const std::wstring& name : names) EXPECT_EQ((doc.title + doc.text).find(name), std::wstring::npos);
    }
}

}  // namespace
