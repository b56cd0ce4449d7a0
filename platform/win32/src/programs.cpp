// Starting programs, the system folder and DLL notifications.
#include "kernel.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace mx {
namespace {

// WinExec's success value: any number above 31.
constexpr UINT kWinExecStarted = 33;

// Splits a command line at blanks outside double quotes; quotes group and are dropped.
std::vector<std::string> SplitCommandLine(const char* line) {
    std::vector<std::string> words;
    const char* p = line;
    for (;;) {
        while (*p == ' ' || *p == '\t') ++p;
        if (!*p) return words;
        std::string word;
        bool quoted = false;
        for (; *p && (quoted || (*p != ' ' && *p != '\t')); ++p) {
            if (*p == '"') quoted = !quoted;
            else word.push_back(*p);
        }
        words.push_back(std::move(word));
    }
}

bool IsExecutableFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The file a program word names: a path as given, otherwise the first match on PATH.
// Returns the errno that explains a failure, or 0.
int FindProgram(const std::string& word, std::string& path) {
    if (word.find('/') != std::string::npos) {
        path = word;
        if (IsExecutableFile(path)) return 0;
        return access(path.c_str(), F_OK) == 0 ? EACCES : ENOENT;
    }
    const char* search = std::getenv("PATH");
    const std::string dirs = search ? search : "/usr/local/bin:/usr/bin:/bin";
    for (size_t start = 0;;) {
        const size_t end = dirs.find(':', start);
        const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        path = (dir.empty() ? "." : dir) + "/" + word;
        if (IsExecutableFile(path)) return 0;
        if (end == std::string::npos) return ENOENT;
        start = end + 1;
    }
}

// Collects the child's exit status so that it leaves no zombie behind.
void* ReapChild(void* arg) {
    const pid_t pid = static_cast<pid_t>(reinterpret_cast<intptr_t>(arg));
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    return nullptr;
}

void ReapInBackground(pid_t pid) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    pthread_create(&thread, &attr, ReapChild, reinterpret_cast<void*>(static_cast<intptr_t>(pid)));
    pthread_attr_destroy(&attr);
}

UINT WinExecFailure(int error) {
    const DWORD code = error == ENOENT ? ERROR_FILE_NOT_FOUND : ErrorFromErrno(error);
    SetLastError(code);
    return code <= 31 ? code : 0;
}

}  // namespace
}  // namespace mx

// Windows: starts the program named by the first word of `cmdLine` (quoted or not,
// searched on PATH) with the other words as arguments and does not wait; above 31
// on success, ERROR_FILE_NOT_FOUND when there is no such program.
UINT WINAPI WinExec(LPCSTR cmdLine, UINT) {
    const std::vector<std::string> words = mx::SplitCommandLine(cmdLine ? cmdLine : "");
    if (words.empty() || words[0].empty()) return mx::WinExecFailure(ENOENT);
    std::string program;
    if (const int error = mx::FindProgram(words[0], program)) return mx::WinExecFailure(error);
    std::vector<char*> argv;
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    if (const int error = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ))
        return mx::WinExecFailure(error);
    mx::ReapInBackground(pid);
    return mx::kWinExecStarted;
}

// Windows: copies the system folder (MX_SYSTEM_DIR, default C:\Windows\system32) and
// returns its length; when the buffer is too small, returns the size it needs
// (terminating zero included) and leaves the buffer alone.
UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size) {
    const char* dir = std::getenv("MX_SYSTEM_DIR");
    if (!dir || !*dir) dir = "C:\\Windows\\system32";
    const size_t length = std::strlen(dir);
    if (!buffer || size <= length) return static_cast<UINT>(length + 1);
    std::memcpy(buffer, dir, length + 1);
    return static_cast<UINT>(length);
}

// Windows: switches off thread attach/detach calls of a DLL; there are none here.
BOOL WINAPI DisableThreadLibraryCalls(HMODULE) { return TRUE; }
