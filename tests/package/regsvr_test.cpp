// regsvr: loads a library and calls its registration entry, reporting the
// outcome through its exit status like the system's registration program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package_test_support.h"

namespace {

using package_test::RunProgram;
using package_test::TempDir;

TEST(Regsvr, ExitStatusTellsWhatHappened) {
    TempDir dir;
    const std::string registry = (dir / "registry").string();
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        int status;
    };
    const Case cases[] = {
        {"no library", {}, 1},
        {"an unknown switch", {"-x", MX_DRIVER_LIBRARY_64}, 1},
        {"two libraries", {MX_DRIVER_LIBRARY_64, MX_DRIVER_LIBRARY_32}, 1},
        {"a library that does not exist", {"-s", (dir / "missing.so").string()}, 3},
        {"a library without the entry point", {"-s", MX_PLATFORM_LIBRARY}, 4},
        {"without the entry point, unregistering", {"/u", "/s", MX_PLATFORM_LIBRARY}, 4},
        {"registering the driver", {"-s", MX_DRIVER_LIBRARY_64}, 0},
        {"unregistering the driver", {"-u", "-s", MX_DRIVER_LIBRARY_64}, 0},
        {"switches after the library, either spelling", {MX_DRIVER_LIBRARY_32, "/U", "-S"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> argv = {MX_REGSVR};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        EXPECT_EQ(RunProgram(argv, {{"MX_REGISTRY_FILE", registry}}), c.status);
    }
}

}  // namespace
