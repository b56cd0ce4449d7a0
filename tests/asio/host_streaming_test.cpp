// A host streaming through the driver end to end, everything through IASIO with
// the unit stepped one period at a time: samples from the unit's input rings
// reach the half bufferSwitch names, and what the host writes reaches the unit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "asio_test_support.h"
#include "host_harness.h"
#include "latency_safety.h"
#include "virtual_unit/test_signal.h"

namespace {

using asiotest::HostHarness;
using asiotest::Units;

TEST(HostStreaming, AudioReachesTheHostAndTheUnitAcrossTheRingWrap) {
    struct Case {
        const char* units;
        uint32_t width;
        ASIOSampleType type;
    };
    static const Case kCases[] = {
        {"1:source=ramp,width=2", 2, ASIOSTInt16LSB},
        {"1:source=ramp,width=3", 3, ASIOSTInt24LSB},
        {"1:source=ramp,width=4", 4, ASIOSTInt32LSB},
    };
    constexpr int32_t kFrames = 64;
    constexpr int kPeriods = 70;  // past the 64 periods of a ring
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.units);
        vu::VirtualUnit unit(Units(c.units));
        vu::ScopedInstall install(unit);
        HostHarness host(unit);
        host.Create();
        ASSERT_EQ(host.Query(), ASE_OK);
        EXPECT_EQ(host.facts().init, ASIOTrue);
        EXPECT_EQ(host.facts().inputs, 2);
        EXPECT_EQ(host.facts().outputs, 2);
        EXPECT_EQ(host.facts().type, c.type);
        EXPECT_EQ(host.facts().rate, 44100.0);
        ASSERT_EQ(host.CreateBuffers(kFrames), ASE_OK);
        for (const ASIOBufferInfo& info : host.Buffers()) {
            EXPECT_NE(info.buffers[0], nullptr);
            EXPECT_NE(info.buffers[1], nullptr);
        }

        ASSERT_EQ(host.Start(), ASE_OK);
        ASSERT_EQ(host.CallCount(), 1u) << "the first bufferSwitch comes from inside start";
        ASSERT_TRUE(host.Periods(kPeriods));
        const std::vector<HostHarness::Call> calls = host.Calls();
        ASSERT_EQ(calls.size(), size_t{kPeriods} + 1);
        EXPECT_TRUE(calls[0].onStartThread);
        for (size_t j = 0; j < calls.size(); ++j) {
            ASSERT_EQ(calls[j].half, static_cast<ASIOLong>(j % 2)) << "call " << j;
            ASSERT_EQ(calls[j].position, (j + 1) * kFrames) << "call " << j;
        }

        // Call j (after the one inside start, which hears the cleared buffers)
        // holds the unit's period j - 1 in the half it names.
        for (size_t j = 0; j < calls.size(); ++j) {
            for (uint32_t channel = 0; channel < 2; ++channel) {
                const std::vector<int32_t> input = host.Input(j, channel);
                ASSERT_EQ(input.size(), size_t{kFrames});
                for (int32_t i = 0; i < kFrames; ++i) {
                    const int32_t expected =
                        j == 0 ? 0 : vu::RampSample(channel, uint64_t(j - 1) * kFrames + uint64_t(i), c.width);
                    ASSERT_EQ(input[i], expected) << "call " << j << " channel " << channel << " frame " << i;
                }
            }
        }

        // The output of call j lies a pre-roll ahead of where the unit reads:
        // the unit's frame D + j × F + i is the host's frame i of call j.
        uint32_t s1 = 0;
        uint32_t preRoll = 0;
        ASSERT_TRUE(ComputeLatencySafety(kFrames, 44100, 5, &s1, &preRoll));
        const uint64_t captured = uint64_t{kPeriods} * kFrames;
        ASSERT_EQ(unit.CapturedFrames(1), captured);
        for (uint32_t channel = 0; channel < 2; ++channel) {
            std::vector<int32_t> samples(captured);
            ASSERT_EQ(unit.ReadCapture(1, channel, 0, samples.data(), samples.size()), samples.size());
            for (uint64_t n = 0; n < captured; ++n) {
                const int32_t expected =
                    n < preRoll ? 0
                                : HostHarness::OutputSample((n - preRoll) / kFrames, channel,
                                                            static_cast<uint32_t>((n - preRoll) % kFrames), kFrames,
                                                            c.width);
                ASSERT_EQ(samples[n], expected) << "channel " << channel << " frame " << n;
            }
        }

        EXPECT_EQ(host.Stop(), ASE_OK);
        EXPECT_EQ(host.Dispose(), ASE_OK);
        host.Release();
        const vu::UnitSnapshot after = unit.Inspect(1);
        EXPECT_FALSE(after.streaming);
        EXPECT_FALSE(after.mapped);
        EXPECT_EQ(after.openHandles, 0u);
    }
}

}  // namespace
