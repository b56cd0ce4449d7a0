#include "period_event_relay.h"

#include <cstring>

#include "device/ioctl.h"
#include "device/records.h"

namespace session {

PeriodEventRelay::PeriodEventRelay(IKernelDriverModel& inner) : m_inner(inner) {
    m_proxy = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_quit = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (m_proxy != nullptr && m_quit != nullptr) m_thread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
}

PeriodEventRelay::~PeriodEventRelay() {
    if (m_thread != nullptr) {
        SetEvent(m_quit);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    if (m_quit != nullptr) CloseHandle(m_quit);
    if (m_proxy != nullptr) CloseHandle(m_proxy);
}

HANDLE PeriodEventRelay::Open(LPCWSTR path, DWORD access, DWORD shareMode, DWORD creation, DWORD flags) {
    return m_inner.Open(path, access, shareMode, creation, flags);
}

BOOL PeriodEventRelay::Close(HANDLE device) { return m_inner.Close(device); }

BOOL PeriodEventRelay::Control(HANDLE device, DWORD code, LPVOID inBuffer, DWORD inSize, LPVOID outBuffer,
                               DWORD outSize, LPDWORD bytesReturned, LPOVERLAPPED overlapped) {
    if (code == IOCTL_STOP_STREAM && inBuffer != nullptr && inSize == sizeof(STOP_STREAM_REQ)) {
        // The driver's event may be closed once its stream is stopped.
        STOP_STREAM_REQ request;
        std::memcpy(&request, inBuffer, sizeof request);
        const BOOL result = m_inner.Control(device, code, inBuffer, inSize, outBuffer, outSize, bytesReturned, overlapped);
        if (request.bMain != 0) m_target.store(nullptr, std::memory_order_release);
        return result;
    }
    if (code != IOCTL_START_STREAM || m_thread == nullptr || inBuffer == nullptr || inSize != sizeof(START_STREAM_REQ) ||
        outSize != sizeof(START_STREAM_REQ) || overlapped != nullptr)
        return m_inner.Control(device, code, inBuffer, inSize, outBuffer, outSize, bytesReturned, overlapped);
    START_STREAM_REQ request;
    std::memcpy(&request, inBuffer, sizeof request);
    if (request.bMain == 0 || request.hPeriodEvent == 0)
        return m_inner.Control(device, code, inBuffer, inSize, outBuffer, outSize, bytesReturned, overlapped);
    // The answer of a start is not read, so our copy may serve as both buffers.
    m_target.store(WireToHandle(request.hPeriodEvent), std::memory_order_release);
    request.hPeriodEvent = HandleToWire(m_proxy);
    return m_inner.Control(device, code, &request, sizeof request, &request, sizeof request, bytesReturned, nullptr);
}

int64_t PeriodEventRelay::LatestSetAtOrBefore(int64_t ticks) const {
    int64_t best = 0;
    for (const auto& stamp : m_stamps) {
        const int64_t t = stamp.load(std::memory_order_acquire);
        if (t != 0 && t <= ticks && t > best) best = t;
    }
    return best;
}

DWORD WINAPI PeriodEventRelay::ThreadProc(LPVOID param) {
    static_cast<PeriodEventRelay*>(param)->Run();
    return 0;
}

void PeriodEventRelay::Run() {
    // As urgent as the driver's own streaming thread, so that the hop costs as
    // little as the system allows.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    const HANDLE waits[2] = {m_quit, m_proxy};
    for (;;) {
        const DWORD which = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (which != WAIT_OBJECT_0 + 1) break;
        const HANDLE target = m_target.load(std::memory_order_acquire);
        if (target == nullptr) continue;
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        const uint64_t n = m_passed.load(std::memory_order_relaxed);
        m_stamps[n % kStamps].store(now.QuadPart, std::memory_order_release);
        m_passed.store(n + 1, std::memory_order_release);
        SetEvent(target);
    }
}

}  // namespace session
