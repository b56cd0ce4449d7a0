// The request log and fault injection.
#include "vu_test_support.h"

namespace vutest {
namespace {

class LogFaultTest : public VirtualUnitTest {
protected:
    LogFaultTest() {
        model.Configure(2, vu::UnitConfig{});
        device = OpenUnit(1);
    }
    ~LogFaultTest() override { DevPort_CloseHandle(device); }

    BOOL DriverRate(HANDLE h, uint32_t* rate) {
        RATE_REQ req{0, 44100};
        const BOOL ok = Send(h, IOCTL_GET_DRIVER_RATE, &req);
        *rate = req.nRate;
        return ok;
    }

    HANDLE device;
};

TEST_F(LogFaultTest, LogsOpensRequestsAndClosesWithTheirKeyWords) {
    model.ClearLog();
    HANDLE h = OpenUnit(1);
    RATE_FLAG_REQ rate{0, 48000, 1};
    ASSERT_TRUE(Send(h, IOCTL_SET_STREAM_RATE, &rate));
    HANDLE period = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    START_STREAM_REQ start{0, 0, 1, 0, HandleToWire(period)};
    ASSERT_TRUE(Send(h, IOCTL_START_STREAM, &start));
    RingBlock block{128, 3, 4};
    PendingMap map;
    ASSERT_TRUE(map.Send(h, block, 128));
    uint32_t bad = 0;
    EXPECT_FALSE(Send(reinterpret_cast<HANDLE>(0x4321), IOCTL_GET_PRIMARY_FLAG, &bad));
    DevPort_CloseHandle(h);
    CloseHandle(period);

    const std::vector<vu::LogEntry> log = model.Log();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[0].kind, vu::LogKind::Open);
    EXPECT_EQ(log[0].handle, h);
    EXPECT_EQ(log[0].Word(2), static_cast<uint32_t>(OPEN_EXISTING));
    EXPECT_EQ(log[0].Word(3), static_cast<uint32_t>(FILE_FLAG_OVERLAPPED));
    EXPECT_EQ(log[1].code, IOCTL_SET_STREAM_RATE);
    EXPECT_EQ(log[1].unit, 1);
    EXPECT_EQ(log[1].Word(1), 48000u);
    EXPECT_EQ(log[1].Word(2), 1u);
    EXPECT_TRUE(log[1].result);
    EXPECT_EQ(log[2].code, IOCTL_START_STREAM);
    uint64_t event = 0;
    std::memcpy(&event, &log[2].words[4], sizeof event);
    EXPECT_EQ(event, HandleToWire(period));
    EXPECT_EQ(log[3].code, IOCTL_MAP_BUFFER);
    EXPECT_EQ(log[3].Word(1), 128u);
    EXPECT_EQ(log[3].Word(2), 128u * 64);
    EXPECT_EQ(log[3].outSize, block.Size());
    EXPECT_FALSE(log[3].result);
    EXPECT_EQ(log[3].error, static_cast<DWORD>(ERROR_IO_PENDING));
    EXPECT_EQ(log[4].unit, 0);
    EXPECT_EQ(log[4].error, static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(log[5].kind, vu::LogKind::Close);
    for (size_t i = 1; i < log.size(); ++i) EXPECT_GT(log[i].sequence, log[i - 1].sequence);

    EXPECT_EQ(model.CountRequests(IOCTL_SET_STREAM_RATE, 1), 1u);
    EXPECT_EQ(model.CountRequests(IOCTL_SET_STREAM_RATE, 2), 0u);
    EXPECT_EQ(model.CountRequests(0), 4u);
    model.ClearLog();
    EXPECT_TRUE(model.Log().empty());
}

TEST_F(LogFaultTest, FailingFaultsFollowTheirWindow) {
    struct Case {
        const char* name;
        vu::Fault fault;
        const char* pattern;  // per request: '.' answered, 'x' failed
    };
    const Case cases[] = {
        {"at once, for ever", vu::Fault::Fail(IOCTL_GET_DRIVER_RATE), "xxxxx"},
        {"from the third", vu::Fault::Fail(IOCTL_GET_DRIVER_RATE).From(3), "..xxx"},
        {"twice from the second", vu::Fault::Fail(IOCTL_GET_DRIVER_RATE).From(2).Times(2), ".xx.."},
        {"on another unit", vu::Fault::Fail(IOCTL_GET_DRIVER_RATE, ERROR_GEN_FAILURE, 2), "....."},
        {"on this unit", vu::Fault::Fail(IOCTL_GET_DRIVER_RATE, ERROR_NOT_READY, 1), "xxxxx"},
        {"another code", vu::Fault::Fail(IOCTL_GET_UNIT_RATE), "....."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int id = model.AddFault(c.fault);
        ASSERT_NE(id, 0);
        for (size_t i = 0; c.pattern[i] != '\0'; ++i) {
            uint32_t rate = 0;
            SetLastError(kSentinel);
            const BOOL ok = DriverRate(device, &rate);
            EXPECT_EQ(ok, c.pattern[i] == '.') << "request " << i + 1;
            if (ok) {
                EXPECT_EQ(rate, 44100u);
            } else {
                EXPECT_EQ(GetLastError(), c.fault.error);
                EXPECT_EQ(rate, 44100u) << "a failed request wrote its answer";
            }
        }
        EXPECT_TRUE(model.RemoveFault(id));
        EXPECT_FALSE(model.RemoveFault(id));
    }
}

TEST_F(LogFaultTest, AnsweringFaultsOverwriteChosenWords) {
    model.AddFault(vu::Fault::Answer(IOCTL_GET_POSITION, 12, 200).AndAnswer(8, 77));
    model.AddFault(vu::Fault::Answer(IOCTL_CHECK_STREAM_RATE, 4, 48000));
    model.AddFault(vu::Fault::Answer(IOCTL_GET_MESSAGES, 4, 3).AndAnswer(400, 1));  // beyond the size: ignored
    POSITION_REQ pos{0, 0, 0, 0};
    ASSERT_TRUE(Send(device, IOCTL_GET_POSITION, &pos));
    EXPECT_EQ(pos.nPeriod, 200u);
    EXPECT_EQ(pos.nDevMs, 77u);
    RATE_FLAG_REQ check{0, 44100, 0};
    ASSERT_TRUE(Send(device, IOCTL_CHECK_STREAM_RATE, &check));
    EXPECT_EQ(check.nRate, 48000u);
    RATE_FLAG_REQ unsupported{0, 12345, 0};
    EXPECT_FALSE(Send(device, IOCTL_CHECK_STREAM_RATE, &unsupported)) << "a failing request stays failed";
    MESSAGES_REQ messages{0, 0};
    ASSERT_TRUE(Send(device, IOCTL_GET_MESSAGES, &messages));
    EXPECT_EQ(messages.nBits, 3u);

    model.ClearFaults();
    pos = {0, 0, 0, 0};
    ASSERT_TRUE(Send(device, IOCTL_GET_POSITION, &pos));
    EXPECT_EQ(pos.nPeriod, 0u);
}

TEST_F(LogFaultTest, FailedMappingAndStartDoNothing) {
    model.AddFault(vu::Fault::Fail(IOCTL_MAP_BUFFER));
    model.AddFault(vu::Fault::Fail(IOCTL_START_STREAM).From(2));
    RingBlock block{64, 3, 4};
    PendingMap map;
    EXPECT_FALSE(map.Send(device, block, 64));
    EXPECT_EQ(map.error, static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_FALSE(model.Inspect(1).mapped);

    START_STREAM_REQ arm{0, 0, 0, 0, 0};
    EXPECT_TRUE(Send(device, IOCTL_START_STREAM, &arm));
    START_STREAM_REQ main{0, 0, 1, 0, 0};
    EXPECT_FALSE(Send(device, IOCTL_START_STREAM, &main));
    EXPECT_FALSE(model.Inspect(1).streaming);
    EXPECT_EQ(model.AddFault(vu::Fault::Fail(0x222000)), 0) << "not a catalogue code";
}

TEST_F(LogFaultTest, WaitsForRequestsFromOtherThreads) {
    struct Sender {
        static DWORD WINAPI Run(LPVOID param) {
            HANDLE h = static_cast<HANDLE>(param);
            for (int i = 0; i < 3; ++i) {
                MESSAGES_REQ messages{0, 0};
                Send(h, IOCTL_GET_MESSAGES, &messages);
            }
            return 0;
        }
    };
    HANDLE thread = CreateThread(nullptr, 0, Sender::Run, device, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(model.WaitForRequests(IOCTL_GET_MESSAGES, 3, 30000, 1));
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_FALSE(model.WaitForRequests(IOCTL_GET_MESSAGES, 4, 0));
}

}  // namespace
}  // namespace vutest
