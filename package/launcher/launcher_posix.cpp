// The launcher on Linux: started like the Windows one ("Mxlh4410.dat
// Mxcp4410.exe DrvConfig 0"), it starts the program named by its first
// argument, found on PATH, with the remaining arguments, and ends without
// waiting for it. It prints nothing; a failure is reported only through its
// exit status, the error number of the failed start.
//
// The started program outlives the launcher; once the launcher has ended, the
// system collects the program's status, so no zombie is left behind.
#include <spawn.h>

#include "command_tail.h"

extern char** environ;

int main(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '\0') return launcher::kNothingToStart;
    pid_t pid;
    // The started program's own name comes first in its arguments, as the
    // caller wrote it.
    const int error = posix_spawnp(&pid, argv[1], nullptr, nullptr, argv + 1, environ);
    return error == 0 ? 0 : (error > 0 && error < 256 ? error : 1);
}
