// Reset requests to the host: the unit's status bits, the host's answer to the
// selector check, and the changes (rate, channel counts, buffer size) that make
// setSampleRate and start ask for one.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "asio_test_support.h"
#include "host_harness.h"

namespace {

using asiotest::HostHarness;
using asiotest::Units;

class ResetRequests : public ::testing::Test {
protected:
    void Open(const char* units = "1:") {
        m_unit = std::make_unique<vu::VirtualUnit>(Units(units));
        m_install = std::make_unique<vu::ScopedInstall>(*m_unit);
        m_host = std::make_unique<HostHarness>(*m_unit);
        m_host->Create();
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
    int AsioMessages() { return m_host->selectorChecks + m_host->resetRequests + m_host->otherMessages; }
    // Raises `bits` at the unit and waits until the streaming thread has asked
    // for them.
    void Raise(uint32_t bits) {
        const size_t asked = m_unit->CountRequests(IOCTL_GET_MESSAGES);
        ASSERT_TRUE(m_unit->RaiseMessages(1, bits));
        ASSERT_TRUE(m_unit->WaitForRequests(IOCTL_GET_MESSAGES, asked + 1, 10000));
    }
    // Everything the streaming thread started before this has finished: a last
    // status bit 0, whose request the host is sure to see, is handled after it.
    void Settle(int expectedSelectorChecks) {
        Raise(kMessageResetRequest);
        const DWORD start = GetTickCount();
        while (m_host->selectorChecks < expectedSelectorChecks + 1 && GetTickCount() - start < 10000) Sleep(1);
        ASSERT_EQ(m_host->selectorChecks.load(), expectedSelectorChecks + 1);
    }

    std::unique_ptr<vu::VirtualUnit> m_unit;
    std::unique_ptr<vu::ScopedInstall> m_install;
    std::unique_ptr<HostHarness> m_host;
};

TEST_F(ResetRequests, StatusBitZeroAsksTheHost) {
    struct Case {
        uint32_t bits;
        int requests;
    };
    static const Case kCases[] = {{1, 1}, {2, 0}, {4, 0}, {3, 1}, {0xFFFFFFFE, 0}};
    Open();
    ASSERT_EQ(m_host->Query(), ASE_OK);
    ASSERT_EQ(m_host->CreateBuffers(256), ASE_OK);
    int expected = 0;
    for (const Case& c : kCases) {
        SCOPED_TRACE("bits " + std::to_string(c.bits));
        Raise(c.bits);
        expected += c.requests;
        Settle(expected);
        expected += 1;
        EXPECT_EQ(m_host->resetRequests.load(), expected) << "repeats are not suppressed";
    }
    EXPECT_EQ(Flags().bResetPending, 1);
    EXPECT_EQ(m_host->otherMessages.load(), 0) << "no other selector is ever sent";
}

TEST_F(ResetRequests, HostThatRefusesTheSelectorNeverReceivesOne) {
    Open();
    ASSERT_EQ(m_host->Query(), ASE_OK);
    ASSERT_EQ(m_host->CreateBuffers(100), ASE_OK);  // a size the unit does not offer
    m_host->acceptReset = false;
    Raise(kMessageResetRequest);
    // A start asks too, on the host's thread; it is refused while the change stands.
    EXPECT_EQ(m_host->Start(), ASE_InvalidMode);
    EXPECT_EQ(m_host->Start(), ASE_InvalidMode);
    const DWORD start = GetTickCount();
    while (m_host->selectorChecks < 3 && GetTickCount() - start < 10000) Sleep(1);
    EXPECT_EQ(m_host->selectorChecks.load(), 3) << "exactly one check per trigger";
    EXPECT_EQ(m_host->resetRequests.load(), 0);
    EXPECT_EQ(Flags().bResetPending, 0);

    // Buffers of an offered size clear the mismatch: the start goes through.
    ASSERT_EQ(m_host->Dispose(), ASE_OK);
    ASSERT_EQ(m_host->CreateBuffers(256), ASE_OK);
    EXPECT_EQ(m_host->Start(), ASE_OK);
}

TEST_F(ResetRequests, NoBuffersNoMessage) {
    Open();
    ASSERT_EQ(m_host->Query(), ASE_OK);
    EXPECT_EQ(Driver()->callAsioResetRequest(), 0);
    Raise(kMessageResetRequest);
    // The streaming thread's poll asks for m_csApi before it would look for
    // buffers; once we have had it, the poll is past that point.
    {
        CCsLock api(&Driver()->m_csApi);
    }
    EXPECT_EQ(AsioMessages(), 0);
    EXPECT_EQ(Flags().bResetPending, 0);
}

TEST_F(ResetRequests, RateChangeWithoutBuffers) {
    struct Case {
        const char* name;
        bool channelsBefore;
        bool channelsAfter;
        int changed;  // bChChanged after the rate change
        ASIOError start;
    };
    static const Case kCases[] = {
        {"the host read the counts first: nothing to tell it", true, false, 0, ASE_OK},
        {"the host never read the counts: the first start asks for a reset", false, false, 1, ASE_InvalidMode},
        {"the host read them after the change: the start goes through", false, true, 1, ASE_OK},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Open();
        ASIOLong in = 0, out = 0;
        if (c.channelsBefore) {
            ASSERT_EQ(m_host->Asio()->getChannels(&in, &out), ASE_OK);
        }
        ASSERT_EQ(m_host->Asio()->setSampleRate(48000.0), ASE_OK);
        ASIOSampleRate rate = 0;
        ASSERT_EQ(m_host->Asio()->getSampleRate(&rate), ASE_OK);
        EXPECT_EQ(rate, 48000.0);
        EXPECT_EQ(Flags().bChChanged, c.changed);
        EXPECT_EQ(AsioMessages(), 0) << "without buffers no request reaches the host";
        if (c.channelsAfter) {
            ASSERT_EQ(m_host->Asio()->getChannels(&in, &out), ASE_OK);
        }
        ASSERT_EQ(m_host->CreateBuffers(256, {ASIOBufferInfo{ASIOTrue, 0, {}}, ASIOBufferInfo{ASIOFalse, 0, {}}}),
                  ASE_OK);
        EXPECT_EQ(m_host->Start(), c.start);
        EXPECT_EQ(m_host->resetRequests.load(), c.start == ASE_OK ? 0 : 1);
        TearDown();
    }
}

TEST_F(ResetRequests, RateChangeWithBuffers) {
    Open();
    ASSERT_EQ(m_host->Query(), ASE_OK);
    ASSERT_EQ(m_host->CreateBuffers(256), ASE_OK);
    ASSERT_EQ(m_host->Start(), ASE_OK);
    ASSERT_TRUE(m_host->Period());
    // The rate changes and the host is asked for a reset before setSampleRate
    // returns.
    EXPECT_EQ(m_host->Asio()->setSampleRate(96000.0), ASE_OK);
    EXPECT_EQ(m_host->resetRequests.load(), 1);
    AsioOurs::ChangeFlags flags = Flags();
    EXPECT_EQ(flags.bBufChanged, 1);
    EXPECT_EQ(flags.bChChanged, 0) << "the counts did not change";
    EXPECT_EQ(flags.bResetPending, 1);
    EXPECT_EQ(m_unit->Inspect(1).config.unitRate, 96000u);

    // A failed rate change still asks while a change stands.
    vu::UnitConfig locked = m_unit->Config(1);
    locked.rateLocked = true;
    ASSERT_TRUE(m_unit->Configure(1, locked));
    EXPECT_EQ(m_host->Asio()->setSampleRate(48000.0), ASE_NoClock);
    EXPECT_EQ(m_host->resetRequests.load(), 2);

    // Disposing clears the buffer change, but the accepted request stands.
    ASSERT_EQ(m_host->Dispose(), ASE_OK);
    flags = Flags();
    EXPECT_EQ(flags.bBufChanged, 0);
    EXPECT_EQ(flags.bBufCreated, 0);
    EXPECT_EQ(flags.bResetPending, 1);
    EXPECT_EQ(m_host->Asio()->setSampleRate(44100.0), ASE_NoClock);
    EXPECT_EQ(m_host->resetRequests.load(), 2) << "with the buffers gone no change stands";
}

}  // namespace
