// CAsioTh: the streaming thread's events, its start and stop, and the wait with
// its dispatch.
#include "asio_thread.h"

#include "asio_ours.h"

CAsioTh::~CAsioTh() {
    // The device set stops the thread before it goes; this only covers a start
    // that was never undone, so no thread outlives the object it runs on.
    if (m_hThread != nullptr) Stop();
    CloseStreamEvents();
}

void CAsioTh::CloseStreamEvents() {
    for (HANDLE& event : m_hEvents) {
        if (event != nullptr) CloseHandle(event);
        event = nullptr;
    }
    for (HANDLE& wait : m_hWait) wait = nullptr;
}

bool CAsioTh::Start() {
    bool ok = true;
    for (int i = 0; i < kStreamEvents && ok; ++i) {
        m_hEvents[i] = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        ok = m_hEvents[i] != nullptr;
    }
    if (ok) {
        for (int i = 0; i < kStreamEvents; ++i) m_hWait[kWaitFirstUnit + i] = m_hEvents[i];
        ok = CreateControlEvents();
    }
    if (ok) ok = CreateAndAwaitThread();
    if (!ok) Stop();
    return ok;
}

void CAsioTh::Stop() {
    if (m_hEvent[0] != nullptr) SetEvent(m_hEvent[0]);
    JoinThread();
    CloseControlEvents();
    CloseStreamEvents();
}

// Streaming thread.
DWORD CAsioTh::ThreadProc() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    for (;;) {
        m_hWait[kWaitStop] = m_hEvent[0];
        m_hWait[kWaitWake] = m_hEvent[1];
        // With several events signalled the lowest index wins, so a stop is seen
        // before any further period.
        const DWORD index = WaitForMultipleObjects(kWaitHandles, m_hWait, FALSE, INFINITE);
        if (index == kWaitStop) {
            if (OnStopEvent() != 0) return 1;
        } else if (index == kWaitWake || m_pDriver == nullptr) {
            // nothing to do
        } else if (index >= kWaitFirstUnit && index < kWaitStatus) {
            m_pDriver->dropUnit(static_cast<int>(index - kWaitFirstUnit));
        } else if (index == kWaitStatus) {
            m_pDriver->PollStatus();
        } else if (index == kWaitPeriod) {
            m_pDriver->processPeriods();
        }
        // Any other result is ignored and the wait starts over.
    }
}
