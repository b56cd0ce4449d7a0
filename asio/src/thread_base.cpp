// CThreadBase and CUsrThread: a thread with a start handshake and two control
// events.
#include "asio_thread.h"

namespace {

void CloseAndClear(HANDLE& handle) {
    if (handle != nullptr) CloseHandle(handle);
    handle = nullptr;
}

}  // namespace

CThreadBase::~CThreadBase() { CloseAndClear(m_hStarted); }

DWORD WINAPI CThreadBase::ThreadEntry(LPVOID param) {
    CThreadBase* self = static_cast<CThreadBase*>(param);
    // Tell the creator first: it waits for this before it returns, so the
    // thread exists and runs whatever it does next.
    SetEvent(self->m_hStarted);
    return self->ThreadProc();
}

bool CThreadBase::CreateAndAwaitThread() {
    if (m_hThread != nullptr) return true;
    m_hStarted = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (m_hStarted == nullptr) return false;
    m_hThread = CreateThread(nullptr, 0, &CThreadBase::ThreadEntry, this, 0, &m_dwThreadId);
    if (m_hThread != nullptr) WaitForSingleObject(m_hStarted, INFINITE);
    CloseAndClear(m_hStarted);
    return m_hThread != nullptr;
}

void CThreadBase::JoinThread() {
    if (m_hThread != nullptr) {
        WaitForSingleObject(m_hThread, INFINITE);
        CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
    m_dwThreadId = 0;
}

CUsrThread::~CUsrThread() { CloseControlEvents(); }

bool CUsrThread::CreateControlEvents() {
    for (HANDLE& event : m_hEvent)
        if (event == nullptr) event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (m_hEvent[0] != nullptr && m_hEvent[1] != nullptr) return true;
    CloseControlEvents();
    return false;
}

void CUsrThread::CloseControlEvents() {
    for (HANDLE& event : m_hEvent) CloseAndClear(event);
}
