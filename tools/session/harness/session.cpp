#include "session.h"

#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "host_signal.h"
#include "unit_text.h"

namespace session {

namespace {

// The capture of all inputs together stays below this many samples (256 MiB).
constexpr uint64_t kMaxCaptureSamples = uint64_t{1} << 26;
constexpr uint64_t kMaxRecords = uint64_t{1} << 22;
constexpr DWORD kProgressMs = 100;

int64_t Ticks() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

int64_t TicksPerSecond() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart > 0 ? f.QuadPart : 1;
}

int64_t TicksToNs(int64_t ticks) {
    return static_cast<int64_t>(static_cast<double>(ticks) * 1e9 / static_cast<double>(TicksPerSecond()));
}

int64_t ProcessCpuNanoseconds() {
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    const auto hundreds = [](const FILETIME& t) {
        return static_cast<int64_t>((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime);
    };
    return (hundreds(kernel) + hundreds(user)) * 100;
#else
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
#endif
}

// On Windows the driver library's device port is its own: the virtual-unit
// build of the driver makes its unit from MX_VIRTUAL_UNITS when it is loaded,
// so the session's units are handed over there, on the real-time clock (no one
// here can step a unit inside the library).
SessionOptions ForThisPlatform(SessionOptions options) {
#ifdef _WIN32
    for (vu::UnitConfig& u : options.units.units) u.clock = vu::ClockMode::RealTime;
#endif
    return options;
}

}  // namespace

bool StreamReport::Passed() const {
    return (!trial.done || trial.Passed()) && startResult == ASE_OK && !stalled && unitPeriods > 0 && skippedPeriods == 0 && positionErrors == 0 &&
           timeStampBackwards == 0 && halfOrderErrors == 0 && loopback.Intact();
}

Session::Session(SessionOptions options) : m_options(ForThisPlatform(std::move(options))), m_unit(m_options.units) {}

Session::~Session() { Close(); }

bool Session::Load(std::string* error) {
    m_relay = std::make_unique<PeriodEventRelay>(m_unit);
    m_install.emplace(*m_relay);
#ifdef _WIN32
    SetEnvironmentVariableA(vu::kUnitsEnvironmentVariable, FormatUnitSet(m_options.units).c_str());
#endif
    if (!m_host.Load(m_options.driverPath.c_str(), error)) return false;
    const HRESULT hr = m_host.Create();
    if (FAILED(hr) || m_host.Driver() == nullptr) {
        char text[96];
        std::snprintf(text, sizeof text, "the class factory did not create the driver object (HRESULT 0x%08X)",
                      static_cast<unsigned>(hr));
        if (error != nullptr) *error = text;
        return false;
    }
    m_host.SetAnswersResetRequest(m_options.answerResetRequests);
    return true;
}

bool Session::Query() { return m_host.Driver() != nullptr && QueryDriver(m_host.Driver(), &m_facts); }

namespace {

// The host side of the trial run: silence out, nothing kept.
class TrialHost final : public IHostProcessor {
public:
    void OnBufferSwitch(HostHarness& host, ASIOLong index, ASIOBool) override {
        for (int32_t c = 0; c < host.Outputs(); ++c)
            if (void* out = host.OutputBuffer(c, index)) std::memset(out, 0, m_halfBytes);
    }
    size_t m_halfBytes = 0;
};

constexpr int32_t kTrialChannels = 2;
constexpr uint32_t kTrialPeriods = 4;
constexpr DWORD kTrialMs = 200;

}  // namespace

void Session::Trial() {
    TrialReport& t = m_report.trial;
    t = TrialReport{};
    IASIO* driver = m_host.Driver();
    const uint32_t width = BytesOfSampleType(m_facts.CommonSampleType());
    if (!m_options.trialRun || driver == nullptr || width == 0) return;
    t.done = true;
    TrialHost trial;
    trial.m_halfBytes = static_cast<size_t>(std::max<ASIOLong>(m_facts.preferredSize, 0)) * width;
    const uint64_t before = m_host.Switches();
    t.createResult = m_host.CreateBuffers(std::clamp<ASIOLong>(m_facts.inputs, 0, kTrialChannels),
                                          std::clamp<ASIOLong>(m_facts.outputs, 0, kTrialChannels),
                                          m_facts.preferredSize, &trial);
    if (t.createResult != ASE_OK) return;
    t.startResult = m_host.Start();
    if (t.startResult == ASE_OK) {
        const int unitIndex = std::clamp(m_options.unit, 1, vu::kMaxUnits) - 1;
        if (m_options.units.units[unitIndex].clock == vu::ClockMode::Stepped) {
            UnitStepper stepper(m_unit, m_options.unit);
            if (stepper.Arm())
                for (uint32_t i = 0; i < kTrialPeriods && stepper.Step(1, m_options.stallMs); ++i) {
                }
        } else {
            m_host.WaitForSwitches(before + 1 + kTrialPeriods, kTrialMs);
        }
        t.stopResult = m_host.Stop();
    }
    t.switches = m_host.Switches() - before;
    t.disposeResult = m_host.DisposeBuffers();
}

uint64_t Session::PlannedPeriods() const {
    if (m_options.periods != 0) return m_options.periods;
    const double rate = m_facts.sampleRate > 0 ? m_facts.sampleRate : 44100.0;
    const int32_t size = std::max<int32_t>(m_report.bufferSize, 1);
    return static_cast<uint64_t>(std::ceil(std::max(m_options.seconds, 0.0) * rate / size));
}

bool Session::CreateBuffers(std::string* error) {
    IASIO* driver = m_host.Driver();
    StreamReport& r = m_report;
    const int unitIndex = std::clamp(m_options.unit, 1, vu::kMaxUnits) - 1;
    r.unitWidth = m_options.units.units[unitIndex].sampleBytes;
    r.stepped = m_options.units.units[unitIndex].clock == vu::ClockMode::Stepped;
    r.sampleType = m_facts.CommonSampleType();
    r.width = BytesOfSampleType(r.sampleType);
    if (driver == nullptr || r.width == 0) {
        if (error != nullptr)
            *error = r.sampleType < 0 ? "the channels do not report one common sample type"
                                      : std::string("the channels report sample type ") +
                                            SampleTypeName(r.sampleType) + ", which this host does not fill";
        return false;
    }

    // The real open of a host: the rate first, then the buffers.
    r.setRateResult = driver->setSampleRate(m_facts.sampleRate);
    const int32_t inputs = std::clamp<ASIOLong>(m_facts.inputs, 0, kMaxChannelsAsked);
    const int32_t outputs = std::clamp<ASIOLong>(m_facts.outputs, 0, kMaxChannelsAsked);
    int32_t size = m_options.bufferSize != 0 ? m_options.bufferSize : m_facts.preferredSize;
    r.requestedSize = size;
    r.createResult = m_host.CreateBuffers(inputs, outputs, size, &m_processor);
    if (r.createResult != ASE_OK && size != m_facts.preferredSize) {
        // Hosts fall back to the size the driver prefers.
        r.retriedAtPreferred = true;
        size = m_facts.preferredSize;
        r.createResult = m_host.CreateBuffers(inputs, outputs, size, &m_processor);
    }
    if (r.createResult != ASE_OK) {
        if (error != nullptr)
            *error = std::string("createBuffers(") + std::to_string(size) + ") answered " +
                     AsioErrorName(r.createResult);
        return false;
    }
    r.bufferSize = size;
    r.latenciesResult = driver->getLatencies(&r.inputLatency, &r.outputLatency);

    const uint64_t planned = PlannedPeriods();
    HostSetup setup;
    setup.driver = driver;
    setup.width = r.width;
    setup.inputs = inputs;
    setup.outputs = outputs;
    setup.bufferSize = size;
    // Room for the call inside start, and for a real-time run that overshoots.
    setup.maxPeriods = std::min(kMaxRecords, planned + planned / 4 + 64);
    setup.captureFrames = setup.maxPeriods * static_cast<uint64_t>(size);
    if (inputs > 0) setup.captureFrames = std::min(setup.captureFrames, kMaxCaptureSamples / inputs);
    setup.relay = m_relay && m_relay->Ready() ? m_relay.get() : nullptr;
    setup.corruptFrame = m_options.corruptFrame;
    setup.corruptChannel = m_options.corruptChannel;
    if (size <= 0 || !m_processor.Prepare(setup)) {
        if (error != nullptr) *error = "the buffer size " + std::to_string(size) + " leaves nothing to stream";
        return false;
    }
    return true;
}

bool Session::Start() {
    m_startProcessCpuNs = ProcessCpuNanoseconds();
    m_startTicks = Ticks();
    m_report.startResult = m_host.Start();
    if (m_report.startResult != ASE_OK) return false;
    if (m_report.stepped) {
        m_stepper.emplace(m_unit, m_options.unit);
        if (!m_stepper->Arm()) m_report.stalled = true;
    }
    return true;
}

void Session::Stream(const Progress& progress) {
    if (m_report.startResult != ASE_OK || m_report.stalled) return;
    if (m_report.stepped)
        StreamStepped(progress);
    else
        StreamRealTime(progress);
}

void Session::StreamStepped(const Progress& progress) {
    const uint64_t planned = PlannedPeriods();
    const uint32_t burst = std::max<uint32_t>(m_options.stepBurst, 1);
    DWORD lastShown = timeGetTime();
    uint64_t stepped = 0;
    while (stepped < planned) {
        const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(burst, planned - stepped));
        if (!m_stepper->Step(n, m_options.stallMs)) {
            m_report.stalled = true;
            break;
        }
        stepped += n;
        if (progress && timeGetTime() - lastShown >= kProgressMs) {
            lastShown = timeGetTime();
            progress(m_processor.Live(), static_cast<double>(Ticks() - m_startTicks) / TicksPerSecond());
        }
    }
    if (progress) progress(m_processor.Live(), static_cast<double>(Ticks() - m_startTicks) / TicksPerSecond());
}

void Session::StreamRealTime(const Progress& progress) {
    const int64_t perSecond = TicksPerSecond();
    const uint64_t frames = static_cast<uint64_t>(std::max<int32_t>(m_report.bufferSize, 1));
    uint64_t lastSwitches = m_processor.Switches();
    DWORD lastChange = timeGetTime();
    for (;;) {
        const double elapsed = static_cast<double>(Ticks() - m_startTicks) / perSecond;
        DWORD wait = kProgressMs;
        if (m_options.periods == 0) {
            const double left = m_options.seconds - elapsed;
            if (left * 1000 < wait) wait = left > 0 ? static_cast<DWORD>(left * 1000) + 1 : 0;
        }
        if (wait > 0) Sleep(wait);
        const HostLive live = m_processor.Live();
        const double now = static_cast<double>(Ticks() - m_startTicks) / perSecond;
        if (progress) progress(live, now);
        const uint64_t unitPeriods = live.position / frames > 0 ? live.position / frames - 1 : 0;
        if (m_options.periods != 0 ? unitPeriods >= m_options.periods : now >= m_options.seconds) break;
        if (live.switches != lastSwitches) {
            lastSwitches = live.switches;
            lastChange = timeGetTime();
        } else if (timeGetTime() - lastChange >= m_options.stallMs) {
            m_report.stalled = true;
            break;
        }
    }
}

void Session::Stop() {
    StreamReport& r = m_report;
    r.resetRequests = m_host.ResetRequests();
    r.rateChanges = m_host.RateChanges();
    r.timeInfoSwitches = m_host.TimeInfoSwitches();
    if (m_host.Driver() == nullptr || r.createResult != ASE_OK || r.startResult != ASE_OK) return;
    r.stopResult = m_host.Stop();
    r.wallSeconds = static_cast<double>(Ticks() - m_startTicks) / TicksPerSecond();
    const int64_t processCpu = ProcessCpuNanoseconds() - m_startProcessCpuNs;

    const SessionHost& host = m_processor;
    const uint64_t frames = static_cast<uint64_t>(std::max<int32_t>(r.bufferSize, 1));
    r.switches = host.Switches();
    const uint64_t position = host.Live().position;
    r.unitPeriods = position / frames > 0 ? position / frames - 1 : 0;
    r.skippedPeriods = host.SkippedPeriods();
    r.positionErrors = host.PositionErrors();
    r.timeStampBackwards = host.TimeStampBackwards();
    r.halfOrderErrors = host.HalfOrderErrors();
    r.notDirectProcess = host.NotDirectProcess();
    r.processCpuNsPerPeriod = r.unitPeriods > 0 ? static_cast<double>(processCpu) / r.unitPeriods : 0;

    std::vector<int64_t> wake, callback, driverCpu;
    const uint64_t count = host.RecordCount();
    for (uint64_t i = 0; i < count; ++i) {
        const PeriodRecord& p = host.Records()[i];
        callback.push_back(p.callbackCpuNs);
        if (p.wakeTicks >= 0) wake.push_back(TicksToNs(p.wakeTicks));
        if (p.driverCpuNs >= 0) driverCpu.push_back(p.driverCpuNs);
    }
    r.wakeNs = Summarise(std::move(wake));
    r.callbackCpuNs = Summarise(std::move(callback));
    r.driverCpuNs = Summarise(std::move(driverCpu));

    r.resetRequests = m_host.ResetRequests();
    r.rateChanges = m_host.RateChanges();
    r.timeInfoSwitches = m_host.TimeInfoSwitches();
    r.capturedFrames = host.CapturedFrames();
    r.loopback = CheckLoopback(host.Captured(), r.capturedFrames, static_cast<uint32_t>(m_host.Outputs()), r.width);
}

void Session::Close() {
    if (m_host.Driver() != nullptr && m_report.createResult == ASE_OK && m_host.BufferSize() != 0)
        m_report.disposeResult = m_host.DisposeBuffers();
    m_host.Close(&m_report.unloadable);
    m_stepper.reset();
    m_install.reset();
    m_relay.reset();
}

}  // namespace session
