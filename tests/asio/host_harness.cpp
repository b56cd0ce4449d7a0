#include "host_harness.h"

#include <chrono>
#include <cstring>

#include "asio_test_support.h"
#include "cs_lock.h"
#include "driver_ids.h"
#include "virtual_unit/test_signal.h"

namespace asiotest {

namespace {

std::atomic<HostHarness*> g_host{nullptr};

}  // namespace

HostHarness::HostHarness(vu::VirtualUnit& unit, int unitNumber) : m_unit(unit), m_unitNumber(unitNumber) {
    m_callbacks.bufferSwitch = &HostHarness::BufferSwitch;
    m_callbacks.asioMessage = &HostHarness::AsioMessage;
    g_host.store(this);
}

HostHarness::~HostHarness() {
    Release();
    HostHarness* self = this;
    g_host.compare_exchange_strong(self, nullptr);
}

void HostHarness::Create() {
    ASSERT_EQ(m_asio, nullptr);
    CUnknown* object = DriverRef::CreateDriverObjectForTest();
    ASSERT_NE(object, nullptr);
    // As CoCreateInstance does: the class id doubles as the interface id.
    void* pointer = nullptr;
    ASSERT_EQ(object->NonDelegatingQueryInterface(kDriverClassId, &pointer), S_OK);
    m_asio = static_cast<IASIO*>(pointer);
    m_driver = static_cast<AsioOurs*>(m_asio);
}

void HostHarness::Release() {
    if (m_asio == nullptr) return;
    m_asio->Release();
    m_asio = nullptr;
    m_driver = nullptr;
}

ASIOError HostHarness::Query() {
    m_facts = Facts{};
    m_facts.init = m_asio->init(nullptr);
    ASIOError result = m_asio->getChannels(&m_facts.inputs, &m_facts.outputs);
    if (result != ASE_OK) return result;
    result = m_asio->getBufferSize(&m_facts.minSize, &m_facts.maxSize, &m_facts.preferred, &m_facts.granularity);
    if (result != ASE_OK) return result;
    result = m_asio->getSampleRate(&m_facts.rate);
    if (result != ASE_OK) return result;
    ASIOChannelInfo info{};
    info.channel = 0;
    info.isInput = m_facts.inputs > 0 ? ASIOTrue : ASIOFalse;
    if (m_facts.inputs > 0 || m_facts.outputs > 0) {
        result = m_asio->getChannelInfo(&info);
        m_facts.type = info.type;
    }
    return result;
}

ASIOError HostHarness::CreateBuffers(int32_t frames) {
    std::vector<ASIOBufferInfo> infos;
    for (ASIOLong i = 0; i < m_facts.inputs; ++i) infos.push_back(ASIOBufferInfo{ASIOTrue, i, {nullptr, nullptr}});
    for (ASIOLong i = 0; i < m_facts.outputs; ++i) infos.push_back(ASIOBufferInfo{ASIOFalse, i, {nullptr, nullptr}});
    return CreateBuffers(frames, infos);
}

ASIOError HostHarness::CreateBuffers(int32_t frames, const std::vector<ASIOBufferInfo>& infos) {
    m_infos = infos;
    m_width = m_driver != nullptr ? m_driver->m_devAll.m_nSampleBytes : 0;
    m_frames = frames > 0 ? static_cast<uint32_t>(frames) : 0;
    m_inputCount = 0;
    for (const ASIOBufferInfo& info : m_infos)
        if (info.isInput) ++m_inputCount;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_callCount = 0;
        m_calls.assign(recordLimit, Call{});
        if (frames > 0 && frames <= 16384)
            m_inputBytes.assign(recordLimit * m_inputCount * m_frames * m_width, 0);
        else
            m_inputBytes.clear();
    }
    return m_asio->createBuffers(m_infos.empty() ? nullptr : m_infos.data(), static_cast<ASIOLong>(m_infos.size()),
                                 frames, &m_callbacks);
}

ASIOError HostHarness::Start() {
    m_inStart = true;
    const ASIOError result = m_asio->start();
    m_inStart = false;
    return result;
}

bool HostHarness::Period() {
    const size_t before = CallCount();
    if (m_unit.Step(m_unitNumber) != 1) return false;
    if (!WaitForCalls(before + 1)) return false;
    // The pass that called the host holds the stream lock until its outputs are
    // in the rings; once we hold it, the unit may take the next period.
    CCsLock stream(&m_driver->m_csStream);
    return true;
}

bool HostHarness::Periods(int count) {
    for (int i = 0; i < count; ++i)
        if (!Period()) return false;
    return true;
}

ASIOError HostHarness::Stop() { return m_asio->stop(); }
ASIOError HostHarness::Dispose() { return m_asio->disposeBuffers(); }

size_t HostHarness::CallCount() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_callCount;
}

std::vector<HostHarness::Call> HostHarness::Calls() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::vector<Call>(m_calls.begin(), m_calls.begin() + static_cast<ptrdiff_t>(std::min(m_callCount, m_calls.size())));
}

std::vector<int32_t> HostHarness::Input(size_t call, size_t channel) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<int32_t> samples;
    const size_t half = size_t{m_frames} * m_width;
    if (call >= std::min(m_callCount, recordLimit) || channel >= m_inputCount || m_inputBytes.empty()) return samples;
    const uint8_t* bytes = &m_inputBytes[(call * m_inputCount + channel) * half];
    for (uint32_t f = 0; f < m_frames; ++f) samples.push_back(vu::LoadSample(bytes + size_t{f} * m_width, m_width));
    return samples;
}

bool HostHarness::WaitForCalls(size_t count, DWORD timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_callCount >= count; });
}

int32_t HostHarness::OutputSample(size_t call, size_t channel, uint32_t frame, uint32_t frames, uint32_t width) {
    const uint64_t streamFrame = uint64_t{call} * frames + frame;
    const uint32_t value = static_cast<uint32_t>(streamFrame * 16 + (channel & 15));
    uint8_t bytes[4];
    vu::StoreSample(bytes, static_cast<int32_t>(value), width);
    return vu::LoadSample(bytes, width);
}

void HostHarness::BufferSwitch(ASIOLong index, ASIOBool directProcess) {
    EXPECT_EQ(directProcess, ASIOTrue);
    if (HostHarness* host = g_host.load()) host->OnBufferSwitch(index);
}

ASIOLong HostHarness::AsioMessage(ASIOLong selector, ASIOLong value, void* message, double* opt) {
    (void)message;
    (void)opt;
    HostHarness* host = g_host.load();
    if (host == nullptr) return 0;
    if (selector == kAsioSelectorSupported) {
        ++host->selectorChecks;
        return value == kAsioResetRequest && host->acceptReset ? 1 : 0;
    }
    if (selector == kAsioResetRequest) {
        ++host->resetRequests;
        return 1;
    }
    ++host->otherMessages;
    return 0;
}

// Driver's thread: the streaming thread, or the host's own inside start.
void HostHarness::OnBufferSwitch(ASIOLong index) {
    Call record;
    record.half = index;
    record.onStartThread = m_inStart;
    ASIOSamples position{};
    ASIOTimeStamp stamp{};
    EXPECT_EQ(m_asio->getSamplePosition(&position, &stamp), ASE_OK);
    record.position = (uint64_t{position.hi} << 32) | position.lo;
    record.stamp = (uint64_t{stamp.hi} << 32) | stamp.lo;
    size_t call;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        call = m_callCount;
    }
    const size_t halfBytes = size_t{m_frames} * m_width;
    const bool halfOk = index == 0 || index == 1;
    EXPECT_TRUE(halfOk) << index;
    if (halfOk) {
        size_t input = 0;
        for (const ASIOBufferInfo& info : m_infos) {
            if (!info.isInput) continue;
            const size_t at = (call * m_inputCount + input) * halfBytes;
            if (call < recordLimit && info.buffers[index] != nullptr && at + halfBytes <= m_inputBytes.size())
                std::memcpy(&m_inputBytes[at], info.buffers[index], halfBytes);
            ++input;
        }
        if (writeOutputs) {
            for (const ASIOBufferInfo& info : m_infos) {
                if (info.isInput || info.buffers[index] == nullptr) continue;
                uint8_t* half = static_cast<uint8_t*>(info.buffers[index]);
                for (uint32_t f = 0; f < m_frames; ++f)
                    vu::StoreSample(half + size_t{f} * m_width,
                                    OutputSample(call, static_cast<size_t>(info.channelNum), f, m_frames, m_width),
                                    m_width);
            }
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (call < m_calls.size()) m_calls[call] = record;
        ++m_callCount;
    }
    m_changed.notify_all();
}

}  // namespace asiotest
