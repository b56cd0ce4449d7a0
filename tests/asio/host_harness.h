// An ASIO host as the tests play it: everything goes through IASIO, the way a
// host reaches the driver (create, init, query, createBuffers, start, periods,
// stop, dispose, release), with the virtual unit in stepped mode so that each
// period is one deliberate step.
//
// The host's bufferSwitch copies every input half it is handed into a record
// made before streaming (so the streaming thread never allocates for it) and
// fills every output half with a pattern that names the call, the channel and
// the frame. The callback record has no context pointer, so one harness at a
// time is the host of the process.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "asio_ours.h"
#include "virtual_unit/virtual_unit.h"

namespace asiotest {

class HostHarness {
public:
    // What the host learnt in its opening queries.
    struct Facts {
        ASIOBool init = ASIOFalse;
        ASIOLong inputs = 0;
        ASIOLong outputs = 0;
        ASIOLong minSize = 0;
        ASIOLong maxSize = 0;
        ASIOLong preferred = 0;
        ASIOLong granularity = 0;
        ASIOSampleRate rate = 0;
        ASIOSampleType type = -1;
    };

    // One bufferSwitch as the host saw it.
    struct Call {
        ASIOLong half = -1;
        uint64_t position = 0;  // getSamplePosition inside the call
        uint64_t stamp = 0;
        bool onStartThread = false;  // called from inside start, on the host's thread
    };

    explicit HostHarness(vu::VirtualUnit& unit, int unitNumber = 1);
    ~HostHarness();
    HostHarness(const HostHarness&) = delete;
    HostHarness& operator=(const HostHarness&) = delete;

    // --- the host's steps ---
    void Create();
    void Release();
    ASIOError Query();
    // Buffers for every channel the driver reported, or for `infos` as given.
    ASIOError CreateBuffers(int32_t frames);
    ASIOError CreateBuffers(int32_t frames, const std::vector<ASIOBufferInfo>& infos);
    ASIOError Start();
    // Completes one period at the unit and waits until the driver has passed it
    // to the host and finished with it (lock step: the driver's pass holds its
    // stream lock until its output is in the rings). False when no call came.
    bool Period();
    bool Periods(int count);
    ASIOError Stop();
    ASIOError Dispose();

    IASIO* Asio() const { return m_asio; }
    AsioOurs* Driver() const { return m_driver; }
    vu::VirtualUnit& Unit() const { return m_unit; }
    const Facts& facts() const { return m_facts; }
    const std::vector<ASIOBufferInfo>& Buffers() const { return m_infos; }
    ASIOCallbacks* Callbacks() { return &m_callbacks; }

    // --- what the host saw ---
    size_t CallCount();
    std::vector<Call> Calls();
    // Input channel `channel` (its place among the created inputs) of call
    // `call`, decoded from the unit's width; empty when it was not recorded.
    std::vector<int32_t> Input(size_t call, size_t channel);
    // Waits until bufferSwitch has been called `count` times in all.
    bool WaitForCalls(size_t count, DWORD timeoutMs = 10000);

    // The sample the host writes for frame `frame` of output `channel` in call
    // `call` of a stream: a frame count since the start and the channel,
    // truncated to the unit's width as the unit takes it.
    static int32_t OutputSample(size_t call, size_t channel, uint32_t frame, uint32_t frames, uint32_t width);

    // --- asioMessage ---
    std::atomic<bool> acceptReset{true};  // answer to kAsioSelectorSupported(kAsioResetRequest)
    std::atomic<int> selectorChecks{0};
    std::atomic<int> resetRequests{0};
    std::atomic<int> otherMessages{0};
    // Calls kept in the record; more are counted but not recorded.
    size_t recordLimit = 512;
    bool writeOutputs = true;

private:
    static void BufferSwitch(ASIOLong index, ASIOBool directProcess);
    static ASIOLong AsioMessage(ASIOLong selector, ASIOLong value, void* message, double* opt);
    void OnBufferSwitch(ASIOLong index);

    vu::VirtualUnit& m_unit;
    int m_unitNumber;
    AsioOurs* m_driver = nullptr;
    IASIO* m_asio = nullptr;
    Facts m_facts;
    std::vector<ASIOBufferInfo> m_infos;
    ASIOCallbacks m_callbacks{};

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Call> m_calls;          // reserved before streaming
    std::vector<uint8_t> m_inputBytes;  // recordLimit × inputs × half bytes
    size_t m_callCount = 0;
    uint32_t m_width = 0;
    uint32_t m_frames = 0;
    size_t m_inputCount = 0;
    std::atomic<bool> m_inStart{false};
};

}  // namespace asiotest
