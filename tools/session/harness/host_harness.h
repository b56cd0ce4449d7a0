// A host harness: plays an ASIO host against the driver library, step by step
// as hosts do it (load, create, init, query, createBuffers, start, periods,
// stop, disposeBuffers, release, unload), so that a command-line session and
// integration tests drive the driver the same way.
//
// The harness owns the callback record it hands to the driver and forwards
// bufferSwitch to an IHostProcessor together with the buffers of the current
// half. It answers asioMessage as a small host does: it supports the reset
// request (unless told not to), the engine version query and the latency
// change notice, and counts every message it gets.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "asio/iasio.h"
#include "callback_slots.h"
#include "driver_library.h"
#include "win32.h"

namespace session {

class HostHarness;

// What the host does with a period. Called on the driver's threads: once on the
// thread that calls start (inside it), then on the driver's streaming thread.
class IHostProcessor {
public:
    // Half `index` of every input is full; fill the same half of every output.
    virtual void OnBufferSwitch(HostHarness& host, ASIOLong index, ASIOBool directProcess) = 0;

protected:
    ~IHostProcessor() = default;
};

class HostHarness final : private IHostCallbacks {
public:
    HostHarness();
    ~HostHarness();
    HostHarness(const HostHarness&) = delete;
    HostHarness& operator=(const HostHarness&) = delete;

    // --- opening ---
    bool Load(const char* libraryPath, std::string* error);
    HRESULT Create();
    // init(NULL): true when the driver found its device. The driver's text for a
    // failure is then ErrorMessage().
    bool Init();
    std::string ErrorMessage();
    IASIO* Driver() const { return m_driver; }

    // --- buffers and transport ---
    // Whether the driver may send the reset request (kAsioSelectorSupported).
    void SetAnswersResetRequest(bool answers) { m_answersReset = answers; }
    // createBuffers for input channels 0..inputs-1 and output channels
    // 0..outputs-1 (inputs first) with `size` frames per half.
    ASIOError CreateBuffers(int32_t inputs, int32_t outputs, int32_t size, IHostProcessor* processor);
    ASIOError Start();
    ASIOError Stop();
    ASIOError DisposeBuffers();
    // Release of the driver object; the library stays loaded.
    void ReleaseDriver();
    // The closing a careful host does: stop if started, disposeBuffers if
    // created, Release, then unloading when DllCanUnloadNow allows it (*unloadable
    // gets that answer). Safe at any stage.
    void Close(HRESULT* unloadable = nullptr);

    // --- the created buffers ---
    int32_t Inputs() const { return m_inputs; }
    int32_t Outputs() const { return m_outputs; }
    int32_t BufferSize() const { return m_bufferSize; }
    // Half `half` of input or output channel `channel`; null when the driver gave none.
    void* InputBuffer(int32_t channel, ASIOLong half) const;
    void* OutputBuffer(int32_t channel, ASIOLong half) const;
    bool Started() const { return m_started; }
    // True on the thread that is inside start: the driver's first bufferSwitch
    // of a start comes from there, before the unit runs.
    bool InStartCall() const {
        return m_inStart.load(std::memory_order_acquire) &&
               m_startThread.load(std::memory_order_acquire) == GetCurrentThreadId();
    }

    // --- what the driver called ---
    uint64_t Switches() const { return m_switches.load(std::memory_order_acquire); }
    // Waits until `count` bufferSwitch calls have returned; false after timeoutMs.
    bool WaitForSwitches(uint64_t count, DWORD timeoutMs) const;
    uint32_t Messages(ASIOLong selector) const;  // asioMessage calls with that selector
    uint32_t ResetRequests() const { return Messages(kAsioResetRequest); }
    uint32_t RateChanges() const { return m_rateChanges.load(std::memory_order_relaxed); }
    uint32_t TimeInfoSwitches() const { return m_timeInfoSwitches.load(std::memory_order_relaxed); }

private:
    void BufferSwitch(ASIOLong index, ASIOBool directProcess) override;
    void SampleRateDidChange(ASIOSampleRate rate) override;
    ASIOLong AsioMessage(ASIOLong selector, ASIOLong value, void* message, double* opt) override;
    ASIOTime* BufferSwitchTimeInfo(ASIOTime* params, ASIOLong index, ASIOBool directProcess) override;
    void* Buffer(bool input, int32_t channel, ASIOLong half) const;

    static constexpr int kCountedSelectors = 32;

    DriverLibrary m_library;
    IASIO* m_driver = nullptr;
    CallbackSlot m_slot;
    std::vector<ASIOBufferInfo> m_infos;
    int32_t m_inputs = 0;
    int32_t m_outputs = 0;
    int32_t m_bufferSize = 0;
    bool m_buffers = false;
    bool m_started = false;
    bool m_answersReset = true;
    IHostProcessor* m_processor = nullptr;
    std::atomic<bool> m_inStart{false};
    std::atomic<DWORD> m_startThread{0};
    std::atomic<uint64_t> m_switches{0};
    HANDLE m_switched = nullptr;  // auto-reset, set after every bufferSwitch
    std::atomic<uint32_t> m_messages[kCountedSelectors] = {};
    std::atomic<uint32_t> m_rateChanges{0};
    std::atomic<uint32_t> m_timeInfoSwitches{0};
};

// Text for an ASIO error code ("ASE_OK", "ASE_NotPresent", ...).
const char* AsioErrorName(ASIOError error);

}  // namespace session
