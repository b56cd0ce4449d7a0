#include "host_harness.h"

#include <cstring>

namespace session {

const char* AsioErrorName(ASIOError error) {
    switch (error) {
        case ASE_OK: return "ASE_OK";
        case ASE_SUCCESS: return "ASE_SUCCESS";
        case ASE_NotPresent: return "ASE_NotPresent";
        case ASE_HWMalfunction: return "ASE_HWMalfunction";
        case ASE_InvalidParameter: return "ASE_InvalidParameter";
        case ASE_InvalidMode: return "ASE_InvalidMode";
        case ASE_SPNotAdvancing: return "ASE_SPNotAdvancing";
        case ASE_NoClock: return "ASE_NoClock";
        case ASE_NoMemory: return "ASE_NoMemory";
        default: return "unknown ASIO error";
    }
}

HostHarness::HostHarness() { m_switched = CreateEventW(nullptr, FALSE, FALSE, nullptr); }

HostHarness::~HostHarness() {
    Close();
    if (m_switched != nullptr) CloseHandle(m_switched);
}

bool HostHarness::Load(const char* libraryPath, std::string* error) { return m_library.Load(libraryPath, error); }

HRESULT HostHarness::Create() {
    if (m_driver != nullptr) return S_OK;
    return m_library.CreateDriver(&m_driver);
}

bool HostHarness::Init() { return m_driver != nullptr && m_driver->init(nullptr) == ASIOTrue; }

std::string HostHarness::ErrorMessage() {
    if (m_driver == nullptr) return std::string();
    // The interface allows 124 bytes; a driver that forgets the terminating zero
    // must not make us read beyond them.
    char text[125] = {};
    m_driver->getErrorMessage(text);
    text[124] = '\0';
    return std::string(text);
}

ASIOError HostHarness::CreateBuffers(int32_t inputs, int32_t outputs, int32_t size, IHostProcessor* processor) {
    if (m_driver == nullptr) return ASE_NotPresent;
    if (m_buffers || inputs < 0 || outputs < 0) return ASE_InvalidMode;
    if (!m_slot.Claimed() && !m_slot.Claim(this)) return ASE_NoMemory;
    m_infos.assign(static_cast<size_t>(inputs) + static_cast<size_t>(outputs), ASIOBufferInfo{});
    for (int32_t c = 0; c < inputs; ++c) {
        m_infos[static_cast<size_t>(c)].isInput = ASIOTrue;
        m_infos[static_cast<size_t>(c)].channelNum = c;
    }
    for (int32_t c = 0; c < outputs; ++c) {
        m_infos[static_cast<size_t>(inputs + c)].isInput = ASIOFalse;
        m_infos[static_cast<size_t>(inputs + c)].channelNum = c;
    }
    m_processor = processor;
    m_inputs = inputs;
    m_outputs = outputs;
    m_bufferSize = size;
    const ASIOError result =
        m_driver->createBuffers(m_infos.data(), inputs + outputs, size, m_slot.Record());
    m_buffers = result == ASE_OK;
    if (!m_buffers) {
        m_infos.clear();
        m_inputs = m_outputs = m_bufferSize = 0;
        m_processor = nullptr;
    }
    return result;
}

ASIOError HostHarness::Start() {
    if (m_driver == nullptr) return ASE_NotPresent;
    m_startThread.store(GetCurrentThreadId(), std::memory_order_release);
    m_inStart.store(true, std::memory_order_release);
    const ASIOError result = m_driver->start();
    m_inStart.store(false, std::memory_order_release);
    m_started = result == ASE_OK;
    return result;
}

ASIOError HostHarness::Stop() {
    if (m_driver == nullptr) return ASE_NotPresent;
    const ASIOError result = m_driver->stop();
    m_started = false;
    return result;
}

ASIOError HostHarness::DisposeBuffers() {
    if (m_driver == nullptr) return ASE_NotPresent;
    const ASIOError result = m_driver->disposeBuffers();
    m_buffers = false;
    m_started = false;
    m_infos.clear();
    m_inputs = m_outputs = m_bufferSize = 0;
    m_processor = nullptr;
    return result;
}

void HostHarness::ReleaseDriver() {
    if (m_driver == nullptr) return;
    m_driver->Release();
    m_driver = nullptr;
    m_buffers = false;
    m_started = false;
    m_processor = nullptr;
    // The driver is gone, and with it every caller of the record.
    m_slot.Release();
}

void HostHarness::Close(HRESULT* unloadable) {
    if (m_started) Stop();
    if (m_buffers) DisposeBuffers();
    ReleaseDriver();
    const HRESULT canUnload = m_library.Loaded() ? m_library.CanUnloadNow() : S_OK;
    if (unloadable != nullptr) *unloadable = canUnload;
    if (canUnload == S_OK) m_library.Unload();
}

void* HostHarness::Buffer(bool input, int32_t channel, ASIOLong half) const {
    if (channel < 0 || (half != 0 && half != 1)) return nullptr;
    const int32_t count = input ? m_inputs : m_outputs;
    if (channel >= count) return nullptr;
    const size_t index = static_cast<size_t>(input ? channel : m_inputs + channel);
    return index < m_infos.size() ? m_infos[index].buffers[half] : nullptr;
}

void* HostHarness::InputBuffer(int32_t channel, ASIOLong half) const { return Buffer(true, channel, half); }
void* HostHarness::OutputBuffer(int32_t channel, ASIOLong half) const { return Buffer(false, channel, half); }

bool HostHarness::WaitForSwitches(uint64_t count, DWORD timeoutMs) const {
    const DWORD begin = timeGetTime();
    while (Switches() < count) {
        const DWORD spent = timeGetTime() - begin;
        if (spent >= timeoutMs) return Switches() >= count;
        WaitForSingleObject(m_switched, timeoutMs - spent);
    }
    return true;
}

uint32_t HostHarness::Messages(ASIOLong selector) const {
    if (selector < 0 || selector >= kCountedSelectors) return 0;
    return m_messages[selector].load(std::memory_order_relaxed);
}

void HostHarness::BufferSwitch(ASIOLong index, ASIOBool directProcess) {
    if (m_processor != nullptr) m_processor->OnBufferSwitch(*this, index, directProcess);
    m_switches.fetch_add(1, std::memory_order_acq_rel);
    if (m_switched != nullptr) SetEvent(m_switched);
}

void HostHarness::SampleRateDidChange(ASIOSampleRate rate) {
    (void)rate;
    m_rateChanges.fetch_add(1, std::memory_order_relaxed);
}

ASIOLong HostHarness::AsioMessage(ASIOLong selector, ASIOLong value, void* message, double* opt) {
    (void)message;
    (void)opt;
    if (selector >= 0 && selector < kCountedSelectors) m_messages[selector].fetch_add(1, std::memory_order_relaxed);
    switch (selector) {
        case kAsioSelectorSupported:
            if (value == kAsioResetRequest) return m_answersReset ? 1 : 0;
            return value == kAsioEngineVersion || value == kAsioLatenciesChanged ? 1 : 0;
        case kAsioEngineVersion: return 2;
        case kAsioResetRequest: return 1;  // noted; the session reports it
        case kAsioLatenciesChanged: return 1;
        default: return 0;
    }
}

ASIOTime* HostHarness::BufferSwitchTimeInfo(ASIOTime* params, ASIOLong index, ASIOBool directProcess) {
    // We never offered time info; a driver calling this anyway still gets its
    // period processed, and the call is counted.
    m_timeInfoSwitches.fetch_add(1, std::memory_order_relaxed);
    BufferSwitch(index, directProcess);
    return params;
}

}  // namespace session
