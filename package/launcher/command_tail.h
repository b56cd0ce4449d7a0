// The part of a Windows command line that follows the program's own name.
//
// The launcher hands that part on unchanged, so the started program sees its
// arguments exactly as the launcher's caller wrote them, quotes included.
#pragma once

namespace launcher {

// Skips the program name at the start of `line` and the blanks after it. The
// name ends, as the system reads it, at the next double quote when it starts
// with one (there is no escaping inside it), and otherwise at the first blank
// or tab. Never reads past the terminating zero.
template <class Char>
const Char* SkipProgramName(const Char* line) {
    const Char* p = line;
    if (*p == Char('"')) {
        ++p;
        while (*p != Char('\0') && *p != Char('"')) ++p;
        if (*p == Char('"')) ++p;
    } else {
        while (*p != Char('\0') && *p != Char(' ') && *p != Char('\t')) ++p;
    }
    while (*p == Char(' ') || *p == Char('\t')) ++p;
    return p;
}

// Exit status when the command line names no program to start. A failed start
// ends with the system's error number instead (never 0).
inline constexpr int kNothingToStart = 160;  // the system's "bad arguments" number

}  // namespace launcher
