// One unit: its blocks and mapping, the ring copies with their wrap and guards,
// the period handshake, and stopping.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "asio_test_support.h"
#include "dev_one.h"
#include "device/ring.h"

namespace {

using asiotest::Describe;
using asiotest::Units;

constexpr uint32_t kFrames = 256;
constexpr uint32_t kWidth = 3;
constexpr uint32_t kChannels = 4;  // two inputs, two outputs
constexpr uint32_t kPeriod = kFrames * kWidth;
constexpr uint32_t kRingLen = 64 * kPeriod;

uint8_t Pattern(uint32_t channel, uint32_t offset) { return static_cast<uint8_t>(channel * 31 + offset * 7 + 1); }

class DevOneTest : public ::testing::Test {
protected:
    DevOneTest() : m_unit(Units("1:")), m_install(m_unit) {
        m_dev.Init(0);
        m_opened = m_dev.Open() != FALSE;
    }
    ~DevOneTest() override {
        m_dev.Close();
        m_dev.ReleaseBuffer();
    }
    void Map() {
        ASSERT_TRUE(m_opened);
        ASSERT_TRUE(m_dev.CreateBuffer(TRUE, kFrames, kWidth, kChannels));
    }
    uint8_t* RingOf(uint32_t channel) {
        return reinterpret_cast<uint8_t*>(m_dev.Ring()) + device::RingOffsetOfChannel(channel, kPeriod);
    }
    void FillRings() {
        for (uint32_t c = 0; c < kChannels; ++c)
            for (uint32_t i = 0; i < kRingLen; ++i) RingOf(c)[i] = Pattern(c, i);
    }

    vu::VirtualUnit m_unit;
    vu::ScopedInstall m_install;
    CDevOne m_dev;
    bool m_opened = false;
};

TEST_F(DevOneTest, BlocksAndMappingOfTheContractExample) {
    Map();
    const std::vector<vu::LogEntry> maps = m_unit.Requests(IOCTL_MAP_BUFFER, 1);
    ASSERT_EQ(maps.size(), 1u);
    EXPECT_EQ(maps[0].Word(0), 0u);
    EXPECT_EQ(maps[0].Word(1), 256u);
    EXPECT_EQ(maps[0].Word(2), 16384u);
    EXPECT_GE(maps[0].outSize, 104u + 4 * 64 * 768);
    EXPECT_EQ(maps[0].error, static_cast<DWORD>(ERROR_IO_PENDING));
    EXPECT_TRUE(m_dev.HasMapping());
    EXPECT_TRUE(m_unit.Inspect(1).mapped);

    const RING_HEADER* header = m_dev.Ring();
    EXPECT_EQ(header->cbHeader, 104u);
    EXPECT_EQ(header->inLen, 49152u);
    EXPECT_EQ(header->outLen, 49152u);
    EXPECT_EQ(RingOf(1) - reinterpret_cast<const uint8_t*>(header), 104 + 64 * 768);

    // Host halves: packed by the actual period, from a 64-byte aligned start.
    uint8_t* base = m_dev.HostBase();
    EXPECT_EQ(reinterpret_cast<uintptr_t>(base) % 64, 0u);
    EXPECT_EQ(m_dev.HostHalf(0, 0), base);
    EXPECT_EQ(m_dev.HostHalf(1, 0), base + 2 * kPeriod);
    EXPECT_EQ(m_dev.HostHalf(2, 1), base + 5 * kPeriod);
    EXPECT_EQ(m_dev.HostHalf(3, 1), base + 7 * kPeriod);
    EXPECT_EQ(m_dev.HostHalf(4, 0), nullptr) << "a channel the block was not made for";
    EXPECT_EQ(m_dev.HostHalf(0, 2), nullptr);

    m_unit.ClearLog();
    m_dev.ReleaseBuffer();
    EXPECT_EQ(Describe(m_unit.Log()), (std::vector<std::string>{"1 IOCTL_RELEASE_BUFFER"}));
    EXPECT_FALSE(m_dev.HasMapping());
    EXPECT_EQ(m_dev.Ring(), nullptr);
    EXPECT_FALSE(m_unit.Inspect(1).mapped);
}

TEST_F(DevOneTest, ReadInputWrapsAtTheRingEnd) {
    Map();
    ASSERT_TRUE(m_dev.ClearBuffer());
    FillRings();
    struct Case {
        const char* name;
        uint32_t pos;
        uint32_t half;
        uint32_t nextPos;
        uint32_t wraps;
    };
    static const Case kCases[] = {
        {"start of the ring", 0, 0, kPeriod, 0},
        {"period 6", 6 * kPeriod, 1, 7 * kPeriod, 0},
        {"half a period before the end", kRingLen - kPeriod / 2, 0, kPeriod / 2, 1},
        {"the last period", kRingLen - kPeriod, 1, 0, 1},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        RING_HEADER* header = m_dev.Ring();
        header->inPos = c.pos;
        header->inWraps = 0;
        m_dev.ReadInput(c.half, 2, kPeriod);
        for (uint32_t k = 0; k < 2; ++k) {
            const uint8_t* half = m_dev.HostHalf(k, c.half);
            for (uint32_t i = 0; i < kPeriod; ++i)
                ASSERT_EQ(half[i], Pattern(k, (c.pos + i) % kRingLen)) << "channel " << k << " byte " << i;
        }
        EXPECT_EQ(header->inPos, c.nextPos);
        EXPECT_EQ(header->inWraps, c.wraps);
        EXPECT_EQ(header->inStart + header->inLen, header->inEnd);
    }
}

TEST_F(DevOneTest, WriteOutputWrapsAtTheRingEnd) {
    Map();
    ASSERT_TRUE(m_dev.ClearBuffer());
    struct Case {
        const char* name;
        uint32_t pos;
        uint32_t nextPos;
        uint32_t wraps;
    };
    static const Case kCases[] = {
        {"a pre-roll of 100 frames", 100 * kWidth, 100 * kWidth + kPeriod, 0},
        {"half a period before the end", kRingLen - kPeriod / 2, kPeriod / 2, 1},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        for (uint32_t k = 0; k < 2; ++k) {
            uint8_t* half = m_dev.HostHalf(2 + k, 1);
            for (uint32_t i = 0; i < kPeriod; ++i) half[i] = Pattern(k + 10, i);
        }
        RING_HEADER* header = m_dev.Ring();
        header->outPos = c.pos;
        header->outWraps = 0;
        m_dev.WriteOutput(1, 2, 2, kPeriod);
        for (uint32_t k = 0; k < 2; ++k) {
            const uint8_t* ring = RingOf(2 + k);
            for (uint32_t i = 0; i < kPeriod; ++i)
                ASSERT_EQ(ring[(c.pos + i) % kRingLen], Pattern(k + 10, i)) << "channel " << k << " byte " << i;
        }
        EXPECT_EQ(header->outPos, c.nextPos);
        EXPECT_EQ(header->outWraps, c.wraps);
    }
}

TEST_F(DevOneTest, PeriodHandshakeAndTheSixtyThreeToZeroWrap) {
    Map();
    RING_HEADER* header = m_dev.Ring();
    EXPECT_EQ(m_dev.CheckState(), 1) << "nothing completed yet";
    EXPECT_FALSE(m_dev.AdvancePeriod()) << "not running";
    header->usrPeriod = 63;
    header->devPeriod = 0;
    EXPECT_EQ(m_dev.CheckState(), 0);
    EXPECT_TRUE(m_dev.IsActive());
    EXPECT_TRUE(m_dev.AdvancePeriod());
    EXPECT_EQ(header->usrPeriod, 0u);
    EXPECT_EQ(m_dev.CheckState(), 1);

    // Counters the kernel driver scribbled on never lead outside the ring.
    header->devPeriod = 200;
    EXPECT_EQ(m_dev.CheckState(), 1) << "a producer index beyond the ring is no period";
    header->devPeriod = 5;
    header->usrPeriod = 200;
    EXPECT_TRUE(m_dev.AdvancePeriod());
    EXPECT_LT(header->usrPeriod, 64u);
}

TEST_F(DevOneTest, EndedStreamSilencesTheHostAndStopsTheCopies) {
    Map();
    ASSERT_TRUE(m_dev.ClearBuffer());
    FillRings();
    std::memset(m_dev.HostHalf(0, 0), 0x55, kPeriod);
    std::memset(m_dev.HostHalf(3, 1), 0x66, kPeriod);
    RING_HEADER* header = m_dev.Ring();
    header->devPeriod = 1;
    header->devState = 1;
    EXPECT_EQ(m_dev.CheckState(), 2);
    EXPECT_EQ(header->ack, 1u);
    EXPECT_FALSE(m_dev.IsActive());
    for (uint32_t k = 0; k < kChannels; ++k)
        for (uint32_t h = 0; h < 2; ++h)
            for (uint32_t i = 0; i < kPeriod; ++i) ASSERT_EQ(m_dev.HostHalf(k, h)[i], 0) << k << "/" << h;

    // Even with the running flag back, the ended header keeps the copies off.
    ASSERT_TRUE(m_dev.ClearBuffer());
    FillRings();
    const uint32_t inPos = header->inPos;
    m_dev.ReadInput(0, 2, kPeriod);
    EXPECT_EQ(m_dev.HostHalf(0, 0)[0], 0);
    EXPECT_EQ(header->inPos, inPos);
    std::memset(m_dev.HostHalf(2, 0), 0x77, kPeriod);
    m_dev.WriteOutput(0, 2, 2, kPeriod);
    EXPECT_EQ(RingOf(2)[0], Pattern(2, 0));
}

TEST_F(DevOneTest, StopResetsTheHeaderWhateverTheRequestAnswers) {
    Map();
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails ? "stop request failing" : "stop request succeeding");
        const int fault = fails ? m_unit.AddFault(vu::Fault::Fail(IOCTL_STOP_STREAM)) : 0;
        ASSERT_TRUE(m_dev.ClearBuffer());
        RING_HEADER* header = m_dev.Ring();
        header->reserved = 9;
        header->devState = 1;
        header->ack = 1;
        header->devPeriod = 17;
        header->usrPeriod = 16;
        header->inPos = 5;
        header->inWraps = 3;
        header->inReserved = 8;
        header->outPos = 7;
        header->outWraps = 2;
        header->outReserved = 4;
        EXPECT_EQ(m_dev.Stop(1, 0) != FALSE, !fails);
        EXPECT_FALSE(m_dev.IsActive());
        for (const uint32_t word : {header->reserved, header->devState, header->ack, header->devPeriod,
                                    header->usrPeriod, header->inPos, header->inWraps, header->outPos, header->outWraps})
            EXPECT_EQ(word, 0u);
        EXPECT_EQ(header->inReserved, 0u);
        EXPECT_EQ(header->outReserved, 0u);
        EXPECT_EQ(header->cbHeader, 104u);
        EXPECT_EQ(header->inLen, kRingLen) << "the ring lengths stay";
        const std::vector<vu::LogEntry> stops = m_unit.Requests(IOCTL_STOP_STREAM);
        ASSERT_FALSE(stops.empty());
        EXPECT_EQ(stops.back().Word(1), 1u);
        if (fault != 0) m_unit.RemoveFault(fault);
    }
}

// Header words, sizes and counts that would move a copy outside the blocks are
// refused; the offsets come back inside the ring.
TEST_F(DevOneTest, CopiesStayInsideTheBlocksWhateverTheHeaderSays) {
    Map();
    struct Case {
        const char* name;
        uint32_t inPos;
        uint32_t outPos;
        uint32_t nIn;
        uint32_t nOut;
        uint32_t periodBytes;
        bool copies;
    };
    static const Case kCases[] = {
        {"offsets far beyond the ring", 0xFFFFFFF0u, kRingLen + 5, 2, 2, kPeriod, false},
        {"more channels than the blocks hold", 0, 0, 5, 200, kPeriod, false},
        {"a period size the blocks were not made for", 0, 0, 2, 2, kPeriod * 2, false},
        {"a sane header", kPeriod, kPeriod, 2, 2, kPeriod, true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_dev.ClearBuffer());
        FillRings();
        RING_HEADER* header = m_dev.Ring();
        header->inPos = c.inPos;
        header->outPos = c.outPos;
        m_dev.ReadInput(0, c.nIn, c.periodBytes);
        m_dev.WriteOutput(0, c.nOut, c.nIn, c.periodBytes);
        EXPECT_EQ(m_dev.HostHalf(0, 0)[0] != 0, c.copies);
        if (c.periodBytes == kPeriod && c.nIn <= kChannels) {
            EXPECT_LT(header->inPos, kRingLen);
            EXPECT_LT(header->outPos, kRingLen);
        }
    }
}

TEST_F(DevOneTest, CreateBufferRefusesShapesItCannotHold) {
    ASSERT_TRUE(m_opened);
    struct Case {
        const char* name;
        int32_t frames;
        uint32_t width;
        uint32_t channels;
    };
    static const Case kCases[] = {
        {"negative frames", -1, 3, 4},
        {"frames above 16384", 16385, 3, 4},
        {"no sample width", 256, 0, 4},
        {"a sample width of 1000", 256, 1000, 4},
        {"more channels than two bytes of counts", 256, 3, 511},
        {"255 + 255 channels of 8 bytes at 16384 frames", 16384, 8, 510},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        m_unit.ClearLog();
        EXPECT_FALSE(m_dev.CreateBuffer(TRUE, c.frames, c.width, c.channels));
        EXPECT_TRUE(m_unit.Log().empty()) << "nothing is handed to the kernel driver";
        EXPECT_EQ(m_dev.Ring(), nullptr);
    }
    // 255 + 255 channels at a small size fit, and the unit maps the larger block.
    EXPECT_TRUE(m_dev.CreateBuffer(TRUE, 64, 3, 510));
    EXPECT_NE(m_dev.HostHalf(509, 1), nullptr);
}

TEST_F(DevOneTest, ClosedUnitSkipsItsRequests) {
    CDevOne closed;
    closed.Init(2);
    EXPECT_STREQ(closed.Path(), "\\\\.\\Mxkd4410003");
    m_unit.ClearLog();
    EXPECT_EQ(closed.GetDeviceRate(), 44100u);
    int32_t in = 7, out = 7;
    closed.GetChannelCounts(&in, &out);
    EXPECT_EQ(in, 0);
    EXPECT_EQ(out, 0);
    EXPECT_TRUE(closed.Start(0, 1, nullptr));
    EXPECT_TRUE(closed.Stop(1, 0));
    EXPECT_TRUE(closed.ClearBuffer());
    DWORD ms = 0, period = 0;
    EXPECT_FALSE(closed.GetPosition(&ms, &period));
    EXPECT_FALSE(closed.IsRateSupported(44100));
    EXPECT_EQ(closed.CheckState(), 1);
    EXPECT_TRUE(m_unit.Log().empty());
}

}  // namespace
