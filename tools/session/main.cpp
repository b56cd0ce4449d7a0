// mxsession: a command-line ASIO host for the driver library (see --help).
#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <string>

#include "options.h"
#include "report.h"
#include "session.h"
#include "wav_file.h"

using namespace session;

int main(int argc, char** argv) {
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(argc, argv, &line, &error)) {
        std::fprintf(stderr, "mxsession: %s\n", error.c_str());
        return kExitUsage;
    }
    if (line.help) {
        std::fputs(UsageText(), stdout);
        return kExitPassed;
    }
    if (!line.wavPath.empty() && !CanWriteWav()) {
        std::fprintf(stderr, "mxsession: --wav is not available: this build has no libsndfile\n");
        return kExitUsage;
    }

    const vu::UnitConfig& unit = line.session.units.units[line.session.unit - 1];
    const uint32_t unitWidth = unit.present ? unit.sampleBytes : 0;
    PrintUnit(stdout, line);

    Session session(line.session);
    if (!session.Load(&error)) {
        std::fprintf(stderr, "mxsession: cannot load the driver: %s\n", error.c_str());
        return kExitNoStream;
    }
    const bool found = session.Query();
    PrintFacts(stdout, session.Facts(), unitWidth);
    if (!found) {
        session.Close();
        std::fflush(stdout);
        std::fprintf(stderr, "mxsession: the driver found no device: %s\n", session.Facts().errorMessage.c_str());
        return kExitNoStream;
    }
    session.Trial();
    PrintTrial(stdout, session.Report().trial);
    if (!session.CreateBuffers(&error)) {
        PrintBuffers(stdout, session.Report());
        session.Close();
        std::fflush(stdout);
        std::fprintf(stderr, "mxsession: no buffers to stream with: %s\n", error.c_str());
        return kExitNoStream;
    }
    PrintBuffers(stdout, session.Report());
    std::fflush(stdout);

    const bool started = session.Start();
    PrintStart(stdout, session.Report());
    if (started) {
        const bool live = line.progress && isatty(fileno(stdout));
        const int32_t size = session.Report().bufferSize;
        session.Stream([&](const HostLive& l, double seconds) {
            if (live) PrintProgress(stdout, l, seconds, size);
        });
        if (live) EndProgress(stdout);
    }
    session.Stop();
    session.Close();
    PrintReport(stdout, session.Report());
    std::fflush(stdout);
    if (!started) {
        std::fprintf(stderr, "mxsession: start answered %s\n", AsioErrorName(session.Report().startResult));
        return kExitNoStream;
    }

    if (!line.wavPath.empty()) {
        const SessionHost& host = session.Host();
        const uint32_t rate = session.Facts().sampleRate > 0 ? static_cast<uint32_t>(session.Facts().sampleRate) : 44100;
        if (WriteWav(line.wavPath, host.Captured(), host.CapturedFrames(), session.Report().width, rate, &error)) {
            std::printf("  %-16s%s (%zu channels, %llu frames)\n", "wav", line.wavPath.c_str(), host.Captured().size(),
                        static_cast<unsigned long long>(host.CapturedFrames()));
        } else {
            std::fprintf(stderr, "mxsession: cannot write %s: %s\n", line.wavPath.c_str(), error.c_str());
            return kExitCheckFailed;
        }
    }
    return session.Report().Passed() ? kExitPassed : kExitCheckFailed;
}
