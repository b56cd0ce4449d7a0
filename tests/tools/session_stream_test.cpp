// Sessions streamed in-process through the built driver library, the virtual
// unit stepped one period at a time: the whole host road of the session tool,
// deterministic and free of timing.
#include <gtest/gtest.h>

#include <string>

#include "device/records.h"
#include "session.h"

namespace {

using namespace session;

constexpr int32_t kFrames = 256;
constexpr uint32_t kLoopDelay = 80;

SessionOptions Stepped(uint32_t width, uint64_t periods) {
    SessionOptions o;
    o.driverPath = MX_DRIVER_LIBRARY;
    vu::UnitConfig& u = o.units.units[0];
    u.present = true;
    u.inputs = 2;
    u.outputs = 2;
    u.sampleBytes = width;
    u.bufferSizes = BUFFER_SIZES_REQ{64, 2048, kFrames, 32};
    u.driverRate = u.unitRate = 48000;
    u.source = vu::InputSource::Loopback;
    u.loopbackDelayFrames = kLoopDelay;
    u.clock = vu::ClockMode::Stepped;
    o.unit = 1;
    o.periods = periods;
    o.stallMs = 20000;  // generous: sanitizers slow everything down
    return o;
}

// Runs every phase; the pre-roll the driver chose is read from the output
// cursor right after start (one period past the pre-roll).
struct SteppedRun {
    explicit SteppedRun(const SessionOptions& options) : session(options) {
        std::string error;
        loaded = session.Load(&error) && session.Query();
        if (loaded) session.Trial();
        loaded = loaded && session.CreateBuffers(&error);
        problem = error;
        if (!loaded) return;
        started = session.Start();
        RING_HEADER header{};
        const StreamReport& r = session.Report();
        if (started && session.Unit().ReadRingHeader(options.unit, &header) && r.width != 0)
            preRollFrames = (header.outPos - static_cast<uint64_t>(r.bufferSize) * r.width) / r.width;
        session.Stream(nullptr);
        session.Stop();
        session.Close();
    }
    Session session;
    bool loaded = false;
    bool started = false;
    std::string problem;
    uint64_t preRollFrames = 0;
};

TEST(SessionStream, TheSignalComesBackIntactAtEveryWidth) {
    for (uint32_t width : {2u, 3u, 4u}) {
        SCOPED_TRACE("width " + std::to_string(width));
        SteppedRun run(Stepped(width, 48));
        ASSERT_TRUE(run.loaded) << run.problem;
        ASSERT_TRUE(run.started);
        const StreamReport& r = run.session.Report();
        EXPECT_EQ(r.width, width);
        EXPECT_EQ(r.bufferSize, kFrames);
        EXPECT_EQ(r.unitPeriods, 48u);
        EXPECT_EQ(r.switches, 49u);  // one inside start
        EXPECT_EQ(r.skippedPeriods, 0u);
        EXPECT_EQ(r.positionErrors, 0u);
        EXPECT_EQ(r.halfOrderErrors, 0u);
        EXPECT_FALSE(r.stalled);
        // A sample written at host frame h leaves the ring at h + pre-roll, comes
        // back kLoopDelay frames later and is read one period after that.
        EXPECT_TRUE(r.loopback.delayFound);
        EXPECT_EQ(r.loopback.delayFrames, kFrames + run.preRollFrames + kLoopDelay);
        EXPECT_EQ(r.loopback.mismatches, 0u) << "input " << r.loopback.mismatchChannel << " frame "
                                             << r.loopback.mismatchFrame << ": expected " << r.loopback.expected
                                             << ", got " << r.loopback.actual;
        EXPECT_EQ(r.capturedFrames, 49u * kFrames);
        // Every period on the streaming thread was woken by a relayed event.
        EXPECT_EQ(r.wakeNs.count, 48u);
        EXPECT_EQ(r.stopResult, ASE_OK);
        EXPECT_EQ(r.disposeResult, ASE_OK);
        EXPECT_EQ(r.unloadable, S_OK);
        // The trial run before: start, four stepped periods, stop, dispose.
        EXPECT_TRUE(r.trial.done);
        EXPECT_EQ(r.trial.switches, 5u);
        EXPECT_TRUE(r.trial.Passed());
        EXPECT_TRUE(r.Passed());
    }
}

TEST(SessionStream, ACorruptedSampleIsFound) {
    SessionOptions o = Stepped(4, 24);
    o.corruptFrame = 1000;
    o.corruptChannel = 1;
    SteppedRun run(o);
    ASSERT_TRUE(run.loaded) << run.problem;
    const StreamReport& r = run.session.Report();
    EXPECT_EQ(r.skippedPeriods, 0u);
    ASSERT_TRUE(r.loopback.delayFound);
    EXPECT_EQ(r.loopback.mismatches, 1u);
    EXPECT_EQ(r.loopback.mismatchChannel, 1u);
    EXPECT_EQ(r.loopback.mismatchFrame, 1000u + r.loopback.delayFrames);
    EXPECT_FALSE(r.Passed());
}

TEST(SessionStream, CatchUpPeriodsAreCountedAsSkipped) {
    // Three periods at once: the driver processes the oldest without the host.
    SessionOptions o = Stepped(2, 12);
    o.stepBurst = 3;
    SteppedRun run(o);
    ASSERT_TRUE(run.loaded) << run.problem;
    const StreamReport& r = run.session.Report();
    EXPECT_EQ(r.unitPeriods, 12u);
    EXPECT_EQ(r.skippedPeriods, 4u);
    EXPECT_EQ(r.switches, 1u + 8u);
    EXPECT_EQ(r.positionErrors, 0u);
    EXPECT_EQ(r.halfOrderErrors, 0u);
    EXPECT_FALSE(r.loopback.Intact());
    EXPECT_FALSE(r.Passed());
}

TEST(SessionStream, AStartTheDriverRefusesEndsTheSession) {
    // A size the unit does not offer: buffers are made, but start asks the host
    // to reset the driver and refuses, unless the host cannot take the request.
    struct Case {
        const char* name;
        bool answersReset;
        uint32_t resetRequests;
    };
    static const Case kCases[] = {{"host takes reset requests", true, 1}, {"host refuses them", false, 0}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        SessionOptions o = Stepped(4, 8);
        o.bufferSize = 100;
        o.answerResetRequests = c.answersReset;
        SteppedRun run(o);
        ASSERT_TRUE(run.loaded) << run.problem;
        const StreamReport& r = run.session.Report();
        EXPECT_EQ(r.createResult, ASE_OK);
        EXPECT_EQ(r.bufferSize, 100);
        EXPECT_FALSE(run.started);
        EXPECT_EQ(r.startResult, ASE_InvalidMode);
        EXPECT_EQ(r.resetRequests, c.resetRequests);
        EXPECT_EQ(r.switches, 0u);
        EXPECT_FALSE(r.Passed());
    }
}

TEST(SessionStream, NoDevice) {
    SessionOptions o = Stepped(4, 8);
    o.units = vu::UnitSet();
    Session session(o);
    std::string error;
    ASSERT_TRUE(session.Load(&error)) << error;
    EXPECT_FALSE(session.Query());
    EXPECT_FALSE(session.Facts().initialised);
    EXPECT_FALSE(session.Facts().errorMessage.empty());
    EXPECT_EQ(session.Facts().name, "Calvera");
    session.Close();
}

}  // namespace
