// Starting the platform_child helper from a test.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace platform_test {

struct Child {
    pid_t pid = -1;
    int output = -1;  // read end of the child's standard output, when asked for
};

// Starts platform_child with `args`; `environment` entries ("NAME=value") are added
// to this process's environment.
inline Child StartChild(const std::vector<std::string>& args, const std::vector<std::string>& environment = {},
                        bool captureOutput = false) {
    std::vector<std::string> words{MX_PLATFORM_CHILD};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    std::vector<std::string> env(environment);
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    Child child;
    int pipeFds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (captureOutput) {
        EXPECT_EQ(pipe(pipeFds), 0);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    }
    EXPECT_EQ(posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    if (captureOutput) {
        close(pipeFds[1]);
        child.output = pipeFds[0];
    }
    return child;
}

// One line of the child's output (without the newline).
inline std::string ReadLine(const Child& child) {
    std::string line;
    char c;
    while (read(child.output, &c, 1) == 1 && c != '\n') line.push_back(c);
    return line;
}

// The child's exit status, or -1 if it did not exit normally.
inline int WaitChild(Child& child) {
    int status = 0;
    while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (child.output >= 0) close(child.output);
    child = Child{};
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace platform_test
