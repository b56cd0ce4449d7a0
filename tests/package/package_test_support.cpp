#include "package_test_support.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

extern char** environ;

namespace package_test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "mxpkgXXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

int RunProgram(const std::vector<std::string>& argv, const Environment& changes) {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const size_t equals = text.find('=');
        if (equals != std::string::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : changes) variables[name] = value;

    std::vector<std::string> envText;
    for (const auto& [name, value] : variables) envText.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& text : envText) envp.push_back(text.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = argv;
    std::vector<char*> argp;
    for (std::string& arg : args) argp.push_back(arg.data());
    argp.push_back(nullptr);

    // The child searches its own PATH, which `changes` may have replaced.
    const auto path = variables.find("PATH");
    std::string program = args.empty() ? std::string() : args[0];
    if (path != variables.end() && program.find('/') == std::string::npos) {
        std::stringstream dirs(path->second);
        for (std::string dir; std::getline(dirs, dir, ':');) {
            const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
            if (access(candidate.c_str(), X_OK) == 0) {
                program = candidate;
                break;
            }
        }
    }
    pid_t pid;
    if (args.empty() || posix_spawn(&pid, program.c_str(), nullptr, nullptr, argp.data(), envp.data()) != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void WriteScript(const std::filesystem::path& path, const std::string& body) {
    {
        std::ofstream out(path);
        out << "#!/bin/sh\n" << body;
    }
    chmod(path.c_str(), 0755);
}

namespace {

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

}  // namespace

void WriteStandIn(const std::filesystem::path& path, const std::filesystem::path& record,
                  const std::filesystem::path& release) {
    // The tools it uses are found whatever PATH it was started with.
    std::string body = "PATH=/usr/bin:/bin\n";
    body += "{ basename \"$0\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > " + Quoted(record) + ".part\n";
    body += "mv " + Quoted(record) + ".part " + Quoted(record) + "\n";
    if (!release.empty()) {
        body += "n=0\n";
        body += "while [ ! -e " + Quoted(release) + " ] && [ $n -lt 3000 ]; do sleep 0.1; n=$((n + 1)); done\n";
        body += "touch " + Quoted(record) + ".done\n";
    }
    WriteScript(path, body);
}

bool WaitForFile(const std::filesystem::path& path) {
    for (int i = 0; i < 1200; ++i) {
        if (std::filesystem::exists(path)) return true;
        usleep(50 * 1000);
    }
    return std::filesystem::exists(path);
}

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace package_test
