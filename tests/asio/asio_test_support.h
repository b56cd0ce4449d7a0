// Shared helpers of the driver's tests: a virtual unit behind the device port,
// the request log in readable form, a host's callbacks, and starting a stream
// through the device set directly.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "asio_ours.h"
#include "cs_lock.h"
#include "device/ioctl.h"
#include "device/ring.h"
#include "virtual_unit/virtual_unit.h"

namespace asiotest {

// A unit set from the virtual unit's text form ("" = no unit at all).
inline vu::UnitSet Units(const char* text) {
    vu::UnitSet units;
    vu::ParseError error;
    EXPECT_TRUE(vu::ParseUnitSet(text, &units, &error)) << text << " at " << error.offset << ": " << error.message;
    return units;
}

// The log as lines such as "open 1", "open 2 failed", "1 IOCTL_GET_SETTINGS",
// "1 IOCTL_REGISTER_EVENTS failed", "close 1".
inline std::vector<std::string> Describe(const std::vector<vu::LogEntry>& log) {
    std::vector<std::string> lines;
    for (const vu::LogEntry& entry : log) {
        std::string line;
        const std::string unit = std::to_string(entry.unit);
        switch (entry.kind) {
            case vu::LogKind::Open:
                line = "open " + unit;
                break;
            case vu::LogKind::Close:
                line = "close " + unit;
                break;
            case vu::LogKind::Request: {
                const device::RequestInfo* info = device::FindRequest(entry.code);
                line = unit + " " + (info != nullptr ? info->name : "code " + std::to_string(entry.code));
                break;
            }
        }
        if (!entry.result && !(entry.kind == vu::LogKind::Request && entry.error == ERROR_IO_PENDING))
            line += " failed";
        lines.push_back(line);
    }
    return lines;
}

inline std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += "  " + line + "\n";
    return text;
}

// The opening requests of a driver object whose main unit is `unit`, after the
// presence probes of the slots before it.
inline std::vector<std::string> OpeningOf(int unit) {
    const std::string u = std::to_string(unit);
    return {"open " + u,
            u + " IOCTL_GET_PRIMARY_FLAG",
            "close " + u,
            "open " + u,
            u + " IOCTL_GET_DRIVER_RATE",
            u + " IOCTL_SET_STREAM_RATE",
            u + " IOCTL_GET_SAMPLE_SIZE",
            u + " IOCTL_GET_CHANNEL_COUNTS",
            u + " IOCTL_REGISTER_EVENTS",
            u + " IOCTL_GET_UNIT_ID",
            u + " IOCTL_GET_SETTINGS",
            u + " IOCTL_SET_GROUP_CONFIG",
            u + " IOCTL_SET_UNIT_OPTION",
            u + " IOCTL_GET_SETTINGS"};
}

// A host's callbacks. The callback record has no context pointer, so the host
// is one per process, reset by each test.
struct Host {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<ASIOLong> halves;         // every bufferSwitch's index
    std::vector<uint64_t> positions;      // getSamplePosition inside bufferSwitch
    std::vector<uint64_t> stamps;
    std::vector<std::vector<uint8_t>> inputs;  // input channel 0's half, when recordInput
    AsioOurs* driver = nullptr;
    bool recordInput = false;
    // Output written into every output channel's half: byte value = call number.
    bool writeOutput = false;
    std::atomic<int> messages{0};

    static Host& Instance() {
        static Host host;
        return host;
    }
    void Reset(AsioOurs* drv) {
        std::lock_guard<std::mutex> lock(mutex);
        halves.clear();
        positions.clear();
        stamps.clear();
        inputs.clear();
        driver = drv;
        recordInput = false;
        writeOutput = false;
        messages = 0;
    }
    size_t Calls() {
        std::lock_guard<std::mutex> lock(mutex);
        return halves.size();
    }
    // Waits until bufferSwitch has been called `count` times in all.
    bool WaitForCalls(size_t count, int timeoutMs = 10000) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return halves.size() >= count; });
    }

    static void BufferSwitch(ASIOLong index, ASIOBool directProcess);
    static ASIOLong AsioMessage(ASIOLong selector, ASIOLong value, void* message, double* opt);
    static ASIOCallbacks Callbacks() {
        ASIOCallbacks callbacks{};
        callbacks.bufferSwitch = &Host::BufferSwitch;
        callbacks.asioMessage = &Host::AsioMessage;
        return callbacks;
    }
};

// Input channel k, half h of the host block of the main unit, or null.
inline uint8_t* HostHalf(AsioOurs* drv, uint32_t channel, uint32_t half) {
    CDevOne* main = drv->m_devAll.Main();
    return main != nullptr ? main->HostHalf(channel, half) : nullptr;
}

// Creates the units' buffers and starts them the way start does, but through the
// device set directly and without the pre-start period. With `withPeriodEvent`
// false the main unit streams without a period event, so the streaming thread
// never runs and the test calls processPeriods itself.
inline bool StartDirect(AsioOurs* drv, int32_t frames, ASIOCallbacks* callbacks, bool withPeriodEvent = true,
                        uint32_t preRollFrames = 0) {
    if (!drv->m_devAll.CreateBuf(frames)) return false;
    {
        CCsLock stream(&drv->m_csStream);
        drv->m_nBufferSize = frames;
        drv->m_pCallbacks = callbacks;
        drv->m_nBufIndex = 0;
        drv->m_nSamples = 0;
        drv->m_nDevMs = 0;
        drv->m_nDevPeriod = 0;
        CCsLock pos(&drv->m_csPos);
        drv->m_samplePos = 0;
        drv->m_timeStamp = 0;
    }
    if (!drv->m_devAll.PreStartDevs()) return false;
    {
        CCsLock stream(&drv->m_csStream);
        drv->m_bStarted = TRUE;
    }
    drv->m_devAll.PrimeOutputs(preRollFrames);
    drv->m_devAll.RewindInputs();
    if (withPeriodEvent) return drv->m_devAll.StartDevs();
    for (CDevOne& unit : drv->m_devAll.m_dev)
        if (!unit.Start(0, 0, nullptr)) return false;
    return drv->m_devAll.Main()->Start(0, 1, nullptr) != FALSE;
}

// Ends what StartDirect began, as stop and disposeBuffers would.
inline void StopDirect(AsioOurs* drv) {
    {
        CCsLock stream(&drv->m_csStream);
        drv->m_bStarted = FALSE;
    }
    drv->m_devAll.StopDevs();
    CCsLock stream(&drv->m_csStream);
    drv->m_pCallbacks = nullptr;
    drv->m_devAll.DisposeBuf();
    drv->m_nBufferSize = 0;
}

// A driver object made the way the class factory makes it, released through
// its non-delegating unknown.
struct DriverRef {
    AsioOurs* object = nullptr;
    DriverRef() {
        object = static_cast<AsioOurs*>(CreateDriverObjectForTest());
        object->NonDelegatingAddRef();
    }
    ~DriverRef() { Release(); }
    void Release() {
        if (object != nullptr) object->NonDelegatingRelease();
        object = nullptr;
    }
    AsioOurs* operator->() const { return object; }
    static CUnknown* CreateDriverObjectForTest();
};

}  // namespace asiotest
