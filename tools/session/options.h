// The command line of mxsession.
#pragma once

#include <string>

#include "session.h"

namespace session {

struct CommandLine {
    SessionOptions session;
    std::string wavPath;
    std::string unitsText;     // the unit set in text form, when given (or from the environment)
    bool unitsFromEnvironment = false;
    bool progress = true;      // a live line while streaming (only on a terminal)
    bool help = false;
};

// Exit statuses.
inline constexpr int kExitPassed = 0;
inline constexpr int kExitCheckFailed = 1;   // streamed, but a period was skipped or the audio came back altered
inline constexpr int kExitNoStream = 2;      // no driver, no device, or buffers or start refused
inline constexpr int kExitUsage = 64;

// Parses argv (and MX_VIRTUAL_UNITS when no unit set is given). False with a
// message for anything it does not understand.
bool ParseCommandLine(int argc, char** argv, CommandLine* line, std::string* error);

// The text of --help.
const char* UsageText();

}  // namespace session
