// The period exchange: inputs written, outputs taken, devPeriod and the period
// event, in stepped mode; and the real-time clock.
#include "vu_test_support.h"

namespace vutest {
namespace {

constexpr uint32_t kFrames = 64;
constexpr uint32_t kWidth = 3;
constexpr uint32_t kIns = 2;
constexpr uint32_t kOuts = 2;

class StreamTest : public VirtualUnitTest {
protected:
    StreamTest() {
        config.inputs = kIns;
        config.outputs = kOuts;
        config.sampleBytes = kWidth;
        config.source = vu::InputSource::Ramp;
        model.Configure(1, config);
        periodEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        device = OpenUnit(1);
    }
    ~StreamTest() override {
        DevPort_CloseHandle(device);
        CloseHandle(periodEvent);
    }

    // What the ASIO driver does from createBuffers to start.
    void MapAndStart() {
        ASSERT_TRUE(model.Configure(1, config));
        ASSERT_TRUE(map.Send(device, block, kFrames));
        Start();
    }
    void Start() {
        START_STREAM_REQ arm{0, 0, 0, 0, 0};
        ASSERT_TRUE(Send(device, IOCTL_START_STREAM, &arm));
        START_STREAM_REQ main{0, 0, 1, 0, HandleToWire(periodEvent)};
        ASSERT_TRUE(Send(device, IOCTL_START_STREAM, &main));
    }
    BOOL Stop() {
        STOP_STREAM_REQ stop{0, 0, 0};
        Send(device, IOCTL_STOP_STREAM, &stop);
        stop.bMain = 1;
        return Send(device, IOCTL_STOP_STREAM, &stop);
    }
    POSITION_REQ Position() {
        POSITION_REQ pos{0, 0, 0, 0};
        EXPECT_TRUE(Send(device, IOCTL_GET_POSITION, &pos));
        return pos;
    }
    uint32_t DevPeriod() { return device::LoadShared(block.Header()->devPeriod); }
    // Output channel o's period p filled with a value per frame that names both.
    void WriteOutput(uint32_t o, uint32_t period, int32_t base) {
        for (uint32_t i = 0; i < kFrames; ++i)
            vu::StoreSample(block.Period(kIns + o, period) + i * kWidth, base + static_cast<int32_t>(i), kWidth);
    }

    vu::UnitConfig config;
    HANDLE periodEvent = nullptr;
    HANDLE device = INVALID_HANDLE_VALUE;
    RingBlock block{kFrames, kWidth, kIns + kOuts};
    PendingMap map;
};

TEST_F(StreamTest, EachStepCompletesOnePeriodAndSignals) {
    MapAndStart();
    EXPECT_TRUE(model.Inspect(1).streaming);
    EXPECT_FALSE(Signalled(periodEvent));
    EXPECT_EQ(model.StepAt(1, 5000), 1u);
    EXPECT_TRUE(Signalled(periodEvent));
    EXPECT_EQ(DevPeriod(), 1u);
    POSITION_REQ pos = Position();
    EXPECT_EQ(pos.nDevMs, 5000u);
    EXPECT_EQ(pos.nPeriod, 1u);

    EXPECT_EQ(model.StepAt(1, 5100, 3), 3u);
    EXPECT_EQ(DevPeriod(), 4u);
    pos = Position();
    EXPECT_EQ(pos.nDevMs, 5100u);
    EXPECT_EQ(pos.nPeriod, 4u);
    EXPECT_EQ(model.Inspect(1).periodsCompleted, 4u);

    uint32_t inUse = 0;
    ASSERT_TRUE(Send(device, IOCTL_GET_IN_USE, &inUse));
    EXPECT_EQ(inUse, 1u);
    STREAM_STATUS_REQ status{};
    ASSERT_TRUE(Send(device, IOCTL_GET_STREAM_STATUS, &status));
    EXPECT_EQ(status.bStreaming, 1u);
    EXPECT_EQ(status.nRate, 44100u);
}

TEST_F(StreamTest, InputsLandAtPeriodOffsetsAndDevPeriodWraps) {
    MapAndStart();
    model.Step(1, 63);
    EXPECT_EQ(DevPeriod(), 63u);
    model.Step(1);
    EXPECT_EQ(DevPeriod(), 0u) << "63 + 1 wraps to 0";
    EXPECT_EQ(Position().nPeriod, 0u);
    model.Step(1, 6);  // periods 64..69; period 69 lies at offset 5 × P
    EXPECT_EQ(DevPeriod(), 6u);

    struct Case {
        uint64_t period;  // since the start
    };
    static const Case kCases[] = {{0}, {1}, {62}, {63}, {64}, {69}};
    for (const Case& c : kCases) {
        // Periods 0..5 were overwritten by 64..69.
        const uint64_t shown = c.period < 6 ? c.period + 64 : c.period;
        SCOPED_TRACE("period " + std::to_string(shown));
        for (uint32_t ch = 0; ch < kIns; ++ch) {
            const uint8_t* period = block.Period(ch, static_cast<uint32_t>(shown % 64));
            for (uint32_t i = 0; i < kFrames; i += 21)
                ASSERT_EQ(vu::LoadSample(period + i * kWidth, kWidth), vu::RampSample(ch, shown * kFrames + i, kWidth))
                    << "channel " << ch << " frame " << i;
        }
    }
    // The output rings are the process's: the unit never writes them.
    for (uint32_t o = 0; o < kOuts; ++o)
        for (uint32_t p = 0; p < 64; ++p)
            for (uint32_t b = 0; b < kFrames * kWidth; ++b) ASSERT_EQ(block.Period(kIns + o, p)[b], 0);
}

TEST_F(StreamTest, TakesTheOutputOfEachPeriod) {
    MapAndStart();
    for (uint32_t k = 0; k < 3; ++k) {
        for (uint32_t o = 0; o < kOuts; ++o) WriteOutput(o, k, static_cast<int32_t>(-1000 * (k + 1) - 100 * o));
        model.Step(1);
    }
    EXPECT_EQ(model.CapturedFrames(1), 3u * kFrames);
    for (uint32_t o = 0; o < kOuts; ++o) {
        SCOPED_TRACE("output " + std::to_string(o));
        std::vector<int32_t> taken(3 * kFrames + 10, 0);
        ASSERT_EQ(model.ReadCapture(1, o, 0, taken.data(), taken.size()), 3u * kFrames);
        for (uint32_t k = 0; k < 3; ++k)
            for (uint32_t i = 0; i < kFrames; ++i)
                ASSERT_EQ(taken[k * kFrames + i], -1000 * static_cast<int32_t>(k + 1) - 100 * static_cast<int32_t>(o) +
                                                      static_cast<int32_t>(i));
    }
    int32_t sample = 0;
    EXPECT_EQ(model.ReadCapture(1, kOuts, 0, &sample, 1), 0u) << "no such output";
    EXPECT_EQ(model.ReadCapture(1, 0, 3 * kFrames, &sample, 1), 0u) << "not taken yet";
}

TEST_F(StreamTest, CaptureKeepsTheNewestFrames) {
    config.captureFrames = 100;
    MapAndStart();
    for (uint32_t k = 0; k < 4; ++k) {
        WriteOutput(0, k, static_cast<int32_t>(k * kFrames));
        model.Step(1);
    }
    int32_t samples[200];
    EXPECT_EQ(model.ReadCapture(1, 0, 0, samples, 200), 0u) << "dropped";
    ASSERT_EQ(model.ReadCapture(1, 0, 4 * kFrames - 100, samples, 200), 100u);
    for (uint32_t i = 0; i < 100; ++i) EXPECT_EQ(samples[i], static_cast<int32_t>(4 * kFrames - 100 + i));
}

TEST_F(StreamTest, LoopbackReturnsOutputAfterItsDelay) {
    struct Case {
        uint32_t delay;
    };
    static const Case kCases[] = {{0}, {1}, {kFrames}, {100}};
    ASSERT_TRUE(map.Send(device, block, kFrames));
    for (const Case& c : kCases) {
        SCOPED_TRACE("delay " + std::to_string(c.delay));
        config.source = vu::InputSource::Loopback;
        config.loopbackDelayFrames = c.delay;
        ASSERT_TRUE(model.Configure(1, config));
        ASSERT_TRUE(Stop());
        Start();
        constexpr uint32_t kPeriods = 4;
        for (uint32_t k = 0; k < kPeriods; ++k) {
            for (uint32_t o = 0; o < kOuts; ++o) WriteOutput(o, k, static_cast<int32_t>(10000 * (o + 1) + k * kFrames));
            model.Step(1);
        }
        for (uint32_t ch = 0; ch < kIns; ++ch) {
            for (uint32_t n = 0; n < kPeriods * kFrames; ++n) {
                const int32_t expected = n < c.delay ? 0 : static_cast<int32_t>(10000 * (ch + 1) + (n - c.delay));
                const uint8_t* at = block.Period(ch, n / kFrames) + (n % kFrames) * kWidth;
                ASSERT_EQ(vu::LoadSample(at, kWidth), expected) << "channel " << ch << " frame " << n;
            }
        }
    }
}

TEST_F(StreamTest, AUnitThatTakesNoOutputNeverReadsIt) {
    config.source = vu::InputSource::Loopback;
    config.takeOutputs = false;
    MapAndStart();
    WriteOutput(0, 0, 500);
    model.Step(1);
    EXPECT_EQ(model.CapturedFrames(1), 0u);
    int32_t sample = 0;
    EXPECT_EQ(model.ReadCapture(1, 0, 0, &sample, 1), 0u);
    EXPECT_EQ(vu::LoadSample(block.Period(0, 0) + kWidth, kWidth), 0) << "loopback without output is silence";

    // Taking again later starts a new capture window at the current frame.
    config.takeOutputs = true;
    ASSERT_TRUE(model.Configure(1, config));
    WriteOutput(0, 1, 700);
    model.Step(1);
    EXPECT_EQ(model.CapturedFrames(1), 2u * kFrames);
    EXPECT_EQ(model.ReadCapture(1, 0, 0, &sample, 1), 0u) << "period 0 was not taken";
    ASSERT_EQ(model.ReadCapture(1, 0, kFrames + 3, &sample, 1), 1u);
    EXPECT_EQ(sample, 703);
    EXPECT_EQ(model.Inspect(1).framesCompleted, 2u * kFrames);
}

TEST_F(StreamTest, StoppingMarksTheRingAndEndsThePeriods) {
    MapAndStart();
    model.Step(1, 2);
    ResetEvent(periodEvent);
    ASSERT_TRUE(Stop());
    EXPECT_EQ(device::LoadShared(block.Header()->devState), 1u);
    EXPECT_FALSE(model.Inspect(1).streaming);
    EXPECT_EQ(model.Step(1), 0u);
    EXPECT_FALSE(Signalled(periodEvent));
    EXPECT_EQ(DevPeriod(), 2u);

    // The process resets the header after a stop; a second stop leaves it alone.
    block.Header()->devState = 0;
    ASSERT_TRUE(Stop());
    EXPECT_EQ(device::LoadShared(block.Header()->devState), 0u);

    // Started again, the count starts over at 0.
    block.Header()->devPeriod = 0;
    Start();
    model.Step(1);
    EXPECT_EQ(DevPeriod(), 1u);
    EXPECT_EQ(model.Inspect(1).periodsCompleted, 1u);
}

TEST_F(StreamTest, EndStreamAndSetDevStateReachTheRing) {
    MapAndStart();
    model.Step(1);
    RING_HEADER header{};
    ASSERT_TRUE(model.ReadRingHeader(1, &header));
    EXPECT_EQ(header.cbHeader, 104u);
    EXPECT_EQ(header.devPeriod, 1u);
    EXPECT_EQ(header.devState, 0u);

    EXPECT_TRUE(model.EndStream(1));
    EXPECT_EQ(device::LoadShared(block.Header()->devState), 1u);
    EXPECT_EQ(model.Step(1), 0u);
    EXPECT_FALSE(model.EndStream(1)) << "already ended";

    EXPECT_TRUE(model.SetDevState(1, 0));
    ASSERT_TRUE(model.ReadRingHeader(1, &header));
    EXPECT_EQ(header.devState, 0u);
    EXPECT_TRUE(Release(device));
    EXPECT_FALSE(model.ReadRingHeader(1, &header)) << "no ring after the release";
    EXPECT_FALSE(model.SetDevState(1, 1));
}

TEST_F(StreamTest, ReleasingTheStreamsRingEndsTheStream) {
    MapAndStart();
    model.Step(1);
    EXPECT_TRUE(Release(device));
    EXPECT_TRUE(map.Completed());
    EXPECT_EQ(device::LoadShared(block.Header()->devState), 1u);
    EXPECT_FALSE(model.Inspect(1).streaming);
}

TEST_F(StreamTest, RunsWithoutARing) {
    Start();
    EXPECT_EQ(model.Step(1, 65), 65u);
    EXPECT_EQ(Position().nPeriod, 1u);
    EXPECT_TRUE(Signalled(periodEvent));
    EXPECT_EQ(model.CapturedFrames(1), 0u);
    // A ring mapped afterwards on the stream's handle joins the exchange.
    ASSERT_TRUE(map.Send(device, block, kFrames));
    model.Step(1);
    EXPECT_EQ(DevPeriod(), 2u);
    EXPECT_EQ(vu::LoadSample(block.Period(1, 1), kWidth), vu::RampSample(1, 0, kWidth));
}

TEST_F(StreamTest, ArmingAloneCompletesNothing) {
    ASSERT_TRUE(map.Send(device, block, kFrames));
    START_STREAM_REQ arm{0, 0, 0, 0, 0};
    ASSERT_TRUE(Send(device, IOCTL_START_STREAM, &arm));
    EXPECT_TRUE(model.Inspect(1).armed);
    EXPECT_FALSE(model.Inspect(1).streaming);
    EXPECT_EQ(model.Step(1), 0u);
    EXPECT_EQ(DevPeriod(), 0u);
}

TEST_F(StreamTest, RealTimeClockCompletesPeriodsOnItsOwn) {
    config.clock = vu::ClockMode::RealTime;
    config.unitRate = 48000;
    MapAndStart();
    EXPECT_EQ(model.Step(1), 0u) << "stepping is for stepped streams";
    ASSERT_TRUE(model.WaitForPeriods(1, 8, 10000));
    EXPECT_EQ(WaitForSingleObject(periodEvent, 10000), WAIT_OBJECT_0);
    ASSERT_TRUE(Stop());
    const uint64_t stopped = model.Inspect(1).periodsCompleted;
    ResetEvent(periodEvent);
    Sleep(10);
    EXPECT_EQ(model.Inspect(1).periodsCompleted, stopped);
    EXPECT_FALSE(Signalled(periodEvent));
    // The ramp continues across periods: frame n holds n.
    for (uint32_t k = 0; k < 8 && k < stopped; ++k)
        EXPECT_EQ(vu::LoadSample(block.Period(0, k), kWidth), vu::RampSample(0, k * kFrames, kWidth));
}

}  // namespace
}  // namespace vutest
