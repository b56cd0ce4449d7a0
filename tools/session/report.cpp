#include "report.h"

#include <string>

#include "host_signal.h"

namespace session {

namespace {

// Nanoseconds as microseconds with one decimal.
double Us(int64_t ns) { return static_cast<double>(ns) / 1000.0; }

void PrintChannels(std::FILE* out, const char* title, const std::vector<ChannelFacts>& channels) {
    std::fprintf(out, "  %-16s", title);
    if (channels.empty()) std::fprintf(out, "none");
    size_t column = 0;
    for (const ChannelFacts& c : channels) {
        if (column == 4) {
            std::fprintf(out, "\n  %-16s", "");
            column = 0;
        }
        if (c.result != ASE_OK) {
            std::fprintf(out, "%d: %s   ", c.info.channel, AsioErrorName(c.result));
        } else {
            const std::string name = c.info.name[0] != '\0' ? std::string("\"") + c.info.name + "\"" : "(no name)";
            std::fprintf(out, "%d %s %s%s%s   ", c.info.channel, name.c_str(), SampleTypeName(c.info.type),
                         c.info.isActive ? " active" : "", c.nameTerminated ? "" : " (name not terminated)");
        }
        ++column;
    }
    std::fprintf(out, "\n");
}

}  // namespace

void PrintUnit(std::FILE* out, const CommandLine& line) {
    const SessionOptions& o = line.session;
    std::fprintf(out, "mxsession: driver %s\n", o.driverPath.c_str());
    if (!line.unitsText.empty())
        std::fprintf(out, "virtual units%s: %s\n", line.unitsFromEnvironment ? " (from MX_VIRTUAL_UNITS)" : "",
                     line.unitsText.c_str());
    bool any = false;
    for (int n = 1; n <= vu::kMaxUnits; ++n) {
        const vu::UnitConfig& u = o.units.units[n - 1];
        if (!u.present) continue;
        any = true;
        const char* source = u.source == vu::InputSource::Loopback ? "loopback"
                             : u.source == vu::InputSource::Ramp   ? "ramp"
                             : u.source == vu::InputSource::Sine   ? "sine"
                                                                   : "silence";
        std::fprintf(out,
                     "virtual unit %d: %u in / %u out, %u-byte samples, %u Hz, buffer sizes %d..%d (preferred %d, "
                     "granularity %d),\n  latency terms %d in / %d out, inputs %s (delay %u frames), %s clock, "
                     "buffer position %d%s\n",
                     n, u.inputs, u.outputs, u.sampleBytes, u.unitRate, u.bufferSizes.nMinimum, u.bufferSizes.nMaximum,
                     u.bufferSizes.nPreferred, u.bufferSizes.nGranularity, u.inputLatency, u.outputLatency, source,
                     u.loopbackDelayFrames, u.clock == vu::ClockMode::RealTime ? "real-time" : "stepped",
                     u.settings.nBufPos, u.primary ? "" : ", not primary");
    }
    if (!any) std::fprintf(out, "virtual units: none present\n");
    std::fprintf(out, "\n");
}

void PrintFacts(std::FILE* out, const DriverFacts& f, uint32_t unitWidth) {
    std::fprintf(out, "Driver\n");
    std::fprintf(out, "  %-16s%s (version %d)\n", "name", f.name.c_str(), f.version);
    std::fprintf(out, "  %-16s%s\n", "init", f.initialised ? "ASIOTrue" : "ASIOFalse");
    if (!f.initialised) {
        std::fprintf(out, "  %-16s\"%s\"\n", "error message", f.errorMessage.c_str());
        return;
    }
    if (!f.errorMessage.empty()) std::fprintf(out, "  %-16s\"%s\"\n", "error message", f.errorMessage.c_str());
    if (f.channelsResult == ASE_OK)
        std::fprintf(out, "  %-16s%d in, %d out\n", "channels", f.inputs, f.outputs);
    else
        std::fprintf(out, "  %-16s%s\n", "channels", AsioErrorName(f.channelsResult));
    if (f.bufferSizeResult == ASE_OK)
        std::fprintf(out, "  %-16smin %d, max %d, preferred %d, granularity %d\n", "buffer sizes", f.minSize,
                     f.maxSize, f.preferredSize, f.granularity);
    else
        std::fprintf(out, "  %-16s%s\n", "buffer sizes", AsioErrorName(f.bufferSizeResult));
    if (f.sampleRateResult == ASE_OK)
        std::fprintf(out, "  %-16s%.0f Hz\n", "sample rate", f.sampleRate);
    else
        std::fprintf(out, "  %-16s%s\n", "sample rate", AsioErrorName(f.sampleRateResult));
    std::string accepted, refused;
    for (const RateAnswer& r : f.rates) {
        std::string& list = r.result == ASE_OK ? accepted : refused;
        if (!list.empty()) list += ' ';
        list += std::to_string(static_cast<long>(r.rate));
        if (r.result != ASE_OK && r.result != ASE_NoClock) list += std::string("(") + AsioErrorName(r.result) + ")";
    }
    std::fprintf(out, "  %-16s%s\n", "rates accepted", accepted.empty() ? "none" : accepted.c_str());
    std::fprintf(out, "  %-16s%s\n", "rates refused", refused.empty() ? "none" : refused.c_str());
    std::fprintf(out, "  %-16s%s\n", "outputReady", AsioErrorName(f.outputReadyResult));
    if (f.latenciesResult == ASE_OK)
        std::fprintf(out, "  %-16sin %d, out %d frames (before createBuffers)\n", "latencies", f.inputLatency,
                     f.outputLatency);
    else
        std::fprintf(out, "  %-16s%s\n", "latencies", AsioErrorName(f.latenciesResult));
    if (f.clockResult != ASE_OK) {
        std::fprintf(out, "  %-16s%s\n", "clock sources", AsioErrorName(f.clockResult));
    } else {
        std::fprintf(out, "  %-16s", "clock sources");
        for (const ASIOClockSource& c : f.clocks)
            std::fprintf(out, "%d \"%s\"%s   ", c.index, FieldText(c.name, sizeof c.name).c_str(),
                         c.isCurrentSource ? " (current)" : "");
        std::fprintf(out, "%s\n", f.clocks.empty() ? "none" : "");
    }
    PrintChannels(out, "inputs", f.inputChannels);
    PrintChannels(out, "outputs", f.outputChannels);
    const ASIOSampleType type = f.CommonSampleType();
    const uint32_t bytes = BytesOfSampleType(type);
    if (type >= 0 && unitWidth != 0 && bytes != unitWidth)
        std::fprintf(out, "  %-16s%s holds %u-byte samples, but the unit's are %u bytes wide\n", "WARNING",
                     SampleTypeName(type), bytes, unitWidth);
    std::fprintf(out, "\n");
}

void PrintTrial(std::FILE* out, const TrialReport& t) {
    if (!t.done) return;
    std::fprintf(out, "Trial run\n");
    std::fprintf(out, "  %-16screateBuffers %s, start %s, stop %s, disposeBuffers %s\n", "calls",
                 AsioErrorName(t.createResult), AsioErrorName(t.startResult), AsioErrorName(t.stopResult),
                 AsioErrorName(t.disposeResult));
    std::fprintf(out, "  %-16s%llu bufferSwitch calls%s\n\n", "periods", static_cast<unsigned long long>(t.switches),
                 t.Passed() ? "" : " -- a host would declare the device dead");
}

void PrintBuffers(std::FILE* out, const StreamReport& r) {
    std::fprintf(out, "Streaming\n");
    std::fprintf(out, "  %-16s%s\n", "setSampleRate", AsioErrorName(r.setRateResult));
    if (r.retriedAtPreferred)
        std::fprintf(out, "  %-16s%d frames refused; tried the preferred size\n", "createBuffers", r.requestedSize);
    std::fprintf(out, "  %-16s%d frames, %u-byte samples: %s\n", "createBuffers",
                 r.createResult == ASE_OK ? r.bufferSize : r.requestedSize, r.width, AsioErrorName(r.createResult));
    if (r.createResult != ASE_OK) return;
    if (r.latenciesResult == ASE_OK)
        std::fprintf(out, "  %-16sin %d, out %d frames\n", "latencies", r.inputLatency, r.outputLatency);
    else
        std::fprintf(out, "  %-16s%s\n", "latencies", AsioErrorName(r.latenciesResult));
}

void PrintProgress(std::FILE* out, const HostLive& live, double seconds, int32_t bufferSize) {
    const uint64_t frames = bufferSize > 0 ? static_cast<uint64_t>(bufferSize) : 1;
    const uint64_t periods = live.position / frames > 0 ? live.position / frames - 1 : 0;
    std::fprintf(out, "\r  %6.1f s  periods %-8llu position %-10llu catch-up %-4llu callback %6.1f us", seconds,
                 static_cast<unsigned long long>(periods), static_cast<unsigned long long>(live.position),
                 static_cast<unsigned long long>(live.skippedPeriods), Us(live.lastCallbackCpuNs));
    if (live.lastWakeTicks >= 0) std::fprintf(out, "  wake %7.1f us", Us(live.lastWakeTicks));
    std::fprintf(out, "  ");
    std::fflush(out);
}

void EndProgress(std::FILE* out) {
    std::fprintf(out, "\r%100s\r", "");
    std::fflush(out);
}

void PrintStart(std::FILE* out, const StreamReport& r) {
    std::fprintf(out, "  %-16s%s\n", "start", AsioErrorName(r.startResult));
    std::fflush(out);
}

void PrintReport(std::FILE* out, const StreamReport& r) {
    if (r.startResult != ASE_OK) {
        if (r.resetRequests > 0) std::fprintf(out, "  %-16s%u (the driver asked to be reopened)\n", "reset requests", r.resetRequests);
        return;
    }
    std::fprintf(out, "  %-16s%s\n", "stop", AsioErrorName(r.stopResult));
    std::fprintf(out, "\nReport\n");
    std::fprintf(out, "  %-16s%.2f s, %s clock\n", "ran", r.wallSeconds, r.stepped ? "stepped" : "real-time");
    std::fprintf(out, "  %-16sprocessed %llu, skipped %llu (bufferSwitch calls %llu, one of them inside start)\n",
                 "periods", static_cast<unsigned long long>(r.unitPeriods),
                 static_cast<unsigned long long>(r.skippedPeriods), static_cast<unsigned long long>(r.switches));
    if (r.stalled) std::fprintf(out, "  %-16sthe driver stopped processing periods\n", "STALLED");
    if (r.positionErrors != 0 || r.timeStampBackwards != 0 || r.halfOrderErrors != 0)
        std::fprintf(out, "  %-16sposition errors %llu, time stamp backwards %llu, wrong buffer half %llu\n",
                     "PROBLEMS", static_cast<unsigned long long>(r.positionErrors),
                     static_cast<unsigned long long>(r.timeStampBackwards),
                     static_cast<unsigned long long>(r.halfOrderErrors));
    if (r.notDirectProcess != 0)
        std::fprintf(out, "  %-16s%llu calls without directProcess\n", "note",
                     static_cast<unsigned long long>(r.notDirectProcess));
    if (r.wakeNs.count > 0)
        std::fprintf(out, "  %-16smedian %.1f us, p99 %.1f us, max %.1f us (period event set -> bufferSwitch, %zu periods)\n",
                     "wake-up", Us(r.wakeNs.median), Us(r.wakeNs.p99), Us(r.wakeNs.max), r.wakeNs.count);
    else
        std::fprintf(out, "  %-16snot measured\n", "wake-up");
    std::fprintf(out, "  %-16sdriver %.1f us (median, p99 %.1f), host callback %.1f us, whole process %.1f us\n",
                 "CPU per period", Us(r.driverCpuNs.median), Us(r.driverCpuNs.p99), Us(r.callbackCpuNs.median),
                 r.processCpuNsPerPeriod / 1000.0);
    if (r.resetRequests || r.rateChanges || r.timeInfoSwitches)
        std::fprintf(out, "  %-16sreset requests %u, sampleRateDidChange %u, bufferSwitchTimeInfo %u\n", "callbacks",
                     r.resetRequests, r.rateChanges, r.timeInfoSwitches);

    const LoopbackResult& l = r.loopback;
    if (!l.Checked()) {
        std::fprintf(out, "  %-16sno input carries an output: nothing to compare\n", "audio");
    } else if (!l.delayFound) {
        std::fprintf(out, "  %-16sthe test signal did not come back within %llu captured frames\n", "audio",
                     static_cast<unsigned long long>(r.capturedFrames));
    } else {
        const long long reported = static_cast<long long>(r.inputLatency) + r.outputLatency;
        const long long measured = static_cast<long long>(l.delayFrames);
        std::fprintf(out, "  %-16s%lld frames measured; the driver reports in %d + out %d = %lld (%+lld)\n",
                     "round trip", measured, r.inputLatency, r.outputLatency, reported, reported - measured);
        if (l.mismatches == 0)
            std::fprintf(out, "  %-16sintact: %u looped channel(s), %llu samples compared one by one\n", "audio",
                         l.loopChannels, static_cast<unsigned long long>(l.comparedSamples));
        else
            std::fprintf(out,
                         "  %-16s%llu of %llu samples differ; first at input %u, frame %llu: expected %d, got %d\n",
                         "AUDIO ALTERED", static_cast<unsigned long long>(l.mismatches),
                         static_cast<unsigned long long>(l.comparedSamples), l.mismatchChannel,
                         static_cast<unsigned long long>(l.mismatchFrame), l.expected, l.actual);
    }
    if (r.unloadable != S_OK) std::fprintf(out, "  %-16sDllCanUnloadNow answered S_FALSE\n", "note");
    std::fprintf(out, "  %-16s%s\n", "result", r.Passed() ? "PASSED" : "FAILED");
}

}  // namespace session
