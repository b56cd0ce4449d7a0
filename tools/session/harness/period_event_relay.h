// A kernel-driver model in front of another one (the virtual unit) that passes
// every call through, except that the period event the driver hands over with
// its main start request is replaced by an event of our own. A relay thread
// waits on that event, takes a QueryPerformanceCounter time stamp and then sets
// the driver's event. The stamps say when the driver's period event was set, to
// the tick, so a host can measure how long the driver takes from its period
// event to the host's bufferSwitch; the model behind us keeps only millisecond
// times.
//
// The relay adds one thread hop before the driver is woken, which costs the
// driver nothing it is measured on: the time counts from the moment its own
// event is set.
#pragma once

#include <atomic>
#include <cstdint>

#include "device_port.h"
#include "win32.h"

namespace session {

class PeriodEventRelay final : public IKernelDriverModel {
public:
    explicit PeriodEventRelay(IKernelDriverModel& inner);
    ~PeriodEventRelay();
    PeriodEventRelay(const PeriodEventRelay&) = delete;
    PeriodEventRelay& operator=(const PeriodEventRelay&) = delete;

    // False when the relay's events or thread could not be made; the calls
    // then pass through unchanged and no stamps are taken.
    bool Ready() const { return m_thread != nullptr; }

    HANDLE Open(LPCWSTR path, DWORD access, DWORD shareMode, DWORD creation, DWORD flags) override;
    BOOL Control(HANDLE device, DWORD code, LPVOID inBuffer, DWORD inSize, LPVOID outBuffer, DWORD outSize,
                 LPDWORD bytesReturned, LPOVERLAPPED overlapped) override;
    BOOL Close(HANDLE device) override;

    // Period events passed on since the relay was made.
    uint64_t EventsPassed() const { return m_passed.load(std::memory_order_acquire); }
    // The QueryPerformanceCounter time at which the latest period event at or
    // before `ticks` was set; 0 when none is known.
    int64_t LatestSetAtOrBefore(int64_t ticks) const;

private:
    static DWORD WINAPI ThreadProc(LPVOID param);
    void Run();

    static constexpr uint32_t kStamps = 16;  // a power of two

    IKernelDriverModel& m_inner;
    HANDLE m_proxy = nullptr;  // what the model behind us sets
    HANDLE m_quit = nullptr;
    HANDLE m_thread = nullptr;
    std::atomic<HANDLE> m_target{nullptr};  // the driver's period event
    std::atomic<uint64_t> m_passed{0};
    std::atomic<int64_t> m_stamps[kStamps] = {};
};

}  // namespace session
