// createBuffers against the unit's limits and the host's channel lists,
// getBufferSize, getLatencies and the sample position after start.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "asio_test_support.h"
#include "host_harness.h"

namespace {

using asiotest::Describe;
using asiotest::HostHarness;
using asiotest::Join;
using asiotest::Units;

class Buffers : public ::testing::Test {
protected:
    void Open(const char* units) {
        m_host.reset();
        m_install.reset();
        m_unit = std::make_unique<vu::VirtualUnit>(Units(units));
        m_install = std::make_unique<vu::ScopedInstall>(*m_unit);
        m_host = std::make_unique<HostHarness>(*m_unit);
        m_host->Create();
        ASSERT_EQ(m_host->Query(), ASE_OK);
    }
    void TearDown() override {
        m_host.reset();
        m_install.reset();
        m_unit.reset();
    }
    AsioOurs* Driver() { return m_host->Driver(); }
    AsioOurs::ChangeFlags Flags() {
        CCsLock lock(&Driver()->m_csFlags);
        return Driver()->m_flags;
    }
    static ASIOBufferInfo In(ASIOLong channel) { return ASIOBufferInfo{ASIOTrue, channel, {nullptr, nullptr}}; }
    static ASIOBufferInfo Out(ASIOLong channel) { return ASIOBufferInfo{ASIOFalse, channel, {nullptr, nullptr}}; }

    std::unique_ptr<vu::VirtualUnit> m_unit;
    std::unique_ptr<vu::ScopedInstall> m_install;
    std::unique_ptr<HostHarness> m_host;
};

TEST_F(Buffers, SizesAgainstTheUnitsLimits) {
    struct Case {
        const char* name;
        const char* units;
        int32_t size;
        ASIOError result;
        bool mismatch;
    };
    static const Case kCases[] = {
        {"offered size", "1:min=64,max=2048,pref=256,gran=32", 256, ASE_OK, false},
        {"not a multiple of the granularity", "1:min=64,max=2048,pref=256,gran=32", 100, ASE_OK, true},
        {"above the maximum", "1:min=64,max=2048,pref=256,gran=32", 4096, ASE_OK, true},
        {"above what the driver holds", "1:min=64,max=2048,pref=256,gran=32", 20000, ASE_NoMemory, true},
        {"negative, with a granularity", "1:min=64,max=2048,pref=256,gran=32", -64, ASE_InvalidParameter, false},
        {"negative granularity still divides", "1:min=64,max=2048,pref=256,gran=-32", 512, ASE_OK, false},
        {"granularity 0: the minimum", "1:min=256,max=2048,pref=512,gran=0", 256, ASE_OK, false},
        {"granularity 0: anything else", "1:min=256,max=2048,pref=512,gran=0", 512, ASE_OK, true},
        {"size 0 is no buffer at all", "1:min=0,max=2048,pref=256,gran=0", 0, ASE_InvalidParameter, false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Open(c.units);
        m_unit->ClearLog();
        const ASIOError result = m_host->CreateBuffers(c.size);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(Driver()->m_lastError.load(), c.result);
        const AsioOurs::ChangeFlags flags = Flags();
        EXPECT_EQ(flags.bSizeMismatch, c.mismatch ? 1 : 0);
        // bBufCreated stays only when buffers exist.
        EXPECT_EQ(flags.bBufCreated, result == ASE_OK ? 1 : 0);
        EXPECT_EQ(Driver()->BufferSize(), result == ASE_OK ? c.size : 0);
        EXPECT_EQ(m_unit->Inspect(1).mapped, result == ASE_OK);
        if (result == ASE_OK) {
            const std::vector<vu::LogEntry> maps = m_unit->Requests(IOCTL_MAP_BUFFER);
            ASSERT_EQ(maps.size(), 1u);
            EXPECT_EQ(maps[0].Word(1), static_cast<uint32_t>(c.size));
            EXPECT_EQ(maps[0].Word(2), static_cast<uint32_t>(c.size) * 64);
        }
        if (c.mismatch && result == ASE_OK) {
            // The next start asks the host for a reset and refuses.
            EXPECT_EQ(m_host->Start(), ASE_InvalidMode);
            EXPECT_EQ(m_host->resetRequests.load(), 1);
            EXPECT_FALSE(m_unit->Inspect(1).streaming);
        }
    }
}

TEST_F(Buffers, RequestsOfACreationAndItsFailures) {
    Open("1:");
    m_unit->ClearLog();
    ASSERT_EQ(m_host->CreateBuffers(256), ASE_OK);
    const std::vector<std::string> log = Describe(m_unit->Log());
    EXPECT_EQ(log, (std::vector<std::string>{"1 IOCTL_GET_BUFFER_SIZES", "1 IOCTL_GET_BUFFER_SIZES",
                                             "1 IOCTL_MAP_BUFFER", "1 IOCTL_GET_SETTINGS", "1 IOCTL_GET_SETTINGS"}))
        << Join(log);
    EXPECT_EQ(m_host->Dispose(), ASE_OK);

    // The limits cannot be read: nothing is created.
    int fault = m_unit->AddFault(vu::Fault::Fail(IOCTL_GET_BUFFER_SIZES));
    m_unit->ClearLog();
    EXPECT_EQ(m_host->CreateBuffers(256), ASE_NotPresent);
    EXPECT_EQ(Describe(m_unit->Log()), (std::vector<std::string>{"1 IOCTL_GET_BUFFER_SIZES failed"}));
    EXPECT_EQ(Flags().bBufCreated, 0);
    m_unit->RemoveFault(fault);

    // The ring cannot be handed over: everything is released again.
    fault = m_unit->AddFault(vu::Fault::Fail(IOCTL_MAP_BUFFER));
    EXPECT_EQ(m_host->CreateBuffers(256), ASE_NoMemory);
    EXPECT_EQ(Driver()->BufferSize(), 0);
    EXPECT_EQ(Driver()->m_devAll.Main()->Ring(), nullptr);
    m_unit->RemoveFault(fault);
    EXPECT_EQ(m_host->CreateBuffers(256), ASE_OK) << "a later creation is not hindered";
}

TEST_F(Buffers, ChannelListsTheHostMayPass) {
    struct Case {
        const char* name;
        std::vector<ASIOBufferInfo> infos;
        ASIOError result;
        // Per entry: whether it gets buffers.
        std::vector<bool> placed;
        std::vector<int> activeIn;
        std::vector<int> activeOut;
    };
    const Case kCases[] = {
        {"every channel", {In(0), In(1), Out(0), Out(1)}, ASE_OK, {true, true, true, true}, {0, 1}, {0, 1}},
        {"no channel at all", {}, ASE_OK, {}, {}, {}},
        {"more inputs than exist", {In(0), In(1), In(0)}, ASE_InvalidParameter, {}, {}, {}},
        {"more outputs than exist", {Out(0), Out(1), Out(1)}, ASE_InvalidParameter, {}, {}, {}},
        {"an input beyond the total (active, but no buffers)", {In(5), Out(0)}, ASE_OK, {false, true}, {5}, {0}},
        {"numbers of 512 and more touch no table", {In(512), Out(100000)}, ASE_OK, {false, false}, {}, {}},
        {"a negative number", {In(-1), Out(1)}, ASE_OK, {false, true}, {}, {1}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Open("1:");
        m_unit->ClearLog();
        const ASIOError result = m_host->CreateBuffers(256, c.infos);
        EXPECT_EQ(result, c.result);
        if (result != ASE_OK) {
            EXPECT_EQ(m_unit->CountRequests(IOCTL_MAP_BUFFER), 0u) << "nothing allocated";
            EXPECT_EQ(Driver()->BufferSize(), 0);
            continue;
        }
        const std::vector<ASIOBufferInfo>& infos = m_host->Buffers();
        for (size_t i = 0; i < infos.size(); ++i) {
            EXPECT_EQ(infos[i].buffers[0] != nullptr, c.placed[i]) << "entry " << i;
            EXPECT_EQ(infos[i].buffers[1] != nullptr, c.placed[i]) << "entry " << i;
        }
        CDevAll& devices = Driver()->m_devAll;
        for (int channel = 0; channel < CDevAll::kActiveChannels; ++channel) {
            const bool in = std::find(c.activeIn.begin(), c.activeIn.end(), channel) != c.activeIn.end();
            const bool out = std::find(c.activeOut.begin(), c.activeOut.end(), channel) != c.activeOut.end();
            ASSERT_EQ(devices.m_bInActive[channel] != FALSE, in) << "input " << channel;
            ASSERT_EQ(devices.m_bOutActive[channel] != FALSE, out) << "output " << channel;
        }
    }
}

TEST_F(Buffers, BufferPlacementInTheHostBlock) {
    Open("1:in=2,out=3,width=3");
    const std::vector<ASIOBufferInfo> infos = {Out(2), In(1), Out(0), In(0), Out(0)};
    ASSERT_EQ(m_host->CreateBuffers(100, infos), ASE_OK);
    const std::vector<ASIOBufferInfo>& placed = m_host->Buffers();
    const uint8_t* base = Driver()->m_devAll.Main()->HostBase();
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(base) % 64, 0u) << "the block's usable start is 64-byte aligned";
    const size_t half = 100 * 3;
    // Input c half h at (2c + h) × P; output c behind the two inputs.
    const size_t expectedHalf[][2] = {{(2 * 4) * half, (2 * 4 + 1) * half},
                                      {2 * half, 3 * half},
                                      {(2 * 2) * half, (2 * 2 + 1) * half},
                                      {0, half},
                                      {(2 * 2) * half, (2 * 2 + 1) * half}};
    for (size_t i = 0; i < placed.size(); ++i) {
        for (int h = 0; h < 2; ++h) {
            ASSERT_NE(placed[i].buffers[h], nullptr);
            EXPECT_EQ(static_cast<const uint8_t*>(placed[i].buffers[h]) - base,
                      static_cast<ptrdiff_t>(expectedHalf[i][h]))
                << "entry " << i << " half " << h;
        }
    }
    EXPECT_EQ(placed[2].buffers[1], placed[4].buffers[1]) << "the same channel twice gets the same addresses";
}

TEST_F(Buffers, GetBufferSizePassesTheUnitsAnswerOn) {
    Open("1:min=-5,max=99999,pref=300,gran=7");
    ASIOLong sizes[4] = {};
    EXPECT_EQ(Driver()->getBufferSize(&sizes[0], &sizes[1], &sizes[2], &sizes[3]), ASE_OK);
    EXPECT_EQ(sizes[0], -5);
    EXPECT_EQ(sizes[1], 99999);
    EXPECT_EQ(sizes[2], 300);
    EXPECT_EQ(sizes[3], 7);

    const int fault = m_unit->AddFault(vu::Fault::Fail(IOCTL_GET_BUFFER_SIZES));
    EXPECT_EQ(Driver()->getBufferSize(&sizes[0], &sizes[1], &sizes[2], &sizes[3]), ASE_NotPresent);
    for (ASIOLong size : sizes) EXPECT_EQ(size, 0);
    m_unit->RemoveFault(fault);

    // The main unit lost: 0, 0, 0, 0.
    ASSERT_TRUE(m_unit->Unplug(1));
    ASSERT_TRUE(m_unit->WaitForRequests(IOCTL_UNREGISTER_EVENTS, 1, 10000));
    {
        CCsLock stream(&Driver()->m_csStream);  // the thread has left DropDev
    }
    sizes[0] = sizes[1] = sizes[2] = sizes[3] = 1;
    EXPECT_EQ(Driver()->getBufferSize(&sizes[0], &sizes[1], &sizes[2], &sizes[3]), ASE_NotPresent);
    for (ASIOLong size : sizes) EXPECT_EQ(size, 0);
}

TEST_F(Buffers, LatenciesUseThePreferredSizeUntilBuffersExist) {
    // Unit terms 32 in and 48 out; position 5 at 44100 Hz.
    Open("1:pref=256,inlat=32,outlat=48");
    ASIOLong in = 0;
    ASIOLong out = 0;
    m_unit->ClearLog();
    EXPECT_EQ(Driver()->getLatencies(&in, &out), ASE_OK);
    EXPECT_EQ(Describe(m_unit->Log()), (std::vector<std::string>{"1 IOCTL_GET_LATENCIES", "1 IOCTL_GET_BUFFER_SIZES"}));
    EXPECT_EQ(in, 256 + 32);
    EXPECT_EQ(out, 48 + 252 + 143) << "CalcSafety(256, 44100) at position 5: 252 and 143";

    ASSERT_EQ(m_host->CreateBuffers(512), ASE_OK);
    EXPECT_EQ(Driver()->getLatencies(&in, &out), ASE_OK);
    uint32_t s1 = 0, s2 = 0;
    ASSERT_TRUE(Driver()->CalcSafety(512, 44100, &s1, &s2));
    EXPECT_EQ(in, 512 + 32);
    EXPECT_EQ(out, static_cast<ASIOLong>(48 + s1 + s2));

    // Failing requests: no unit terms, and no preferred size before buffers.
    ASSERT_EQ(m_host->Dispose(), ASE_OK);
    m_unit->AddFault(vu::Fault::Fail(IOCTL_GET_LATENCIES));
    m_unit->AddFault(vu::Fault::Fail(IOCTL_GET_BUFFER_SIZES));
    EXPECT_EQ(Driver()->getLatencies(&in, &out), ASE_OK);
    EXPECT_EQ(in, 0);
    EXPECT_EQ(out, 0);
}

TEST_F(Buffers, UntrustedLatencyAnswersNeitherOverflowNorUseImpossibleSizes) {
    Open("1:pref=-100,inlat=2147483647,outlat=-2147483648");
    ASIOLong in = 0;
    ASIOLong out = 0;
    EXPECT_EQ(Driver()->getLatencies(&in, &out), ASE_OK);
    EXPECT_EQ(in, 2147483647) << "held at the largest value";
    EXPECT_EQ(out, -2147483647 - 1);
}

TEST_F(Buffers, SamplePositionAfterStartCountsThePreStartPeriod) {
    Open("1:");
    ASIOSamples position{9, 9};
    ASIOTimeStamp stamp{9, 9};
    ASSERT_EQ(m_host->CreateBuffers(256), ASE_OK);
    EXPECT_EQ(Driver()->getSamplePosition(&position, &stamp), ASE_OK);
    EXPECT_EQ(position.lo, 0u);
    EXPECT_EQ(stamp.lo, 0u);
    const DWORD before = timeGetTime();
    ASSERT_EQ(m_host->Start(), ASE_OK);
    const DWORD after = timeGetTime();
    EXPECT_EQ(Driver()->getSamplePosition(&position, &stamp), ASE_OK);
    EXPECT_EQ(position.hi, 0u);
    EXPECT_EQ(position.lo, 256u);
    const uint64_t ns = (uint64_t{stamp.hi} << 32) | stamp.lo;
    EXPECT_GE(ns, uint64_t{before} * 1000000u);
    EXPECT_LE(ns, uint64_t{after} * 1000000u);

    // A start while running restarts the count and the halves.
    ASSERT_TRUE(m_host->Periods(3));
    ASSERT_EQ(m_host->Start(), ASE_OK);
    EXPECT_EQ(Driver()->getSamplePosition(&position, &stamp), ASE_OK);
    EXPECT_EQ(position.lo, 256u);
    const std::vector<HostHarness::Call> calls = m_host->Calls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[4].half, 0);
    EXPECT_TRUE(calls[4].onStartThread);
}

}  // namespace
