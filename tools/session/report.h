// What mxsession prints: the virtual unit, the driver's answers, the buffers,
// a live progress line and the final report.
#pragma once

#include <cstdio>

#include "options.h"
#include "session.h"

namespace session {

void PrintUnit(std::FILE* out, const CommandLine& line);
void PrintFacts(std::FILE* out, const DriverFacts& facts, uint32_t unitWidth);
void PrintTrial(std::FILE* out, const TrialReport& trial);
void PrintBuffers(std::FILE* out, const StreamReport& report);
void PrintStart(std::FILE* out, const StreamReport& report);
// One line, redrawn in place on a terminal.
void PrintProgress(std::FILE* out, const HostLive& live, double seconds, int32_t bufferSize);
void EndProgress(std::FILE* out);
void PrintReport(std::FILE* out, const StreamReport& report);

}  // namespace session
