// The contract with the kernel driver: codes, layouts, defaults and paths must be
// exactly what the kernel driver expects, in both widths.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "device/identity.h"
#include "device/ioctl.h"
#include "device/paths.h"
#include "device/records.h"
#include "device/ring.h"

namespace {

TEST(RequestCodes, MatchTheCatalogue) {
    struct Case {
        uint32_t code;
        uint32_t expected;
        uint32_t function;
    };
    static const Case kCases[] = {
        {IOCTL_GET_UNIT_ID, 0x22203C, 0x80F},       {IOCTL_GET_CHANNEL_COUNTS, 0x222040, 0x810},
        {IOCTL_GET_PRIMARY_FLAG, 0x222044, 0x811},  {IOCTL_START_STREAM, 0x22211C, 0x847},
        {IOCTL_STOP_STREAM, 0x222120, 0x848},       {IOCTL_RELEASE_BUFFER, 0x222124, 0x849},
        {IOCTL_GET_LATENCIES, 0x222128, 0x84A},     {IOCTL_GET_BUFFER_SIZES, 0x222130, 0x84C},
        {IOCTL_GET_SAMPLE_SIZE, 0x222138, 0x84E},   {IOCTL_GET_POSITION, 0x22213C, 0x84F},
        {IOCTL_MAP_BUFFER, 0x222142, 0x850},        {IOCTL_REGISTER_EVENTS, 0x222150, 0x854},
        {IOCTL_UNREGISTER_EVENTS, 0x222154, 0x855}, {IOCTL_SET_UNIT_OPTION, 0x222158, 0x856},
        {IOCTL_SET_GROUP_CONFIG, 0x22215C, 0x857},  {IOCTL_GET_STREAM_STATUS, 0x222160, 0x858},
        {IOCTL_GET_SETTINGS, 0x2221E8, 0x87A},      {IOCTL_SET_SETTINGS, 0x2221EC, 0x87B},
        {IOCTL_GET_IN_USE, 0x2221F8, 0x87E},        {IOCTL_GET_DRIVER_RATE, 0x222320, 0x8C8},
        {IOCTL_GET_UNIT_RATE, 0x222324, 0x8C9},     {IOCTL_SET_DRIVER_RATE, 0x222328, 0x8CA},
        {IOCTL_CHECK_RATE, 0x22232C, 0x8CB},        {IOCTL_GET_CLOCK_STATUS, 0x222340, 0x8D0},
        {IOCTL_GET_RATE_LOCK, 0x222348, 0x8D2},     {IOCTL_SET_STREAM_RATE, 0x2223E8, 0x8FA},
        {IOCTL_CHECK_STREAM_RATE, 0x2223EC, 0x8FB}, {IOCTL_GET_MESSAGES, 0x2223F0, 0x8FC},
        {IOCTL_GET_STREAM_RATE, 0x2223F4, 0x8FD},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << "code 0x" << std::hex << c.expected);
        EXPECT_EQ(c.code, c.expected);
        EXPECT_EQ(device::FunctionOf(c.code), c.function);
        EXPECT_EQ(c.code >> 16, 0x22u) << "device type";
        EXPECT_EQ((c.code >> 14) & 3u, 0u) << "any access";
        EXPECT_EQ(device::MethodOf(c.code), c.code == IOCTL_MAP_BUFFER ? 2u : 0u);
        ASSERT_NE(device::FindRequest(c.code), nullptr);
    }
    EXPECT_EQ(std::size(kCases), std::size(device::kRequestCatalogue)) << "the catalogue and this table disagree";
}

TEST(RequestCodes, CatalogueIsUniqueAndSized) {
    std::set<uint32_t> codes;
    for (const device::RequestInfo& info : device::kRequestCatalogue) {
        SCOPED_TRACE(info.name);
        EXPECT_TRUE(codes.insert(info.code).second) << "duplicate code";
        EXPECT_GE(device::FunctionOf(info.code), 0x80Fu);
        EXPECT_LE(device::FunctionOf(info.code), 0x8FDu);
    }
    EXPECT_EQ(device::FindRequest(0x222000), nullptr);
    EXPECT_EQ(device::FindRequest(IOCTL_GET_SETTINGS)->size, sizeof(DRV_SETTINGS_BUFFER));
    EXPECT_EQ(device::FindRequest(IOCTL_REGISTER_EVENTS)->size, sizeof(NOTIFY_REG));
    EXPECT_EQ(device::FindRequest(IOCTL_GET_CLOCK_STATUS)->size, sizeof(UNIT_STATUS));
    EXPECT_EQ(device::FindRequest(IOCTL_GET_UNIT_ID)->size, sizeof(UNIT_ID));
    EXPECT_EQ(device::FindRequest(IOCTL_START_STREAM)->size, sizeof(START_STREAM_REQ));
    EXPECT_EQ(device::FindRequest(IOCTL_GET_POSITION)->size, sizeof(POSITION_REQ));
}

TEST(Records, HandlesAreSignExtendedIntoSixtyFourBits) {
    // A small handle gives the same bytes from a 32-bit and a 64-bit sender.
    NOTIFY_REG reg{};
    reg.hStatusEvent = HandleToWire(reinterpret_cast<void*>(static_cast<intptr_t>(0x2A4)));
    unsigned char bytes[sizeof reg];
    std::memcpy(bytes, &reg, sizeof reg);
    static const unsigned char kExpected[8] = {0xA4, 0x02, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(bytes + 8, kExpected, 8), 0);

    // A negative pseudo-handle widens with its sign, as the kernel driver expects.
    EXPECT_EQ(HandleToWire(reinterpret_cast<void*>(static_cast<intptr_t>(-1))), ~uint64_t{0});
    EXPECT_EQ(WireToHandle(HandleToWire(&reg)), static_cast<void*>(&reg));
}

TEST(Records, DefaultSettingsWords) {
    const DRV_SETTINGS_BUFFER b = device::DefaultSettingsBuffer();
    uint32_t words[sizeof b / 4];
    std::memcpy(words, &b, sizeof b);
    for (int i = 0; i < 70; ++i) EXPECT_EQ(words[i], 0u) << "per-rate table word " << i << " must be zero";
    static const uint32_t kExpected[] = {0, 0, 5, 1, 0, 1, 0, 1, 0, 0, 1, 0, 0, 0};  // offsets 280..332
    for (size_t i = 0; i < std::size(kExpected); ++i)
        EXPECT_EQ(words[70 + i], kExpected[i]) << "word at offset " << 280 + 4 * i;
    EXPECT_EQ(b.nResult, 0u);
}

TEST(Ring, ArithmeticOfTheContractExample) {
    // F = 256, W = 3, two inputs and two outputs.
    const uint64_t p = device::PeriodBytes(256, 3);
    EXPECT_EQ(p, 768u);
    EXPECT_EQ(device::RingBlockBytes(256, 3, 4), 104u + 4 * 64 * 768);
    EXPECT_EQ(device::RingOffsetOfChannel(0, p), 104u);
    EXPECT_EQ(device::RingOffsetOfChannel(1, p), 104u + 64 * 768);
    EXPECT_EQ(device::RingLength(p), 64u * 768);
    EXPECT_EQ(device::HostBlockBytes(4, 4), 4u * 4 * 32768 + 64);
}

TEST(Ring, SizesDoNotOverflowForHostileValues) {
    // 255 + 255 channels, a sample width of 1000 and the largest 32-bit frame count
    // still fit in 64 bits; callers bound them before allocating.
    const uint64_t bytes = device::RingBlockBytes(0xFFFFFFFFu, 1000, 510);
    EXPECT_GT(bytes, uint64_t{0xFFFFFFFFu});
    EXPECT_EQ(bytes, 104u + uint64_t{510} * 64 * 0xFFFFFFFFu * 1000);
}

TEST(Ring, PeriodIndexWraps) {
    EXPECT_EQ(device::NextPeriod(0), 1u);
    EXPECT_EQ(device::NextPeriod(62), 63u);
    EXPECT_EQ(device::NextPeriod(63), 0u);
    EXPECT_EQ(device::NextPeriod(200), 0u) << "an index outside 0..63 must not stay outside";
}

TEST(DevicePaths, AnsiAndWide) {
    struct Case {
        int unit;
        const char* path;
    };
    static const Case kCases[] = {
        {1, "\\\\.\\Mxkd441000" "1"}, {4, "\\\\.\\Mxkd441000" "4"}, {8, "\\\\.\\Mxkd441000" "8"}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.unit);
        char narrow[device::kDevicePathChars];
        wchar_t wide[device::kDevicePathChars];
        ASSERT_TRUE(device::FormatDevicePathA(narrow, std::size(narrow), c.unit));
        ASSERT_TRUE(device::FormatDevicePathW(wide, std::size(wide), c.unit));
        EXPECT_STREQ(narrow, c.path);
        EXPECT_EQ(std::wstring(wide), std::wstring(c.path, c.path + std::strlen(c.path)));
    }
}

TEST(DevicePaths, BufferTooSmallLeavesAnEmptyString) {
    char narrow[8] = "x";
    wchar_t wide[8] = L"x";
    EXPECT_FALSE(device::FormatDevicePathA(narrow, std::size(narrow), 1));
    EXPECT_STREQ(narrow, "");
    EXPECT_FALSE(device::FormatDevicePathW(wide, std::size(wide), 1));
    EXPECT_EQ(wide[0], L'\0');
    EXPECT_FALSE(device::FormatDevicePathA(nullptr, 0, 1));
}

}  // namespace
