// Runs a program as a user would from a shell and collects what it printed.
#pragma once

#include <string>
#include <vector>

namespace toolrun {

struct Result {
    int status = -1;  // exit status; -1 when the program did not end normally
    std::string out;
    std::string err;
};

Result Run(const std::string& program, const std::vector<std::string>& args);

// A fresh file name in the temporary folder.
std::string TempPath(const char* suffix);

}  // namespace toolrun
