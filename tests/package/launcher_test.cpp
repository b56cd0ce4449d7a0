// The launcher Mxlh4410.dat: reading the Windows command line, and the Linux
// program started as the driver starts it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "command_tail.h"
#include "package_test_support.h"

namespace {

using package_test::ReadLines;
using package_test::RunProgram;
using package_test::TempDir;
using package_test::WaitForFile;
using package_test::WriteStandIn;

TEST(LauncherCommandTail, SkipsTheProgramNameAsTheSystemReadsIt) {
    struct Case {
        const wchar_t* line;
        const wchar_t* tail;
    };
    static const Case kCases[] = {
        {L"Mxlh4410.dat Mxcp4410.exe DrvConfig 0", L"Mxcp4410.exe DrvConfig 0"},
        {L"\"C:\\Program Files (x86)\\Calvera\\Mxlh4410.dat\" Mxcp4410.exe DrvConfig 0", L"Mxcp4410.exe DrvConfig 0"},
        {L"Mxlh4410.dat \t  \"C:\\My Tools\\x.exe\" \"a b\"", L"\"C:\\My Tools\\x.exe\" \"a b\""},
        {L"\"C:\\x\"Mxcp4410.exe 1", L"Mxcp4410.exe 1"},  // the quoted name ends at its closing quote
        {L"Mxlh4410.dat", L""},
        {L"Mxlh4410.dat   ", L""},
        {L"\"unterminated name", L""},
        {L"", L""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.line)));
        EXPECT_EQ(std::wstring(launcher::SkipProgramName<wchar_t>(c.line)), c.tail);
    }
}

class Launcher : public ::testing::Test {
protected:
    TempDir dir_;
    const std::filesystem::path record_ = dir_ / "record";
    const std::filesystem::path release_ = dir_ / "release";
    const std::string searchPath_ = (dir_ / "bin").string() + ":/usr/bin:/bin";

    void SetUp() override { std::filesystem::create_directory(dir_ / "bin"); }
};

// The driver waits for nothing, and neither may the launcher: it has ended
// while the program it started is still blocked. Named by a path or by a bare
// name found on PATH, the program gets exactly the remaining arguments.
TEST_F(Launcher, StartsTheProgramWithTheRemainingArgumentsAndEndsAtOnce) {
    struct Case {
        const char* name;
        bool onPath;
    };
    static const Case kCases[] = {{"Mxcp4410.exe", true}, {"standin", false}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(record_);
        std::filesystem::remove(record_.string() + ".done");
        std::filesystem::remove(release_);
        const std::filesystem::path program = dir_ / (c.onPath ? "bin" : "") / c.name;
        WriteStandIn(program, record_, release_);

        const std::string named = c.onPath ? std::string(c.name) : program.string();
        const int status = RunProgram({MX_LAUNCHER, named, "DrvConfig", "0", "two words", ""}, {{"PATH", searchPath_}});
        EXPECT_EQ(status, 0);
        EXPECT_FALSE(std::filesystem::exists(record_.string() + ".done")) << "the launcher waited for the program";

        ASSERT_TRUE(WaitForFile(record_)) << "the program was not started";
        const std::vector<std::string> expected = {c.onPath ? c.name : "standin", "DrvConfig", "0", "two words", ""};
        EXPECT_EQ(ReadLines(record_), expected);
        std::ofstream(release_).close();
        EXPECT_TRUE(WaitForFile(record_.string() + ".done"));
    }
}

TEST_F(Launcher, EndsWithAnErrorStatusWhenNothingCanBeStarted) {
    const std::filesystem::path notExecutable = dir_ / "bin" / "plain.txt";
    std::ofstream(notExecutable) << "text\n";
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        int status;
    };
    const Case cases[] = {
        {"no program named", {}, launcher::kNothingToStart},
        {"an empty program name", {""}, launcher::kNothingToStart},
        {"a program not on PATH", {"Mxcp4410.exe", "DrvConfig", "0"}, ENOENT},
        {"a missing path", {(dir_ / "missing" / "Mxcp4410.exe").string()}, ENOENT},
        {"a file that is not a program", {notExecutable.string()}, EACCES},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> argv = {MX_LAUNCHER};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        EXPECT_EQ(RunProgram(argv, {{"PATH", searchPath_}}), c.status);
    }
}

}  // namespace
