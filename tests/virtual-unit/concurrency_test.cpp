// Requests from several threads on one handle while the stream runs, and a
// process thread exchanging periods with the unit as the ASIO driver does.
#include <atomic>

#include "vu_test_support.h"

namespace vutest {
namespace {

constexpr uint32_t kWidth = 3;

// Members are public: the threads of a test reach them through Shared.
class ConcurrencyTest : public VirtualUnitTest {
public:
    ConcurrencyTest() {
        config.inputs = 1;
        config.outputs = 1;
        config.sampleBytes = kWidth;
        config.source = vu::InputSource::Ramp;
        periodEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        ackEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    }
    ~ConcurrencyTest() override {
        CloseHandle(periodEvent);
        CloseHandle(ackEvent);
    }

    void OpenMapStart(uint32_t frames) {
        ASSERT_TRUE(model.Configure(1, config));
        device = OpenUnit(1);
        block = std::make_unique<RingBlock>(frames, kWidth, 2);
        ASSERT_TRUE(map.Send(device, *block, frames));
        START_STREAM_REQ start{0, 0, 1, 0, HandleToWire(periodEvent)};
        ASSERT_TRUE(Send(device, IOCTL_START_STREAM, &start));
    }
    void StopReleaseClose() {
        STOP_STREAM_REQ stop{0, 1, 0};
        EXPECT_TRUE(Send(device, IOCTL_STOP_STREAM, &stop));
        EXPECT_TRUE(Release(device));
        EXPECT_EQ(WaitForSingleObject(map.overlapped.hEvent, INFINITE), WAIT_OBJECT_0);
        EXPECT_TRUE(DevPort_CloseHandle(device));
    }

    // The process's side of one ready period k (absolute count): check its input,
    // write the negated input one period ahead (when `writeOutput`), advance usrPeriod.
    //
    // Writing ahead races with the unit taking that output whenever the process
    // falls a period behind, as it does with the real kernel driver; only a
    // lock-step test, where the unit waits for the process, writes outputs.
    bool ProcessPeriod(uint64_t k, uint32_t frames, bool writeOutput) {
        RING_HEADER* header = block->Header();
        const uint32_t usr = device::LoadShared(header->usrPeriod);
        const uint8_t* in = block->Period(0, usr);
        uint8_t* out = block->Period(1, device::NextPeriod(usr));
        bool ok = true;
        for (uint32_t i = 0; i < frames; ++i) {
            const int32_t sample = vu::LoadSample(in + i * kWidth, kWidth);
            ok = ok && sample == vu::RampSample(0, k * frames + i, kWidth);
            if (writeOutput) vu::StoreSample(out + i * kWidth, -sample, kWidth);
        }
        device::StoreShared(header->usrPeriod, device::NextPeriod(usr));
        return ok;
    }

    vu::UnitConfig config;
    HANDLE periodEvent = nullptr;
    HANDLE ackEvent = nullptr;
    HANDLE device = INVALID_HANDLE_VALUE;
    std::unique_ptr<RingBlock> block;
    PendingMap map;
};

struct Shared {
    ConcurrencyTest* test = nullptr;
    HANDLE device = INVALID_HANDLE_VALUE;
    std::atomic<bool> stop{false};
    std::atomic<uint32_t> failures{0};
    std::atomic<uint64_t> processed{0};
    uint32_t frames = 0;
    uint64_t periods = 0;
};

TEST_F(ConcurrencyTest, LockStepExchangeWithAProcessThread) {
    constexpr uint32_t kFrames = 32;
    constexpr uint64_t kPeriods = 100;  // wraps the ring
    OpenMapStart(kFrames);
    struct Process {
        static DWORD WINAPI Run(LPVOID param) {
            auto* s = static_cast<Shared*>(param);
            for (uint64_t k = 0; k < s->periods; ++k) {
                if (WaitForSingleObject(s->test->periodEvent, 30000) != WAIT_OBJECT_0) {
                    ++s->failures;
                    return 1;
                }
                POSITION_REQ pos{0, timeGetTime(), 0, 0};
                if (!Send(s->device, IOCTL_GET_POSITION, &pos) || pos.nPeriod != (k + 1) % 64) ++s->failures;
                if (!s->test->ProcessPeriod(k, s->frames, true)) ++s->failures;
                SetEvent(s->test->ackEvent);
            }
            return 0;
        }
    };
    Shared shared;
    shared.test = this;
    shared.device = device;
    shared.frames = kFrames;
    shared.periods = kPeriods;
    HANDLE thread = CreateThread(nullptr, 0, Process::Run, &shared, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    for (uint64_t k = 0; k < kPeriods; ++k) {
        ASSERT_EQ(model.Step(1), 1u);
        ASSERT_EQ(WaitForSingleObject(ackEvent, 30000), WAIT_OBJECT_0) << "period " << k;
    }
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(shared.failures.load(), 0u);

    // The unit took, in period k + 1, what the process wrote after period k.
    std::vector<int32_t> taken(kPeriods * kFrames);
    ASSERT_EQ(model.ReadCapture(1, 0, 0, taken.data(), taken.size()), taken.size());
    for (uint32_t i = 0; i < kFrames; ++i) ASSERT_EQ(taken[i], 0) << "before the first output";
    for (uint64_t n = kFrames; n < taken.size(); ++n)
        ASSERT_EQ(taken[n], -vu::RampSample(0, n - kFrames, kWidth)) << "frame " << n;
    StopReleaseClose();
}

TEST_F(ConcurrencyTest, ManyThreadsOneHandleWhileTheClockRuns) {
    constexpr uint32_t kFrames = 1024;  // 21 ms periods: the reader never falls 64 periods behind
    config.clock = vu::ClockMode::RealTime;
    config.unitRate = 48000;
    HANDLE statusEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    OpenMapStart(kFrames);
    NOTIFY_REG reg{0, 1, HandleToWire(statusEvent), 0, 0, 0};
    ASSERT_TRUE(Send(device, IOCTL_REGISTER_EVENTS, &reg));

    struct Threads {
        // Takes every ready period, as the streaming thread does.
        static DWORD WINAPI Stream(LPVOID param) {
            auto* s = static_cast<Shared*>(param);
            RING_HEADER* header = s->test->block->Header();
            while (s->processed.load() < s->periods) {
                if (WaitForSingleObject(s->test->periodEvent, 30000) != WAIT_OBJECT_0) {
                    ++s->failures;
                    return 1;
                }
                POSITION_REQ pos{0, timeGetTime(), 0, 0};
                if (!Send(s->device, IOCTL_GET_POSITION, &pos) || pos.nPeriod > 63) ++s->failures;
                while (device::LoadShared(header->usrPeriod) != device::LoadShared(header->devPeriod)) {
                    if (!s->test->ProcessPeriod(s->processed.load(), s->frames, false)) ++s->failures;
                    ++s->processed;
                }
            }
            return 0;
        }
        // Status and rate queries on the same handle.
        static DWORD WINAPI Poll(LPVOID param) {
            auto* s = static_cast<Shared*>(param);
            while (!s->stop.load()) {
                MESSAGES_REQ messages{0, 0};
                RATE_REQ rate{0, 44100};
                STREAM_STATUS_REQ status{};
                if (!Send(s->device, IOCTL_GET_MESSAGES, &messages) || !Send(s->device, IOCTL_GET_UNIT_RATE, &rate) ||
                    !Send(s->device, IOCTL_GET_STREAM_STATUS, &status) || rate.nRate != 48000)
                    ++s->failures;
            }
            return 0;
        }
        // Short-lived handles beside the persistent one.
        static DWORD WINAPI Probe(LPVOID param) {
            auto* s = static_cast<Shared*>(param);
            while (!s->stop.load()) {
                HANDLE h = OpenUnit(1);
                uint32_t lock = 0;
                if (h == INVALID_HANDLE_VALUE || !Send(h, IOCTL_GET_RATE_LOCK, &lock) || !DevPort_CloseHandle(h))
                    ++s->failures;
            }
            return 0;
        }
    };
    Shared shared;
    shared.test = this;
    shared.device = device;
    shared.frames = kFrames;
    shared.periods = 30;
    HANDLE threads[3] = {CreateThread(nullptr, 0, Threads::Stream, &shared, 0, nullptr),
                         CreateThread(nullptr, 0, Threads::Poll, &shared, 0, nullptr),
                         CreateThread(nullptr, 0, Threads::Probe, &shared, 0, nullptr)};
    for (HANDLE t : threads) ASSERT_NE(t, nullptr);
    while (WaitForSingleObject(threads[0], 5) == WAIT_TIMEOUT) {
        model.RaiseMessages(1, 2);
        RING_HEADER header{};
        model.ReadRingHeader(1, &header);
        model.Inspect(1);
        model.CountRequests(IOCTL_GET_POSITION);
        int32_t sample;
        model.ReadCapture(1, 0, 0, &sample, 1);
    }
    shared.stop = true;
    for (HANDLE t : threads) {
        WaitForSingleObject(t, INFINITE);
        CloseHandle(t);
    }
    EXPECT_EQ(shared.failures.load(), 0u);
    EXPECT_GE(shared.processed.load(), 30u);
    StopReleaseClose();
    CloseHandle(statusEvent);
}

}  // namespace
}  // namespace vutest
