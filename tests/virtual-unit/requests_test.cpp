// The answers of the buffered requests, and the requests that must fail.
#include "vu_test_support.h"

namespace vutest {
namespace {

struct WordAt {
    uint32_t offset;
    uint32_t value;
};

// A unit whose every answer is distinct from the defaults and from the others.
vu::UnitConfig DistinctUnit() {
    vu::UnitConfig c;
    c.inputs = 4;
    c.outputs = 6;
    c.sampleBytes = 4;
    c.bufferSizes = {32, 4096, 512, 16};
    c.inputLatency = 11;
    c.outputLatency = 22;
    c.driverRate = 48000;
    c.unitRate = 96000;
    c.rateLocked = true;
    c.getResult = 7;
    c.setResult = 2;
    c.clockStatus = {1, 2, 0, 4, 5};
    c.idBytes = 3;
    c.id[0] = 'A';
    c.id[1] = 'B';
    c.id[2] = 'C';
    c.settings.nBufPos = 8;
    return c;
}

class RequestsTest : public VirtualUnitTest {
protected:
    RequestsTest() {
        model.Configure(1, DistinctUnit());
        device = OpenUnit(1);
    }
    ~RequestsTest() override { DevPort_CloseHandle(device); }

    // Sends `code` with a buffer of its catalogue size holding `in`; the answer stays in `buffer`.
    BOOL SendWords(uint32_t code, std::initializer_list<WordAt> in) {
        const uint32_t size = device::FindRequest(code)->size;
        std::memset(buffer, 0, sizeof buffer);
        for (const WordAt& w : in) std::memcpy(buffer + w.offset, &w.value, 4);
        DWORD bytes = 0;
        return DevPort_DeviceIoControl(device, code, buffer, size, buffer, size, &bytes, nullptr);
    }

    HANDLE device = INVALID_HANDLE_VALUE;
    alignas(8) uint8_t buffer[4096];
};

TEST_F(RequestsTest, AnswersAtTheContractsOffsets) {
    struct Case {
        const char* name;
        uint32_t code;
        std::initializer_list<WordAt> in;
        std::initializer_list<WordAt> out;
    };
    static const Case kCases[] = {
        {"unit id", IOCTL_GET_UNIT_ID, {}, {{4, 3}, {8, 0x00434241}}},
        {"channel counts: outputs at 4, inputs at 5", IOCTL_GET_CHANNEL_COUNTS, {}, {{0, 0}, {4, 0x0406}}},
        {"primary", IOCTL_GET_PRIMARY_FLAG, {}, {{0, 1}}},
        {"latencies", IOCTL_GET_LATENCIES, {}, {{4, 11}, {8, 22}}},
        {"buffer sizes", IOCTL_GET_BUFFER_SIZES, {}, {{0, 32}, {4, 4096}, {8, 512}, {12, 16}}},
        {"sample size", IOCTL_GET_SAMPLE_SIZE, {{4, 2}}, {{4, 4}}},
        {"position before a start", IOCTL_GET_POSITION, {{4, 1234}}, {{4, 1234}, {8, 0}, {12, 0}}},
        {"stream status while idle", IOCTL_GET_STREAM_STATUS, {}, {{4, 0}, {8, 96000}}},
        {"settings", IOCTL_GET_SETTINGS, {}, {{0, 44100}, {28, 48000}, {288, 8}, {292, 1}, {300, 1}, {336, 7}}},
        {"set settings", IOCTL_SET_SETTINGS, {{288, 3}}, {{288, 3}, {336, 2}}},
        {"in use while idle", IOCTL_GET_IN_USE, {}, {{0, 0}}},
        {"driver rate", IOCTL_GET_DRIVER_RATE, {{4, 44100}}, {{4, 48000}}},
        {"unit rate", IOCTL_GET_UNIT_RATE, {{4, 44100}}, {{4, 96000}}},
        {"stream rate", IOCTL_GET_STREAM_RATE, {{4, 44100}}, {{4, 96000}}},
        {"check a supported rate", IOCTL_CHECK_RATE, {{4, 88200}}, {{4, 88200}, {8, 1}}},
        {"check an unsupported rate", IOCTL_CHECK_RATE, {{4, 12345}, {8, 9}}, {{4, 12345}, {8, 0}}},
        {"clock status follows the driver rate", IOCTL_GET_CLOCK_STATUS, {{0, 77}}, {{0, 1}, {4, 2}, {8, 48000}, {12, 4}, {16, 5}}},
        {"rate lock", IOCTL_GET_RATE_LOCK, {}, {{0, 1}}},
        {"check a supported stream rate", IOCTL_CHECK_STREAM_RATE, {{4, 192000}}, {{4, 192000}}},
        {"messages", IOCTL_GET_MESSAGES, {}, {{4, 0}}},
        {"set stream rate", IOCTL_SET_STREAM_RATE, {{4, 96000}, {8, 1}}, {{4, 96000}, {8, 1}}},
        {"set driver rate", IOCTL_SET_DRIVER_RATE, {{4, 48000}}, {{4, 48000}}},
        {"group config", IOCTL_SET_GROUP_CONFIG, {{4, 1}, {8, 96000}}, {{4, 1}, {8, 96000}}},
        {"unit option", IOCTL_SET_UNIT_OPTION, {}, {{4, 0}}},
        {"register", IOCTL_REGISTER_EVENTS, {{4, 1}}, {{4, 1}}},
        {"unregister", IOCTL_UNREGISTER_EVENTS, {{4, 1}}, {{4, 1}}},
        {"arm", IOCTL_START_STREAM, {}, {{8, 0}}},
        {"stop", IOCTL_STOP_STREAM, {}, {{4, 0}}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        SetLastError(kSentinel);
        ASSERT_TRUE(SendWords(c.code, c.in)) << "error " << GetLastError();
        for (const WordAt& w : c.out) EXPECT_EQ(Word(buffer, w.offset), w.value) << "offset " << w.offset;
    }
}

TEST_F(RequestsTest, EveryCatalogueCodeRefusesAWrongSizeWithoutWriting) {
    for (const device::RequestInfo& info : device::kRequestCatalogue) {
        if (info.code == IOCTL_MAP_BUFFER) continue;  // its own tests
        for (const int delta : {-1, 4}) {
            SCOPED_TRACE(std::string(info.name) + (delta < 0 ? " one byte short" : " four bytes long"));
            const DWORD size = static_cast<DWORD>(static_cast<int>(info.size) + delta);
            if (info.size == 0 && delta < 0) continue;
            std::memset(buffer, 0xA5, sizeof buffer);
            DWORD bytes = kSentinel;
            SetLastError(kSentinel);
            EXPECT_FALSE(DevPort_DeviceIoControl(device, info.code, buffer, size, buffer, size, &bytes, nullptr));
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(delta < 0 ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_PARAMETER));
            for (size_t i = 0; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], 0xA5) << "byte " << i << " written";
        }
    }
}

TEST_F(RequestsTest, MalformedRequestsFailWithoutWriting) {
    const HANDLE closed = OpenUnit(1);
    DevPort_CloseHandle(closed);
    alignas(8) uint8_t out[64];
    struct Case {
        const char* name;
        HANDLE handle;
        uint32_t code;
        bool nullIn;
        bool nullOut;
        bool nullBytes;
        DWORD inSize;
        uint32_t firstWord;
        uint32_t rate;  // word at 4
        DWORD error;
    };
    const HANDLE h = device;
    const Case cases[] = {
        {"unknown handle", reinterpret_cast<HANDLE>(0x1234), IOCTL_GET_DRIVER_RATE, false, false, false, 8, 0, 0, ERROR_INVALID_HANDLE},
        {"null handle", nullptr, IOCTL_GET_DRIVER_RATE, false, false, false, 8, 0, 0, ERROR_INVALID_HANDLE},
        {"invalid handle value", INVALID_HANDLE_VALUE, IOCTL_GET_DRIVER_RATE, false, false, false, 8, 0, 0, ERROR_INVALID_HANDLE},
        {"closed handle", closed, IOCTL_GET_DRIVER_RATE, false, false, false, 8, 0, 0, ERROR_INVALID_HANDLE},
        {"unknown code", h, 0x222000, false, false, false, 8, 0, 0, ERROR_INVALID_FUNCTION},
        {"other method bits", h, IOCTL_GET_DRIVER_RATE | 1, false, false, false, 8, 0, 0, ERROR_INVALID_FUNCTION},
        {"null input", h, IOCTL_GET_DRIVER_RATE, true, false, false, 8, 0, 0, ERROR_INVALID_PARAMETER},
        {"null output", h, IOCTL_GET_DRIVER_RATE, false, true, false, 8, 0, 0, ERROR_INVALID_PARAMETER},
        {"no byte count", h, IOCTL_GET_DRIVER_RATE, false, false, true, 8, 0, 0, ERROR_INVALID_PARAMETER},
        {"first word not 0", h, IOCTL_GET_DRIVER_RATE, false, false, false, 8, 1, 0, ERROR_INVALID_PARAMETER},
        {"in size differs from out size", h, IOCTL_GET_DRIVER_RATE, false, false, false, 12, 0, 0, ERROR_INVALID_PARAMETER},
        {"unsupported stream rate", h, IOCTL_CHECK_STREAM_RATE, false, false, false, 12, 0, 12345, ERROR_NOT_SUPPORTED},
        {"setting an unsupported stream rate", h, IOCTL_SET_STREAM_RATE, false, false, false, 12, 0, 12345, ERROR_NOT_SUPPORTED},
        {"setting an unsupported driver rate", h, IOCTL_SET_DRIVER_RATE, false, false, false, 8, 0, 0, ERROR_NOT_SUPPORTED},
        {"release with a buffer", h, IOCTL_RELEASE_BUFFER, false, false, false, 4, 0, 0, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        alignas(8) uint8_t in[64] = {};
        std::memcpy(in, &c.firstWord, 4);
        std::memcpy(in + 4, &c.rate, 4);
        std::memset(out, 0xA5, sizeof out);
        const uint32_t size = device::FindRequest(c.code & ~3u) ? device::FindRequest(c.code & ~3u)->size : 8;
        DWORD bytes = kSentinel;
        SetLastError(kSentinel);
        EXPECT_FALSE(DevPort_DeviceIoControl(c.handle, c.code, c.nullIn ? nullptr : in, c.inSize,
                                             c.nullOut ? nullptr : out, size, c.nullBytes ? nullptr : &bytes, nullptr));
        EXPECT_EQ(GetLastError(), c.error);
        for (size_t i = 0; i < sizeof out; ++i) ASSERT_EQ(out[i], 0xA5) << "byte " << i << " written";
    }
    EXPECT_EQ(model.Config(1).unitRate, 96000u) << "a refused rate changed the unit";
}

TEST_F(RequestsTest, SeparateInputAndOutputBuffersWork) {
    RATE_REQ in{0, 44100};
    RATE_REQ out{99, 99};
    DWORD bytes = 0;
    ASSERT_TRUE(DevPort_DeviceIoControl(device, IOCTL_GET_DRIVER_RATE, &in, sizeof in, &out, sizeof out, &bytes, nullptr));
    EXPECT_EQ(out.dwReserved, 0u);
    EXPECT_EQ(out.nRate, 48000u);
    EXPECT_EQ(in.nRate, 44100u);
    EXPECT_EQ(bytes, sizeof out);
}

TEST_F(RequestsTest, SettingsRecordRoundTrips) {
    DRV_SETTINGS_BUFFER set = device::DefaultSettingsBuffer();
    set.settings.rates[3].params[5] = -17;
    set.settings.nBufPos = 2;
    set.settings.dwUnused332 = 0xC0FFEE;
    ASSERT_TRUE(Send(device, IOCTL_SET_SETTINGS, &set));
    EXPECT_EQ(set.nResult, 2u);

    DRV_SETTINGS_BUFFER get = device::DefaultSettingsBuffer();
    ASSERT_TRUE(Send(device, IOCTL_GET_SETTINGS, &get));
    EXPECT_EQ(get.settings.rates[3].params[5], -17);
    EXPECT_EQ(get.settings.nBufPos, 2);
    EXPECT_EQ(get.settings.dwUnused332, 0xC0FFEEu);
    EXPECT_EQ(get.nResult, 7u);
    EXPECT_EQ(model.Config(1).settings.nBufPos, 2);
}

TEST_F(RequestsTest, StreamRateIsReachedAfterTheConfiguredPolls) {
    struct Case {
        const char* name;
        uint32_t settlePolls;
        uint32_t oldAnswers;  // GET_UNIT_RATE answers still giving the old rate
    };
    static const Case kCases[] = {
        {"at once", 0, 0},
        {"after two polls", 2, 2},
        {"never", vu::kNever, 30},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        vu::UnitConfig config = DistinctUnit();
        config.unitRate = 44100;
        config.settlePolls = c.settlePolls;
        model.Configure(1, config);
        RATE_FLAG_REQ set{0, 48000, 1};
        ASSERT_TRUE(Send(device, IOCTL_SET_STREAM_RATE, &set));
        RATE_REQ stream{0, 44100};
        ASSERT_TRUE(Send(device, IOCTL_GET_STREAM_RATE, &stream));  // looks, does not poll
        for (uint32_t i = 0; i < c.oldAnswers; ++i) {
            RATE_REQ poll{0, 44100};
            ASSERT_TRUE(Send(device, IOCTL_GET_UNIT_RATE, &poll));
            EXPECT_EQ(poll.nRate, 44100u) << "poll " << i;
        }
        if (c.settlePolls == vu::kNever) continue;
        RATE_REQ poll{0, 44100};
        ASSERT_TRUE(Send(device, IOCTL_GET_UNIT_RATE, &poll));
        EXPECT_EQ(poll.nRate, 48000u);
        EXPECT_EQ(model.Inspect(1).targetRate, 0u);
    }
}

TEST_F(RequestsTest, DriverRateMovesAnIdleUnitAndTheClockStatus) {
    RATE_REQ set{0, 176400};
    ASSERT_TRUE(Send(device, IOCTL_SET_DRIVER_RATE, &set));
    UNIT_STATUS status{};
    ASSERT_TRUE(Send(device, IOCTL_GET_CLOCK_STATUS, &status));
    EXPECT_EQ(status.nDriverRate, 176400u);
    RATE_REQ unit{0, 44100};
    ASSERT_TRUE(Send(device, IOCTL_GET_UNIT_RATE, &unit));
    EXPECT_EQ(unit.nRate, 176400u);
}

TEST_F(RequestsTest, MessagesAreAnsweredOnceAndSignalTheStatusEvent) {
    HANDLE status = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE unitEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    NOTIFY_REG reg{0, 1, HandleToWire(status), 0, HandleToWire(unitEvent), 0};
    ASSERT_TRUE(Send(device, IOCTL_REGISTER_EVENTS, &reg));
    EXPECT_TRUE(model.Inspect(1).eventsRegistered);

    ASSERT_TRUE(model.RaiseMessages(1, 1));
    ASSERT_TRUE(model.RaiseMessages(1, 2));
    EXPECT_TRUE(Signalled(status));
    EXPECT_FALSE(Signalled(unitEvent));
    MESSAGES_REQ messages{0, 0};
    ASSERT_TRUE(Send(device, IOCTL_GET_MESSAGES, &messages));
    EXPECT_EQ(messages.nBits, 3u);
    messages = {0, 0};
    ASSERT_TRUE(Send(device, IOCTL_GET_MESSAGES, &messages));
    EXPECT_EQ(messages.nBits, 0u);

    // Unregistered, the unit no longer signals the event.
    ASSERT_TRUE(Send(device, IOCTL_UNREGISTER_EVENTS, &reg));
    EXPECT_FALSE(model.Inspect(1).eventsRegistered);
    ASSERT_TRUE(model.RaiseMessages(1, 1));
    EXPECT_FALSE(Signalled(status));
    CloseHandle(status);
    CloseHandle(unitEvent);
}

TEST_F(RequestsTest, PinnedReportsOverrideTheStreamState) {
    vu::UnitConfig config = DistinctUnit();
    config.inUse = vu::Report::Yes;
    config.streaming = vu::Report::Yes;
    model.Configure(1, config);
    uint32_t inUse = 0;
    ASSERT_TRUE(Send(device, IOCTL_GET_IN_USE, &inUse));
    EXPECT_EQ(inUse, 1u);
    STREAM_STATUS_REQ status{};
    ASSERT_TRUE(Send(device, IOCTL_GET_STREAM_STATUS, &status));
    EXPECT_EQ(status.bStreaming, 1u);
    EXPECT_EQ(status.nRate, 96000u);
}

TEST_F(RequestsTest, GroupConfigAndOptionAreKeptForInspection) {
    GROUP_CONFIG_REQ group{};
    group.nUnits = 1;
    group.nRate = 96000;
    ASSERT_TRUE(Send(device, IOCTL_SET_GROUP_CONFIG, &group));
    UNIT_OPTION_REQ option{0, 0};
    ASSERT_TRUE(Send(device, IOCTL_SET_UNIT_OPTION, &option));
    const vu::UnitSnapshot snap = model.Inspect(1);
    EXPECT_EQ(snap.groupUnits, 1u);
    EXPECT_EQ(snap.groupRate, 96000u);
    EXPECT_EQ(snap.unitOption, 0u);
}

}  // namespace
}  // namespace vutest
