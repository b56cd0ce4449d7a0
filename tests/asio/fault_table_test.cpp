// Every request the driver sends, failing at each stage of a host's session:
// the outcome each failure is meant to have, and after it a session that still
// ends cleanly: no hang, no handle, block, mapping or registration left behind.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "asio_test_support.h"
#include "host_harness.h"
#include "win32_linux.h"

namespace {

using asiotest::Describe;
using asiotest::HostHarness;
using asiotest::Join;
using asiotest::Units;

enum class Stage { Construction, BufferCreation, Start, Streaming, RateChange, Disposal, Destruction };

const char* Name(Stage stage) {
    static const char* const kNames[] = {"construction", "buffer creation", "start", "streaming",
                                         "rate change",  "disposal",        "destruction"};
    return kNames[static_cast<int>(stage)];
}

struct Session {
    vu::VirtualUnit& unit;
    HostHarness& host;
    ASIOError result;  // of the stage's own call
    AsioOurs* Driver() const { return host.Driver(); }
};

struct FaultCase {
    const char* name;
    Stage stage;
    const char* units;
    vu::Fault fault;
    void (*check)(Session&);
};

ASIOSampleRate Rate(Session& run) {
    ASIOSampleRate rate = 0;
    EXPECT_EQ(run.host.Asio()->getSampleRate(&rate), ASE_OK);
    return rate;
}

void Present(Session& run) { EXPECT_EQ(run.result, ASIOTrue) << "the unit is still used"; }
void NoDevice(Session& run) {
    EXPECT_EQ(run.result, ASIOFalse);
    char message[124];
    run.host.Asio()->getErrorMessage(message);
    EXPECT_STREQ(message, "Can not found a device. Please connect the device.");
}
void Succeeds(Session& run) { EXPECT_EQ(run.result, ASE_OK); }
void BuffersRefused(Session& run, ASIOError code) {
    EXPECT_EQ(run.result, code);
    EXPECT_EQ(run.Driver()->BufferSize(), 0);
    EXPECT_FALSE(run.unit.Inspect(1).mapped) << "nothing stays mapped";
}

const FaultCase kCases[] = {
    // --- construction ---
    {"primary flag", Stage::Construction, "1:", vu::Fault::Fail(IOCTL_GET_PRIMARY_FLAG), NoDevice},
    {"driver rate: 44100 is taken", Stage::Construction, "1:rate=48000", vu::Fault::Fail(IOCTL_GET_DRIVER_RATE),
     [](Session& run) {
         Present(run);
         EXPECT_EQ(Rate(run), 44100.0);
     }},
    {"stream rate", Stage::Construction, "1:", vu::Fault::Fail(IOCTL_SET_STREAM_RATE), Present},
    {"sample size: 2 bytes, and a ring the 3-byte unit will not take", Stage::Construction, "1:",
     vu::Fault::Fail(IOCTL_GET_SAMPLE_SIZE),
     [](Session& run) {
         Present(run);
         EXPECT_EQ(run.host.Query(), ASE_OK);
         EXPECT_EQ(run.host.facts().type, ASIOSTInt16LSB);
         EXPECT_EQ(run.host.CreateBuffers(256), ASE_NoMemory);
     }},
    {"channel counts: no channels", Stage::Construction, "1:", vu::Fault::Fail(IOCTL_GET_CHANNEL_COUNTS),
     [](Session& run) {
         Present(run);
         EXPECT_EQ(run.host.Query(), ASE_OK);
         EXPECT_EQ(run.host.facts().inputs, 0);
         EXPECT_EQ(run.host.facts().outputs, 0);
     }},
    {"event registration", Stage::Construction, "1:", vu::Fault::Fail(IOCTL_REGISTER_EVENTS), NoDevice},
    {"unit id", Stage::Construction, "1:", vu::Fault::Fail(IOCTL_GET_UNIT_ID), NoDevice},
    {"first settings read", Stage::Construction, "1:", vu::Fault::Fail(IOCTL_GET_SETTINGS).Times(1), NoDevice},
    {"second settings read: the default position", Stage::Construction, "1:bufpos=9",
     vu::Fault::Fail(IOCTL_GET_SETTINGS).From(2).Times(1),
     [](Session& run) {
         Present(run);
         CCsLock stream(&run.Driver()->m_csStream);
         EXPECT_EQ(run.Driver()->m_settings.settings.nBufPos, 5);
     }},
    {"group config", Stage::Construction, "1:", vu::Fault::Fail(IOCTL_SET_GROUP_CONFIG), Present},
    {"unit option", Stage::Construction, "1:", vu::Fault::Fail(IOCTL_SET_UNIT_OPTION), Present},

    // --- buffer creation ---
    {"limits for the size check", Stage::BufferCreation, "1:", vu::Fault::Fail(IOCTL_GET_BUFFER_SIZES),
     [](Session& run) { BuffersRefused(run, ASE_NotPresent); }},
    {"limits for the device set", Stage::BufferCreation, "1:", vu::Fault::Fail(IOCTL_GET_BUFFER_SIZES).From(2),
     [](Session& run) { BuffersRefused(run, ASE_NoMemory); }},
    {"mapping", Stage::BufferCreation, "1:", vu::Fault::Fail(IOCTL_MAP_BUFFER),
     [](Session& run) { BuffersRefused(run, ASE_NoMemory); }},
    {"settings reads: the copy stays", Stage::BufferCreation, "1:bufpos=9", vu::Fault::Fail(IOCTL_GET_SETTINGS),
     [](Session& run) {
         Succeeds(run);
         CCsLock stream(&run.Driver()->m_csStream);
         EXPECT_EQ(run.Driver()->m_settings.settings.nBufPos, 9);
     }},

    // --- start ---
    {"start of every unit", Stage::Start, "1:", vu::Fault::Fail(IOCTL_START_STREAM),
     [](Session& run) {
         EXPECT_EQ(run.result, ASE_NotPresent);
         EXPECT_FALSE(run.Driver()->IsStarted()) << "Prepared again";
         EXPECT_EQ(run.Driver()->BufferSize(), 256);
         EXPECT_FALSE(run.unit.Inspect(1).streaming);
     }},
    {"start of the main unit", Stage::Start, "1:", vu::Fault::Fail(IOCTL_START_STREAM).From(2),
     [](Session& run) {
         EXPECT_EQ(run.result, ASE_NotPresent);
         EXPECT_FALSE(run.Driver()->IsStarted());
         EXPECT_FALSE(run.unit.Inspect(1).streaming);
     }},

    // --- streaming ---
    {"position: the period comes with the next one", Stage::Streaming, "1:", vu::Fault::Fail(IOCTL_GET_POSITION).Times(1),
     [](Session& run) {
         // Session stepped twice after the fault; the host was called for both.
         EXPECT_TRUE(run.host.WaitForCalls(3));
         const std::vector<HostHarness::Call> calls = run.host.Calls();
         ASSERT_EQ(calls.size(), 3u);
         EXPECT_EQ(calls[1].position, 512u);
         EXPECT_EQ(calls[2].position, 768u);
     }},
    {"messages: nothing reported", Stage::Streaming, "1:", vu::Fault::Fail(IOCTL_GET_MESSAGES),
     [](Session& run) {
         EXPECT_EQ(run.host.selectorChecks.load(), 0);
         EXPECT_TRUE(run.host.Period()) << "the stream goes on";
     }},

    // --- rate change ---
    {"rate check", Stage::RateChange, "1:", vu::Fault::Fail(IOCTL_CHECK_STREAM_RATE),
     [](Session& run) {
         EXPECT_EQ(run.result, ASE_NoClock);
         EXPECT_EQ(Rate(run), 44100.0);
     }},
    {"rate lock: not locked", Stage::RateChange, "1:locked=1", vu::Fault::Fail(IOCTL_GET_RATE_LOCK),
     [](Session& run) {
         Succeeds(run);
         EXPECT_EQ(Rate(run), 48000.0);
     }},
    {"setting the rate on every unit", Stage::RateChange, "1:", vu::Fault::Fail(IOCTL_SET_STREAM_RATE).Times(1),
     [](Session& run) {
         EXPECT_EQ(run.result, ASE_NoClock);
         EXPECT_EQ(Rate(run), 44100.0);
     }},
    {"setting the rate on the main unit", Stage::RateChange, "1:", vu::Fault::Fail(IOCTL_SET_STREAM_RATE).From(2),
     [](Session& run) {
         Succeeds(run);
         EXPECT_EQ(Rate(run), 48000.0);
     }},
    {"unit rate: one poll more", Stage::RateChange, "1:", vu::Fault::Fail(IOCTL_GET_UNIT_RATE).Times(1),
     [](Session& run) {
         Succeeds(run);
         EXPECT_EQ(run.unit.CountRequests(IOCTL_GET_UNIT_RATE), 2u);
     }},
    {"stream rate read back: 44100 is taken", Stage::RateChange, "1:", vu::Fault::Fail(IOCTL_GET_STREAM_RATE),
     [](Session& run) {
         Succeeds(run);
         EXPECT_EQ(Rate(run), 44100.0);
         EXPECT_EQ(run.unit.Inspect(1).config.unitRate, 48000u);
     }},
    {"group config after the change", Stage::RateChange, "1:", vu::Fault::Fail(IOCTL_SET_GROUP_CONFIG),
     [](Session& run) {
         Succeeds(run);
         EXPECT_EQ(Rate(run), 48000.0);
     }},

    // --- disposal ---
    {"stop", Stage::Disposal, "1:", vu::Fault::Fail(IOCTL_STOP_STREAM),
     [](Session& run) {
         Succeeds(run);
         RING_HEADER header{};
         EXPECT_FALSE(run.unit.ReadRingHeader(1, &header)) << "released all the same";
     }},
    {"release of the mapping: the unit is given up", Stage::Disposal, "1:", vu::Fault::Fail(IOCTL_RELEASE_BUFFER),
     [](Session& run) {
         Succeeds(run);
         EXPECT_FALSE(run.unit.Inspect(1).mapped);
         EXPECT_FALSE(run.Driver()->m_devAll.Main()->IsOpen());
         EXPECT_EQ(run.Driver()->BufferSize(), 0);
     }},

    // --- destruction ---
    {"stop", Stage::Destruction, "1:", vu::Fault::Fail(IOCTL_STOP_STREAM), Succeeds},
    {"release of the mapping", Stage::Destruction, "1:", vu::Fault::Fail(IOCTL_RELEASE_BUFFER), Succeeds},
    {"unregistering the events", Stage::Destruction, "1:", vu::Fault::Fail(IOCTL_UNREGISTER_EVENTS), Succeeds},
};

TEST(FaultTable, EveryRequestFailingAtEachStage) {
    for (const FaultCase& c : kCases) {
        SCOPED_TRACE(std::string(Name(c.stage)) + ": " + c.name);
        vu::VirtualUnit unit(Units(c.units));
        vu::ScopedInstall install(unit);
        const DWORD handles = MxOpenHandleCount();
        const LONG objects = ComObjectCount();
        {
            HostHarness host(unit);
            Session run{unit, host, ASE_OK};
            if (c.stage == Stage::Construction) {
                ASSERT_NE(unit.AddFault(c.fault), 0);
            }
            host.Create();
            run.result = host.Asio()->init(nullptr);
            if (c.stage != Stage::Construction) {
                ASSERT_EQ(host.Query(), ASE_OK);
                if (c.stage == Stage::BufferCreation) {
                    ASSERT_NE(unit.AddFault(c.fault), 0);
                }
                run.result = host.CreateBuffers(256);
            }
            if (c.stage >= Stage::Start && c.stage != Stage::RateChange) {
                ASSERT_EQ(run.result, ASE_OK);
                if (c.stage == Stage::Start) {
                    ASSERT_NE(unit.AddFault(c.fault), 0);
                }
                run.result = host.Start();
            }
            if (c.stage == Stage::RateChange) {
                ASSERT_EQ(run.result, ASE_OK);
                ASSERT_NE(unit.AddFault(c.fault), 0);
                unit.ClearLog();
                run.result = host.Asio()->setSampleRate(48000.0);
            }
            if (c.stage == Stage::Streaming) {
                ASSERT_EQ(run.result, ASE_OK);
                ASSERT_NE(unit.AddFault(c.fault), 0);
                if (c.fault.code == IOCTL_GET_POSITION) {
                    const size_t asked = unit.CountRequests(IOCTL_GET_POSITION);
                    ASSERT_EQ(unit.Step(1), 1u);
                    ASSERT_TRUE(unit.WaitForRequests(IOCTL_GET_POSITION, asked + 1, 10000));
                    ASSERT_EQ(unit.Step(1), 1u);
                } else {
                    ASSERT_TRUE(unit.RaiseMessages(1, kMessageResetRequest));
                    ASSERT_TRUE(unit.WaitForRequests(IOCTL_GET_MESSAGES, 1, 10000));
                }
            }
            if (c.stage == Stage::Disposal || c.stage == Stage::Destruction) {
                ASSERT_EQ(run.result, ASE_OK);
                ASSERT_TRUE(host.Period());
                ASSERT_NE(unit.AddFault(c.fault), 0);
                if (c.stage == Stage::Disposal) run.result = host.Dispose();
                if (c.stage == Stage::Destruction) host.Release();
            }
            if (c.stage != Stage::Destruction) c.check(run);

            // The rest of the session, with the fault still in place.
            if (host.Asio() != nullptr) {
                host.Stop();
                host.Dispose();
                host.Release();
            }
        }
        const vu::UnitSnapshot after = unit.Inspect(1);
        EXPECT_EQ(after.openHandles, 0u);
        EXPECT_FALSE(after.mapped);
        EXPECT_FALSE(after.streaming);
        EXPECT_EQ(MxOpenHandleCount(), handles) << "no event, block or device handle left";
        EXPECT_EQ(ComObjectCount(), objects);
    }
}

}  // namespace
