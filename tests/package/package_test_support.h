// What the package tests share: scratch folders, running programs as separate
// processes with their own environment, and stand-in programs that record how
// they were started.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace package_test {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs `argv` (argv[0] is searched on PATH when it has no slash) with this
// process's environment changed by `changes`, waits for it and returns its
// exit status, or -1 when it could not be started or did not exit normally.
int RunProgram(const std::vector<std::string>& argv, const Environment& changes = {});

// Writes an executable shell script.
void WriteScript(const std::filesystem::path& path, const std::string& body);

// A stand-in program at `path`: it writes its own file name and then each
// argument, one per line, to `record` (the file appears complete, at once).
// With a `release` file given, it then waits until that file exists (for at
// most a few minutes) before it writes `record`.done and ends.
void WriteStandIn(const std::filesystem::path& path, const std::filesystem::path& record,
                  const std::filesystem::path& release = {});

// Waits until `path` exists; false when it did not appear within a generous
// bound (a liveness limit for a broken test, not a measurement).
bool WaitForFile(const std::filesystem::path& path);

std::vector<std::string> ReadLines(const std::filesystem::path& path);
std::string ReadFile(const std::filesystem::path& path);

}  // namespace package_test
