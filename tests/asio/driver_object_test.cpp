// The driver object's answers by state, the methods that need no state, and the
// control panel.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "asio_test_support.h"
#include "driver_ids.h"
#include "driver_library.h"
#include "win32_linux.h"

namespace {

using asiotest::DriverRef;
using asiotest::Units;

constexpr ASIOLong kUnset = 0x5A5A5A5A;

TEST(DriverObject, WithoutAUnitEveryStateCheckAnswersNotPresent) {
    vu::VirtualUnit unit(Units(""));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    IASIO* asio = driver.object;

    EXPECT_EQ(asio->init(nullptr), ASIOFalse);
    char message[124];
    asio->getErrorMessage(message);
    EXPECT_STREQ(message, "Can not found a device. Please connect the device.");

    ASIOLong in = kUnset, out = kUnset;
    EXPECT_EQ(asio->getChannels(&in, &out), ASE_NotPresent);
    EXPECT_EQ(in, 0);
    EXPECT_EQ(out, 0);
    in = out = kUnset;
    EXPECT_EQ(asio->getLatencies(&in, &out), ASE_NotPresent);
    EXPECT_EQ(in, 0);
    EXPECT_EQ(out, 0);
    ASIOLong sizes[4] = {kUnset, kUnset, kUnset, kUnset};
    EXPECT_EQ(asio->getBufferSize(&sizes[0], &sizes[1], &sizes[2], &sizes[3]), ASE_NotPresent);
    for (ASIOLong size : sizes) EXPECT_EQ(size, 0);
    ASIOSampleRate rate = 12345.0;
    EXPECT_EQ(asio->getSampleRate(&rate), ASE_NotPresent);
    EXPECT_EQ(rate, 12345.0);
    ASIOSamples position{7, 7};
    ASIOTimeStamp stamp{7, 7};
    EXPECT_EQ(asio->getSamplePosition(&position, &stamp), ASE_NotPresent);
    EXPECT_EQ(position.lo, 7u) << "outputs stay untouched";
    EXPECT_EQ(stamp.hi, 7u);

    struct Call {
        const char* name;
        ASIOError (*call)(IASIO*);
    };
    static const Call kCalls[] = {
        {"start", [](IASIO* a) { return a->start(); }},
        {"stop", [](IASIO* a) { return a->stop(); }},
        {"disposeBuffers", [](IASIO* a) { return a->disposeBuffers(); }},
        {"createBuffers", [](IASIO* a) { return a->createBuffers(nullptr, 0, 256, nullptr); }},
        {"canSampleRate", [](IASIO* a) { return a->canSampleRate(44100.0); }},
        {"setSampleRate", [](IASIO* a) { return a->setSampleRate(44100.0); }},
        {"getClockSources",
         [](IASIO* a) {
             ASIOClockSource clocks[1];
             ASIOLong count = 1;
             return a->getClockSources(clocks, &count);
         }},
        {"setClockSource", [](IASIO* a) { return a->setClockSource(0); }},
        {"getChannelInfo",
         [](IASIO* a) {
             ASIOChannelInfo info{};
             return a->getChannelInfo(&info);
         }},
        {"null out-pointers", [](IASIO* a) { return a->getChannels(nullptr, nullptr); }},
    };
    for (const Call& c : kCalls) {
        SCOPED_TRACE(c.name);
        driver->m_lastError = ASE_OK;
        EXPECT_EQ(c.call(asio), ASE_NotPresent);
        EXPECT_EQ(driver->m_lastError.load(), ASE_NotPresent);
    }

    // What needs no unit still works.
    EXPECT_EQ(asio->getDriverVersion(), 1);
    EXPECT_EQ(asio->outputReady(), ASE_OK);
    EXPECT_EQ(asio->future(kAsioCanInputMonitor, nullptr), ASE_SUCCESS);
}

TEST(DriverObject, StateChecksOfTransportWithAUnit) {
    vu::VirtualUnit unit(Units("1:"));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    IASIO* asio = driver.object;
    char message[124];
    asio->getErrorMessage(message);
    EXPECT_STREQ(message, "");

    // Open: nothing created yet.
    unit.ClearLog();
    EXPECT_EQ(asio->start(), ASE_InvalidMode);
    EXPECT_EQ(asio->stop(), ASE_InvalidMode);
    EXPECT_EQ(asio->disposeBuffers(), ASE_InvalidMode);
    EXPECT_TRUE(unit.Log().empty()) << "out-of-state calls send nothing";

    // Prepared (buffers in force): a second createBuffers is refused and the
    // buffer flags are cleared.
    ASIOCallbacks callbacks = asiotest::Host::Callbacks();
    asiotest::Host::Instance().Reset(driver.object);
    ASSERT_TRUE(asiotest::StartDirect(driver.object, 256, &callbacks));
    {
        CCsLock flags(&driver->m_csFlags);
        driver->m_flags.bBufCreated = 1;
        driver->m_flags.bBufChanged = 1;
    }
    EXPECT_EQ(asio->createBuffers(nullptr, 0, 256, &callbacks), ASE_InvalidMode);
    EXPECT_EQ(driver->m_flags.bBufCreated, 0);
    EXPECT_EQ(driver->m_flags.bBufChanged, 0);
    EXPECT_EQ(driver->BufferSize(), 256) << "the first buffers stay";

    // Running: stop stops the units and leaves the buffers.
    unit.ClearLog();
    EXPECT_EQ(asio->stop(), ASE_OK);
    EXPECT_FALSE(driver->IsStarted());
    EXPECT_EQ(asiotest::Describe(unit.Log()),
              (std::vector<std::string>{"1 IOCTL_STOP_STREAM", "1 IOCTL_STOP_STREAM"}));
    const std::vector<vu::LogEntry> stops = unit.Requests(IOCTL_STOP_STREAM);
    ASSERT_EQ(stops.size(), 2u);
    EXPECT_EQ(stops[0].Word(1), 0u);
    EXPECT_EQ(stops[1].Word(1), 1u) << "the main unit last, with its flag";

    // Prepared: disposeBuffers stops again and releases the ring.
    unit.ClearLog();
    EXPECT_EQ(asio->disposeBuffers(), ASE_OK);
    EXPECT_EQ(driver->BufferSize(), 0);
    EXPECT_EQ(asiotest::Describe(unit.Log()),
              (std::vector<std::string>{"1 IOCTL_STOP_STREAM", "1 IOCTL_STOP_STREAM", "1 IOCTL_RELEASE_BUFFER"}));
    EXPECT_FALSE(unit.Inspect(1).mapped);
    EXPECT_EQ(asio->disposeBuffers(), ASE_InvalidMode);
}

TEST(DriverObject, ReleaseWithoutStopOrDisposeEndsEverything) {
    vu::VirtualUnit unit(Units("1:"));
    vu::ScopedInstall install(unit);
    const LONG objects = ComObjectCount();
    {
        DriverRef driver;
        ASIOCallbacks callbacks = asiotest::Host::Callbacks();
        asiotest::Host::Instance().Reset(driver.object);
        ASSERT_TRUE(asiotest::StartDirect(driver.object, 256, &callbacks));
        EXPECT_TRUE(unit.Inspect(1).streaming);
        unit.ClearLog();
    }
    EXPECT_EQ(asiotest::Describe(unit.Log()),
              (std::vector<std::string>{"1 IOCTL_STOP_STREAM", "1 IOCTL_STOP_STREAM", "1 IOCTL_STOP_STREAM",
                                        "1 IOCTL_STOP_STREAM", "1 IOCTL_RELEASE_BUFFER",
                                        "1 IOCTL_UNREGISTER_EVENTS", "close 1"}));
    const vu::UnitSnapshot after = unit.Inspect(1);
    EXPECT_FALSE(after.streaming);
    EXPECT_FALSE(after.mapped);
    EXPECT_EQ(after.openHandles, 0u);
    EXPECT_EQ(ComObjectCount(), objects);
}

// Hosts call through the vtable by slot. On this ABI a pointer to a virtual
// member holds 1 + the slot's byte offset in the vtable.
template <typename Member>
int SlotOf(Member member) {
    uintptr_t words[sizeof(Member) / sizeof(uintptr_t)];
    std::memcpy(words, &member, sizeof words);
    return static_cast<int>((words[0] - 1) / sizeof(void*));
}

TEST(DriverObject, IasioSlotsFollowTheInterfaceOrder) {
    struct Case {
        const char* name;
        int slot;
        int expected;
    };
    const Case kCases[] = {
        {"QueryInterface", SlotOf(&IUnknown::QueryInterface), 0},
        {"AddRef", SlotOf(&IUnknown::AddRef), 1},
        {"Release", SlotOf(&IUnknown::Release), 2},
        {"init", SlotOf(&IASIO::init), asio_slots::kInit},
        {"getDriverName", SlotOf(&IASIO::getDriverName), asio_slots::kGetDriverName},
        {"getDriverVersion", SlotOf(&IASIO::getDriverVersion), asio_slots::kGetDriverVersion},
        {"getErrorMessage", SlotOf(&IASIO::getErrorMessage), asio_slots::kGetErrorMessage},
        {"start", SlotOf(&IASIO::start), asio_slots::kStart},
        {"stop", SlotOf(&IASIO::stop), asio_slots::kStop},
        {"getChannels", SlotOf(&IASIO::getChannels), asio_slots::kGetChannels},
        {"getLatencies", SlotOf(&IASIO::getLatencies), asio_slots::kGetLatencies},
        {"getBufferSize", SlotOf(&IASIO::getBufferSize), asio_slots::kGetBufferSize},
        {"canSampleRate", SlotOf(&IASIO::canSampleRate), asio_slots::kCanSampleRate},
        {"getSampleRate", SlotOf(&IASIO::getSampleRate), asio_slots::kGetSampleRate},
        {"setSampleRate", SlotOf(&IASIO::setSampleRate), asio_slots::kSetSampleRate},
        {"getClockSources", SlotOf(&IASIO::getClockSources), asio_slots::kGetClockSources},
        {"setClockSource", SlotOf(&IASIO::setClockSource), asio_slots::kSetClockSource},
        {"getSamplePosition", SlotOf(&IASIO::getSamplePosition), asio_slots::kGetSamplePosition},
        {"getChannelInfo", SlotOf(&IASIO::getChannelInfo), asio_slots::kGetChannelInfo},
        {"createBuffers", SlotOf(&IASIO::createBuffers), asio_slots::kCreateBuffers},
        {"disposeBuffers", SlotOf(&IASIO::disposeBuffers), asio_slots::kDisposeBuffers},
        {"controlPanel", SlotOf(&IASIO::controlPanel), asio_slots::kControlPanel},
        {"future", SlotOf(&IASIO::future), asio_slots::kFuture},
        {"outputReady", SlotOf(&IASIO::outputReady), asio_slots::kOutputReady},
    };
    for (const Case& c : kCases) EXPECT_EQ(c.slot, c.expected) << c.name;
    // IASIO is the object's first base: the object's address is its IASIO*.
    vu::VirtualUnit unit(Units(""));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    EXPECT_EQ(static_cast<void*>(static_cast<IASIO*>(driver.object)), static_cast<void*>(driver.object));
}

TEST(DriverObject, FutureAnswersBySelector) {
    vu::VirtualUnit unit(Units(""));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    struct Case {
        ASIOLong selector;
        ASIOError expected;
    };
    static const Case kCases[] = {
        {-1, ASE_InvalidParameter},
        {0, ASE_InvalidParameter},
        {kAsioEnableTimeCodeRead, ASE_NotPresent},
        {kAsioDisableTimeCodeRead, ASE_NotPresent},
        {kAsioSetInputMonitor, ASE_SUCCESS},
        {kAsioTransport, ASE_NotPresent},
        {kAsioSetInputGain, ASE_NotPresent},
        {kAsioGetInputMeter, ASE_NotPresent},
        {kAsioSetOutputGain, ASE_NotPresent},
        {kAsioGetOutputMeter, ASE_NotPresent},
        {kAsioCanInputMonitor, ASE_SUCCESS},
        {kAsioCanTimeInfo, ASE_NotPresent},
        {kAsioCanTimeCode, ASE_NotPresent},
        {kAsioCanTransport, ASE_NotPresent},
        {kAsioCanInputGain, ASE_NotPresent},
        {kAsioCanInputMeter, ASE_NotPresent},
        {kAsioCanOutputGain, ASE_NotPresent},
        {kAsioCanOutputMeter, ASE_NotPresent},
        {17, ASE_InvalidParameter},
        {0x23111961, ASE_InvalidParameter},
    };
    driver->m_lastError = ASE_NoMemory;
    for (const Case& c : kCases) {
        SCOPED_TRACE("selector " + std::to_string(c.selector));
        // The second argument is never read, whatever it points at.
        EXPECT_EQ(driver->future(c.selector, reinterpret_cast<void*>(0x10)), c.expected);
    }
    EXPECT_EQ(driver->m_lastError.load(), ASE_NoMemory) << "future does not touch the last error";
}

TEST(DriverObject, NamesMessagesAndVersion) {
    vu::VirtualUnit unit(Units(""));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    driver->getDriverName(nullptr);  // writes nothing, and does not fail
    driver->getErrorMessage(nullptr);
    char name[32];
    std::memset(name, 0x7F, sizeof name);
    driver->getDriverName(name);
    EXPECT_STREQ(name, "Calvera");
    EXPECT_EQ(name[8], 0x7F) << "only the name and its zero are written";

    // The message buffer is 124 bytes: text, zero fill, a zero at 123.
    char message[130];
    std::memset(message, 'x', sizeof message);
    std::memset(driver->m_szErrMsg, 'm', sizeof driver->m_szErrMsg);  // even an unterminated message
    driver->getErrorMessage(message);
    EXPECT_EQ(std::strlen(message), 123u);
    EXPECT_EQ(message[123], '\0');
    EXPECT_EQ(message[124], 'x');
    std::strcpy(driver->m_szErrMsg, "short");
    driver->getErrorMessage(message);
    EXPECT_STREQ(message, "short");
    for (int i = 5; i < 124; ++i) ASSERT_EQ(message[i], '\0') << "byte " << i;
    EXPECT_EQ(driver->getDriverVersion(), 1);
}

TEST(DriverObject, SamplePositionHalvesAreHighThenLow) {
    vu::VirtualUnit unit(Units("1:"));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    ASIOSamples position{1, 1};
    ASIOTimeStamp stamp{1, 1};
    EXPECT_EQ(driver->getSamplePosition(&position, &stamp), ASE_OK);
    EXPECT_EQ(position.hi, 0u);
    EXPECT_EQ(position.lo, 0u);
    EXPECT_EQ(stamp.hi, 0u);
    EXPECT_EQ(stamp.lo, 0u);
    {
        CCsLock lock(&driver->m_csPos);
        driver->m_samplePos = 0x0000000500000007ull;
        driver->m_timeStamp = 0x000000090000000Bull;
    }
    EXPECT_EQ(driver->getSamplePosition(&position, &stamp), ASE_OK);
    EXPECT_EQ(position.hi, 5u);
    EXPECT_EQ(position.lo, 7u);
    EXPECT_EQ(stamp.hi, 9u);
    EXPECT_EQ(stamp.lo, 11u);
    EXPECT_EQ(driver->getSamplePosition(nullptr, &stamp), ASE_InvalidParameter);
}

// --- controlPanel: the launcher is found on PATH like the real one ---

struct MessageBoxes {
    int shown = 0;
    std::string text;
    std::string caption;
    HWND owner = reinterpret_cast<HWND>(1);
    UINT type = 0xFFFF;
    static int Respond(void* context, HWND owner, const char* text, const char* caption, UINT type) {
        auto* self = static_cast<MessageBoxes*>(context);
        ++self->shown;
        self->text = text != nullptr ? text : "";
        self->caption = caption != nullptr ? caption : "(null)";
        self->owner = owner;
        self->type = type;
        return IDOK;
    }
};

class ControlPanel : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/mxcpXXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        m_dir = dir;
        const char* path = std::getenv("PATH");
        m_savedPath = path != nullptr ? path : "";
        setenv("PATH", m_dir.c_str(), 1);
        MxSetMessageBoxResponder(&MessageBoxes::Respond, &m_boxes);
    }
    void TearDown() override {
        MxSetMessageBoxResponder(nullptr, nullptr);
        setenv("PATH", m_savedPath.c_str(), 1);
        for (const char* file : {"Mxcp4410.exe", "Mxlh4410.dat"}) unlink((m_dir + "/" + file).c_str());
        rmdir(m_dir.c_str());
    }
    // A program of that name that only exits.
    void Install(const char* file) {
        const std::string path = m_dir + "/" + file;
        FILE* f = std::fopen(path.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("#!/bin/sh\nexit 0\n", f);
        std::fclose(f);
        chmod(path.c_str(), 0755);
    }

    std::string m_dir;
    std::string m_savedPath;
    MessageBoxes m_boxes;
};

TEST_F(ControlPanel, LauncherThatFailsShowsTheCommandLine) {
    vu::VirtualUnit unit(Units(""));
    vu::ScopedInstall install(unit);
    DriverRef driver;  // no unit needed
    driver->m_lastError = ASE_NoMemory;
    EXPECT_EQ(driver->controlPanel(), ASE_OK);
    EXPECT_EQ(driver->m_lastError.load(), ASE_OK);
    EXPECT_EQ(m_boxes.shown, 1);
    EXPECT_EQ(m_boxes.text, "Mxcp4410.exe DrvConfig 0");
    EXPECT_EQ(m_boxes.caption, "Error") << "the system's default caption";
    EXPECT_EQ(m_boxes.owner, nullptr);
    EXPECT_EQ(m_boxes.type, static_cast<UINT>(MB_OK));
}

TEST_F(ControlPanel, LauncherThatStartsShowsNothing) {
    Install("Mxcp4410.exe");
    vu::VirtualUnit unit(Units("1:"));
    vu::ScopedInstall install(unit);
    DriverRef driver;
    EXPECT_EQ(driver->controlPanel(), ASE_OK);
    EXPECT_EQ(m_boxes.shown, 0);
}

// The two builds differ in the command line: the 32-bit one starts the settings
// program through the launcher. Through each library's exports, as a host would.
TEST_F(ControlPanel, EachBuildStartsItsOwnCommandLine) {
    struct Case {
        const char* library;
        const char* command;
    };
    static const Case kCases[] = {
        {MX_DRIVER_LIBRARY_64, "Mxcp4410.exe DrvConfig 0"},
        {MX_DRIVER_LIBRARY_32, "Mxlh4410.dat Mxcp4410.exe DrvConfig 0"},
    };
    vu::VirtualUnit unit(Units(""));
    vu::ScopedInstall install(unit);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.library);
        asiotest::DriverLibrary library(c.library);
        ASSERT_TRUE(library.Loaded());
        void* factory = nullptr;
        ASSERT_EQ(library.GetClassObject(kDriverClassId, IID_IClassFactory, &factory), S_OK);
        void* object = nullptr;
        ASSERT_EQ(static_cast<IClassFactory*>(factory)->CreateInstance(nullptr, kDriverClassId, &object), S_OK);
        static_cast<IClassFactory*>(factory)->Release();
        IASIO* asio = static_cast<IASIO*>(object);
        m_boxes.shown = 0;
        EXPECT_EQ(asio->controlPanel(), ASE_OK);
        EXPECT_EQ(m_boxes.shown, 1);
        EXPECT_EQ(m_boxes.text, c.command);
        asio->Release();
        EXPECT_EQ(library.CanUnloadNow(), S_OK);
    }
}

}  // namespace
