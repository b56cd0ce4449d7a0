// One session: a virtual unit behind the device port of this process, the
// driver library loaded and driven by the host harness, a test signal streamed
// through the unit's loopback, and what was measured.
//
// The phases follow a host's own order and can be run one by one, so that a
// command line prints what it learnt before it streams:
//   Load -> Query -> CreateBuffers -> Start -> Stream -> Stop -> Close.
// Each returns false when the session cannot go on; the report says why.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "distribution.h"
#include "driver_facts.h"
#include "host_harness.h"
#include "loopback_check.h"
#include "period_event_relay.h"
#include "session_host.h"
#include "unit_stepper.h"
#include "virtual_unit/virtual_unit.h"

namespace session {

struct SessionOptions {
    std::string driverPath;
    vu::UnitSet units;          // what the virtual unit offers
    int unit = 1;               // the unit the driver is expected to stream through (1..8)
    double seconds = 3.0;       // streaming time (stepped: the periods this much audio takes)
    uint64_t periods = 0;       // when not 0: stop after this many of the unit's periods instead
    int32_t bufferSize = 0;     // frames per half; 0: the driver's preferred size
    uint32_t stepBurst = 1;     // stepped clock: periods the unit completes per step (3 or more make the driver catch up)
    bool answerResetRequests = true;
    // Before the real open, a trial run as large hosts make one: two channels
    // each way at the preferred size, start, a few periods, stop, disposeBuffers.
    bool trialRun = true;
    DWORD stallMs = 3000;       // a run without any bufferSwitch for this long ends
    // A deliberate fault, for tests of the check (see HostSetup).
    int64_t corruptFrame = -1;
    uint32_t corruptChannel = 0;
};

struct TrialReport {
    bool done = false;
    ASIOError createResult = ASE_NotPresent;
    ASIOError startResult = ASE_NotPresent;
    ASIOError stopResult = ASE_NotPresent;
    ASIOError disposeResult = ASE_NotPresent;
    uint64_t switches = 0;  // bufferSwitch calls it saw, the one inside start included
    // A host declares the device dead when no period follows the start.
    bool Passed() const {
        return createResult == ASE_OK && startResult == ASE_OK && stopResult == ASE_OK && disposeResult == ASE_OK &&
               switches > 1;
    }
};

struct StreamReport {
    // --- buffers ---
    int32_t requestedSize = 0;
    ASIOError setRateResult = ASE_OK;
    ASIOError createResult = ASE_NotPresent;
    bool retriedAtPreferred = false;   // the chosen size failed and the preferred one was tried, as hosts do
    int32_t bufferSize = 0;
    ASIOSampleType sampleType = -1;
    uint32_t width = 0;                // bytes per sample the host fills
    uint32_t unitWidth = 0;            // the virtual unit's sample width
    ASIOError latenciesResult = ASE_NotPresent;
    ASIOLong inputLatency = 0;
    ASIOLong outputLatency = 0;

    // --- transport ---
    ASIOError startResult = ASE_NotPresent;
    ASIOError stopResult = ASE_NotPresent;
    ASIOError disposeResult = ASE_NotPresent;
    HRESULT unloadable = S_OK;

    // --- the run ---
    bool stepped = false;
    bool stalled = false;              // the driver stopped calling, or did not follow a step
    double wallSeconds = 0;
    uint64_t switches = 0;             // bufferSwitch calls, the one inside start included
    uint64_t unitPeriods = 0;          // periods the driver processed after start (position / buffer - 1)
    uint64_t skippedPeriods = 0;
    uint64_t positionErrors = 0;
    uint64_t timeStampBackwards = 0;
    uint64_t halfOrderErrors = 0;
    uint64_t notDirectProcess = 0;
    Distribution wakeNs;               // period event set -> bufferSwitch entry
    Distribution callbackCpuNs;        // the host's own work per period
    Distribution driverCpuNs;          // the driver thread's work per period, outside the callback
    double processCpuNsPerPeriod = 0;  // all threads of the process, per period
    uint32_t resetRequests = 0;
    uint32_t rateChanges = 0;
    uint32_t timeInfoSwitches = 0;

    // --- the audio ---
    uint64_t capturedFrames = 0;
    LoopbackResult loopback;

    TrialReport trial;

    bool Passed() const;
};

class Session {
public:
    explicit Session(SessionOptions options);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Puts the virtual unit behind the device port, loads the library and
    // creates the driver object. False (with a reason) when any of that fails.
    bool Load(std::string* error);
    // init and the queries; false when init fails (Facts().errorMessage says why).
    bool Query();
    // The trial run (when the options ask for one); its outcome is Report().trial.
    void Trial();
    // createBuffers for every channel; false when no buffers could be created
    // or the driver's sample type is not one this host fills (*error says why).
    bool CreateBuffers(std::string* error);
    bool Start();
    // Streams until the time or the period count is reached, or the driver
    // stalls. `progress` is called from this thread about ten times a second.
    using Progress = std::function<void(const HostLive& live, double seconds)>;
    void Stream(const Progress& progress);
    // stop, then the measurements and the loopback check.
    void Stop();
    // disposeBuffers, Release and unloading; also done by the destructor.
    void Close();

    const SessionOptions& Options() const { return m_options; }
    const DriverFacts& Facts() const { return m_facts; }
    const StreamReport& Report() const { return m_report; }
    const SessionHost& Host() const { return m_processor; }
    vu::VirtualUnit& Unit() { return m_unit; }
    HostHarness& Harness() { return m_host; }

private:
    uint64_t PlannedPeriods() const;
    void StreamStepped(const Progress& progress);
    void StreamRealTime(const Progress& progress);

    SessionOptions m_options;
    // Destroyed in reverse order: the driver goes before the port is given back.
    vu::VirtualUnit m_unit;
    std::unique_ptr<PeriodEventRelay> m_relay;
    std::optional<vu::ScopedInstall> m_install;
    SessionHost m_processor;
    HostHarness m_host;
    std::optional<UnitStepper> m_stepper;
    DriverFacts m_facts;
    StreamReport m_report;
    int64_t m_startTicks = 0;
    int64_t m_startProcessCpuNs = 0;
};

}  // namespace session
