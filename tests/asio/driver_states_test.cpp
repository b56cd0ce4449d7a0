// The four transport calls in each of the driver object's four states, and the
// two conditions that lie over the states: an accepted reset request and a lost
// unit.
#include <gtest/gtest.h>

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

enum class State { NoDevice, Open, Prepared, Running };

const char* Name(State state) {
    switch (state) {
        case State::NoDevice:
            return "NoDevice";
        case State::Open:
            return "Open";
        case State::Prepared:
            return "Prepared";
        case State::Running:
            return "Running";
    }
    return "?";
}

// A host with its driver brought into `state`.
struct Scene {
    std::unique_ptr<vu::VirtualUnit> unit;
    std::unique_ptr<vu::ScopedInstall> install;
    std::unique_ptr<HostHarness> host;

    explicit Scene(State state) {
        unit = std::make_unique<vu::VirtualUnit>(Units(state == State::NoDevice ? "" : "1:"));
        install = std::make_unique<vu::ScopedInstall>(*unit);
        host = std::make_unique<HostHarness>(*unit);
        host->Create();
        if (state == State::NoDevice) return;
        EXPECT_EQ(host->Query(), ASE_OK);
        if (state == State::Open) return;
        EXPECT_EQ(host->CreateBuffers(256), ASE_OK);
        if (state == State::Prepared) return;
        EXPECT_EQ(host->Start(), ASE_OK);
        EXPECT_TRUE(host->Period());
    }
    ~Scene() {
        host.reset();
        install.reset();
        unit.reset();
    }
    State Now() {
        AsioOurs* driver = host->Driver();
        if (!driver->m_devAll.IsPresent()) return State::NoDevice;
        if (driver->IsStarted()) return State::Running;
        return driver->BufferSize() > 0 ? State::Prepared : State::Open;
    }
};

TEST(DriverStates, TransportCallsInEveryState) {
    struct Case {
        const char* call;
        State from;
        ASIOError result;
        State to;
        std::vector<std::string> log;  // requests the call sends
    };
    const std::vector<std::string> none;
    const std::vector<std::string> stops = {"1 IOCTL_STOP_STREAM", "1 IOCTL_STOP_STREAM"};
    const std::vector<std::string> starts = {"1 IOCTL_START_STREAM", "1 IOCTL_START_STREAM"};
    std::vector<std::string> restart = stops;
    restart.insert(restart.end(), starts.begin(), starts.end());
    std::vector<std::string> stopAndRelease = stops;
    stopAndRelease.push_back("1 IOCTL_RELEASE_BUFFER");
    const std::vector<std::string> create = {"1 IOCTL_GET_BUFFER_SIZES", "1 IOCTL_GET_BUFFER_SIZES",
                                             "1 IOCTL_MAP_BUFFER", "1 IOCTL_GET_SETTINGS",
                                             "1 IOCTL_GET_SETTINGS"};
    const Case kCases[] = {
        {"createBuffers", State::NoDevice, ASE_NotPresent, State::NoDevice, none},
        {"createBuffers", State::Open, ASE_OK, State::Prepared, create},
        {"createBuffers", State::Prepared, ASE_InvalidMode, State::Prepared, none},
        {"createBuffers", State::Running, ASE_InvalidMode, State::Running, none},
        {"start", State::NoDevice, ASE_NotPresent, State::NoDevice, none},
        {"start", State::Open, ASE_InvalidMode, State::Open, none},
        {"start", State::Prepared, ASE_OK, State::Running, starts},
        {"start", State::Running, ASE_OK, State::Running, restart},
        {"stop", State::NoDevice, ASE_NotPresent, State::NoDevice, none},
        {"stop", State::Open, ASE_InvalidMode, State::Open, none},
        {"stop", State::Prepared, ASE_OK, State::Prepared, stops},
        {"stop", State::Running, ASE_OK, State::Prepared, stops},
        {"disposeBuffers", State::NoDevice, ASE_NotPresent, State::NoDevice, none},
        {"disposeBuffers", State::Open, ASE_InvalidMode, State::Open, none},
        {"disposeBuffers", State::Prepared, ASE_OK, State::Open, stopAndRelease},
        {"disposeBuffers", State::Running, ASE_OK, State::Open, stopAndRelease},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.call) + " in " + Name(c.from));
        Scene scene(c.from);
        HostHarness& host = *scene.host;
        ASSERT_EQ(scene.Now(), c.from);
        scene.unit->ClearLog();
        host.Driver()->m_lastError = ASE_HWMalfunction;
        const std::string call = c.call;
        ASIOError result;
        if (call == "createBuffers")
            result = host.CreateBuffers(256, {ASIOBufferInfo{ASIOTrue, 0, {}}, ASIOBufferInfo{ASIOFalse, 0, {}}});
        else if (call == "start")
            result = host.Start();
        else if (call == "stop")
            result = host.Stop();
        else
            result = host.Dispose();
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(host.Driver()->m_lastError.load(), c.result);
        EXPECT_EQ(scene.Now(), c.to) << Name(scene.Now());
        const std::vector<std::string> log = Describe(scene.unit->Log());
        EXPECT_EQ(log, c.log) << Join(log);
        EXPECT_EQ(scene.unit->Inspect(1).streaming, c.to == State::Running);
        EXPECT_EQ(scene.unit->Inspect(1).mapped, c.to == State::Prepared || c.to == State::Running);
    }
}

TEST(DriverStates, AcceptedResetRequestRefusesCreateAndStartForGood) {
    Scene scene(State::Prepared);
    HostHarness& host = *scene.host;
    // A buffer size the unit does not offer makes the next start ask for a reset.
    ASSERT_EQ(host.Dispose(), ASE_OK);
    ASSERT_EQ(host.CreateBuffers(100), ASE_OK);
    EXPECT_EQ(host.Start(), ASE_InvalidMode);
    EXPECT_EQ(host.resetRequests.load(), 1);
    {
        CCsLock lock(&host.Driver()->m_csFlags);
        EXPECT_EQ(host.Driver()->m_flags.bResetPending, 1);
    }
    // Every later start asks again and fails; createBuffers fails even after
    // the buffers are gone.
    EXPECT_EQ(host.Start(), ASE_InvalidMode);
    EXPECT_EQ(host.resetRequests.load(), 2);
    EXPECT_EQ(host.Dispose(), ASE_OK);
    scene.unit->ClearLog();
    EXPECT_EQ(host.CreateBuffers(256), ASE_InvalidMode);
    EXPECT_EQ(host.Start(), ASE_InvalidMode);
    EXPECT_EQ(host.resetRequests.load(), 2) << "without buffers no request reaches the host";
    EXPECT_TRUE(scene.unit->Log().empty()) << Join(Describe(scene.unit->Log()));
}

TEST(DriverStates, LostUnitKeepsTheStateButAnswersNothing) {
    Scene scene(State::Prepared);
    HostHarness& host = *scene.host;
    ASSERT_TRUE(scene.unit->Unplug(1));
    ASSERT_TRUE(scene.unit->WaitForRequests(IOCTL_UNREGISTER_EVENTS, 1, 10000));
    {
        CCsLock stream(&host.Driver()->m_csStream);  // the thread has left DropDev
    }
    EXPECT_EQ(host.Asio()->init(nullptr), ASIOTrue) << "still present";
    EXPECT_EQ(scene.Now(), State::Prepared);
    ASIOLong sizes[4];
    EXPECT_EQ(host.Asio()->getBufferSize(&sizes[0], &sizes[1], &sizes[2], &sizes[3]), ASE_NotPresent);

    // start still succeeds: the closed unit counts as started, and only the
    // period inside start reaches the host.
    scene.unit->ClearLog();
    EXPECT_EQ(host.Start(), ASE_OK);
    EXPECT_EQ(host.CallCount(), 1u);
    EXPECT_TRUE(scene.unit->Log().empty()) << Join(Describe(scene.unit->Log()));
    EXPECT_EQ(host.Stop(), ASE_OK);
    EXPECT_EQ(host.Dispose(), ASE_OK);
    EXPECT_EQ(host.CreateBuffers(256), ASE_NotPresent);
    EXPECT_EQ(host.Driver()->BufferSize(), 0);
    host.Release();
    EXPECT_TRUE(scene.unit->Log().empty()) << Join(Describe(scene.unit->Log()));
}

}  // namespace
