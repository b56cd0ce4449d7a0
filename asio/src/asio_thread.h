// The streaming thread of a driver object: a thread that sleeps on twelve events
// and, when one fires, drops a lost unit, polls the unit's messages or processes
// the ready periods.
#pragma once

#include <cstdint>

#include "win32.h"

class AsioOurs;

// A thread with a start handshake: Start returns once the new thread runs.
class CThreadBase {
public:
    CThreadBase() = default;
    virtual ~CThreadBase();
    CThreadBase(const CThreadBase&) = delete;
    CThreadBase& operator=(const CThreadBase&) = delete;

    // The thread's body; its result is the thread's exit code.
    virtual DWORD ThreadProc() = 0;
    // Called when the stop event fires; a nonzero result ends the thread.
    virtual int OnStopEvent() = 0;
    // Called when the wake event fires.
    virtual int OnWakeEvent() = 0;

    HANDLE m_hThread = nullptr;
    DWORD m_dwThreadId = 0;
    HANDLE m_hStarted = nullptr;  // exists only while a start is in progress

protected:
    // Creates the thread and waits until it runs. True when a thread exists.
    bool CreateAndAwaitThread();
    // Waits for the thread to end and closes its handle.
    void JoinThread();

private:
    static DWORD WINAPI ThreadEntry(LPVOID param);
};

// Adds the two control events: [0] stop, [1] wake (auto-reset).
class CUsrThread : public CThreadBase {
public:
    ~CUsrThread() override;
    int OnStopEvent() override { return 1; }
    int OnWakeEvent() override { return 1; }

    HANDLE m_hEvent[2] = {nullptr, nullptr};

protected:
    bool CreateControlEvents();
    void CloseControlEvents();
};

class CAsioTh : public CUsrThread {
public:
    // Wait indexes of the events.
    static constexpr DWORD kWaitStop = 0;
    static constexpr DWORD kWaitWake = 1;
    static constexpr DWORD kWaitFirstUnit = 2;  // unit event of slot 1; slot n at n + 1
    static constexpr DWORD kWaitStatus = 10;
    static constexpr DWORD kWaitPeriod = 11;
    static constexpr int kStreamEvents = 10;
    static constexpr int kWaitHandles = 12;

    ~CAsioTh() override;
    DWORD ThreadProc() override;

    // Creates the ten streaming events and the control events and starts the
    // thread; on any failure everything is closed again and false returned.
    bool Start();
    // Signals the stop event, waits for the thread without a time limit and
    // closes every event.
    void Stop();

    HANDLE UnitEvent(int slotIndex) const { return slotIndex >= 0 && slotIndex < 8 ? m_hEvents[slotIndex] : nullptr; }
    HANDLE StatusEvent() const { return m_hEvents[8]; }
    HANDLE PeriodEvent() const { return m_hEvents[9]; }

    AsioOurs* m_pDriver = nullptr;
    HANDLE m_hEvents[kStreamEvents] = {};  // [0..7] unit events of slots 1..8, [8] status, [9] period
    HANDLE m_hWait[kWaitHandles] = {};     // [0..1] control events, [2..11] the ten above

private:
    void CloseStreamEvents();
};
