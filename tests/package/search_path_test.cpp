// The installer's edits of the machine-wide search path: its folder goes in
// once and comes out again, and nothing else in the list changes.
#include <gtest/gtest.h>

#include <string>

#include "search_path.h"

namespace {

constexpr wchar_t kFolder[] = L"C:\\Program Files (x86)\\Calvera";

TEST(SearchPath, AddingPutsTheFolderInOnce) {
    struct Case {
        const wchar_t* before;
        const wchar_t* after;
        bool changed;
    };
    static const Case kCases[] = {
        {L"", L"C:\\Program Files (x86)\\Calvera", true},
        {L"%SystemRoot%\\system32;%SystemRoot%", L"%SystemRoot%\\system32;%SystemRoot%;C:\\Program Files (x86)\\Calvera", true},
        {L"C:\\a;", L"C:\\a;C:\\Program Files (x86)\\Calvera", true},
        {L"C:\\a;c:\\program files (x86)\\calvera\\;C:\\b", L"C:\\a;c:\\program files (x86)\\calvera\\;C:\\b", false},
        {L"\"C:\\Program Files (x86)\\Calvera\"", L"\"C:\\Program Files (x86)\\Calvera\"", false},
        {L"C:\\Program Files (x86)\\Calvera2", L"C:\\Program Files (x86)\\Calvera2;C:\\Program Files (x86)\\Calvera", true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.before)));
        std::wstring list = c.before;
        EXPECT_EQ(searchpath::AddFolder(list, kFolder), c.changed);
        EXPECT_EQ(list, c.after);
    }
}

TEST(SearchPath, RemovingTakesOutEveryEntryOfTheFolderAndKeepsTheRest) {
    struct Case {
        const wchar_t* before;
        const wchar_t* after;
        bool changed;
    };
    static const Case kCases[] = {
        {L"%SystemRoot%\\system32;C:\\Program Files (x86)\\Calvera", L"%SystemRoot%\\system32", true},
        {L"C:\\Program Files (x86)\\Calvera;C:\\a;;C:\\b", L"C:\\a;;C:\\b", true},
        {L"C:\\a;C:\\PROGRAM FILES (X86)\\CALVERA\\;C:\\b;\"C:\\Program Files (x86)\\Calvera\"", L"C:\\a;C:\\b", true},
        {L"C:\\Program Files (x86)\\Calvera", L"", true},
        {L"C:\\a;C:\\Program Files (x86)\\Calvera2", L"C:\\a;C:\\Program Files (x86)\\Calvera2", false},
        {L"", L"", false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.before)));
        std::wstring list = c.before;
        EXPECT_EQ(searchpath::RemoveFolder(list, kFolder), c.changed);
        EXPECT_EQ(list, c.after);
    }
}

TEST(SearchPath, AnEmptyFolderIsNeverAddedOrMatched) {
    std::wstring list = L"C:\\a;;C:\\b";
    EXPECT_FALSE(searchpath::AddFolder(list, L""));
    EXPECT_FALSE(searchpath::AddFolder(list, L"\\"));
    EXPECT_FALSE(searchpath::RemoveFolder(list, L""));
    EXPECT_EQ(list, L"C:\\a;;C:\\b");
}

}  // namespace
