// WinExec, GetSystemDirectoryA, message boxes, DLL notifications.
#include "win32.h"
#include "win32_linux.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr DWORD kSentinel = 0xdeadbeef;

bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// Children of this process that have ended but were not collected.
int ZombieChildren() {
    int zombies = 0;
    DIR* proc = opendir("/proc");
    while (dirent* entry = proc ? readdir(proc) : nullptr) {
        std::ifstream status(std::string("/proc/") + entry->d_name + "/status");
        std::string line, state;
        long parent = -1;
        while (std::getline(status, line)) {
            if (line.rfind("State:", 0) == 0) state = line;
            if (line.rfind("PPid:", 0) == 0) parent = std::atol(line.c_str() + 5);
        }
        if (parent == getpid() && state.find('Z') != std::string::npos) ++zombies;
    }
    if (proc) closedir(proc);
    return zombies;
}

class Programs : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/mxplatform-programs-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override {
        for (const char* name : {"/made", "/with space"}) unlink((m_dir + name).c_str());
        rmdir(m_dir.c_str());
    }
    std::string m_dir;
};

TEST_F(Programs, WinExecStartsWithoutWaitingAndLeavesNoZombie) {
    // The program word may be quoted (a path with a blank) or plain.
    ASSERT_EQ(symlink(MX_PLATFORM_CHILD, (m_dir + "/with space").c_str()), 0);
    const std::string made = m_dir + "/made";
    const std::string commands[] = {
        std::string(MX_PLATFORM_CHILD) + " touch " + made,
        "\"" + m_dir + "/with space\" touch \"" + made + "\"",
    };
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        unlink(made.c_str());
        SetLastError(kSentinel);
        const UINT started = WinExec(command.c_str(), SW_SHOWNORMAL);
        EXPECT_GT(started, 31u);
        EXPECT_EQ(GetLastError(), kSentinel);
        while (started > 31 && !Exists(made)) Sleep(5);  // the child runs on its own time
    }
    // Found on PATH.
    EXPECT_GT(WinExec("true ignored arguments", SW_HIDE), 31u);
    for (int i = 0; i < 400 && ZombieChildren() > 0; ++i) Sleep(5);
    EXPECT_EQ(ZombieChildren(), 0);
}

TEST_F(Programs, WinExecReportsMissingPrograms) {
    const std::string notExecutable = m_dir + "/made";
    std::ofstream(notExecutable) << "data";
    struct Case {
        std::string command;
        UINT expected;
    };
    const Case cases[] = {
        {"mx-no-such-program-anywhere DrvConfig 0", ERROR_FILE_NOT_FOUND},
        {m_dir + "/missing", ERROR_FILE_NOT_FOUND},
        {"", ERROR_FILE_NOT_FOUND},
        {notExecutable, ERROR_ACCESS_DENIED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        SetLastError(kSentinel);
        EXPECT_EQ(WinExec(c.command.c_str(), SW_SHOWNORMAL), c.expected);
        EXPECT_EQ(GetLastError(), c.expected);
    }
}

TEST(SystemDirectory, FollowsTheWindowsLengthRules) {
    struct Case {
        const char* configured;  // MX_SYSTEM_DIR, or null for the default
        const char* expected;
    };
    static const Case kCases[] = {{nullptr, "C:\\Windows\\system32"}, {"/opt/mx/system32", "/opt/mx/system32"}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.expected);
        if (c.configured) setenv("MX_SYSTEM_DIR", c.configured, 1);
        else unsetenv("MX_SYSTEM_DIR");
        const UINT length = static_cast<UINT>(std::strlen(c.expected));
        char buffer[MAX_PATH];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(GetSystemDirectoryA(nullptr, 0), length + 1);
        EXPECT_EQ(GetSystemDirectoryA(buffer, length), length + 1);  // no room for the zero
        EXPECT_EQ(buffer[0], 'x');
        EXPECT_EQ(GetSystemDirectoryA(buffer, length + 1), length);
        EXPECT_STREQ(buffer, c.expected);
        EXPECT_EQ(GetSystemDirectoryA(buffer, MAX_PATH), length);
    }
    unsetenv("MX_SYSTEM_DIR");
}

struct Shown {
    std::string text, caption;
    UINT type = 0;
    int calls = 0;
};

int Respond(void* context, HWND, const char* text, const char* caption, UINT type) {
    auto* shown = static_cast<Shown*>(context);
    shown->text = text;
    shown->caption = caption;
    shown->type = type;
    ++shown->calls;
    return IDNO;
}

TEST(MessageBoxes, ResponderSeesTheBoxAndChoosesTheAnswer) {
    Shown shown;
    MxSetMessageBoxResponder(Respond, &shown);
    EXPECT_EQ(MessageBoxW(nullptr, L"Restart the applications? \u00e9", L" ", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(shown.text, "Restart the applications? \xc3\xa9");
    EXPECT_EQ(shown.caption, " ");
    EXPECT_EQ(shown.type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(MessageBoxA(nullptr, "Register Server failed ! (0)", "Calvera", MB_OK), IDNO);
    EXPECT_EQ(shown.calls, 2);
    MxSetMessageBoxResponder(nullptr, nullptr);

    // Without a responder: standard error, and the default button's answer.
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", MB_YESNO), IDYES);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("caption"), std::string::npos);
    EXPECT_NE(printed.find("text"), std::string::npos);
    EXPECT_EQ(shown.calls, 2);
}

TEST(DllNotifications, DisablingThemSucceeds) { EXPECT_TRUE(DisableThreadLibraryCalls(nullptr)); }

}  // namespace
