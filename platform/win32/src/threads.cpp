// Threads: creation (detached, with a reference-counted thread object), ids,
// exit codes and priorities.
#include "kernel.h"

#include <algorithm>
#include <atomic>
#include <sched.h>

namespace mx {
namespace {

// The pseudo-handle GetCurrentThread returns, as on Windows.
const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

// Where a real-time priority is permitted, time-critical threads run SCHED_FIFO at
// this level: above ordinary real-time helpers, below the kernel's own.
constexpr int kTimeCriticalFifoPriority = 70;

class Thread final : public WaitableObject {
public:
    explicit Thread(DWORD id) : WaitableObject(ObjectType::Thread), m_id(id) {}
    bool IsSignalled(DWORD) const override { return m_ended; }
    void Consume(DWORD) override {}

    const DWORD m_id;
    // Guarded by KernelLock().
    bool m_started = false;  // m_pthread is valid and the thread has not returned yet
    bool m_ended = false;
    DWORD m_exitCode = STILL_ACTIVE;
    pthread_t m_pthread{};
    int m_priority = THREAD_PRIORITY_NORMAL;
};

struct StartInfo {
    std::shared_ptr<Thread> thread;  // the running thread's own reference to its object
    LPTHREAD_START_ROUTINE routine;
    LPVOID param;
};

std::atomic<DWORD> g_nextThreadId{1};
thread_local DWORD t_threadId = 0;
thread_local Thread* t_self = nullptr;                // set while a CreateThread thread runs
thread_local int t_priority = THREAD_PRIORITY_NORMAL;  // for threads we did not create

DWORD NewThreadId() { return g_nextThreadId.fetch_add(1, std::memory_order_relaxed); }

bool IsValidPriority(int priority) {
    return (priority >= THREAD_PRIORITY_LOWEST && priority <= THREAD_PRIORITY_HIGHEST) ||
           priority == THREAD_PRIORITY_TIME_CRITICAL || priority == THREAD_PRIORITY_IDLE;
}

// Time-critical asks for SCHED_FIFO; where that is not permitted the thread silently
// stays at normal scheduling. Every other level is normal scheduling.
void ApplyPriority(pthread_t thread, int priority) {
    sched_param param{};
    if (priority == THREAD_PRIORITY_TIME_CRITICAL) {
        param.sched_priority = std::clamp(kTimeCriticalFifoPriority, sched_get_priority_min(SCHED_FIFO),
                                          sched_get_priority_max(SCHED_FIFO));
        if (pthread_setschedparam(thread, SCHED_FIFO, &param) == 0) return;
    }
    param.sched_priority = 0;
    pthread_setschedparam(thread, SCHED_OTHER, &param);
}

void* ThreadMain(void* arg) {
    std::unique_ptr<StartInfo> start(static_cast<StartInfo*>(arg));
    Thread& self = *start->thread;
    t_threadId = self.m_id;
    t_self = &self;
    {
        std::lock_guard<std::mutex> guard(KernelLock());
        self.m_pthread = pthread_self();
        self.m_started = true;
        if (self.m_priority != THREAD_PRIORITY_NORMAL) ApplyPriority(self.m_pthread, self.m_priority);
    }
    const DWORD exitCode = start->routine(start->param);
    {
        std::lock_guard<std::mutex> guard(KernelLock());
        self.m_exitCode = exitCode;
        self.m_ended = true;
        self.m_started = false;
        self.WakeWaiters();
    }
    t_self = nullptr;
    return nullptr;  // `start` drops the thread's reference to its object
}

}  // namespace

DWORD CurrentThreadId() {
    if (t_threadId == 0) t_threadId = NewThreadId();
    return t_threadId;
}

}  // namespace mx

using mx::Thread;

// Windows: starts `start(param)` on a new thread; the handle is signalled when it
// ends. CREATE_SUSPENDED is not supported (ERROR_NOT_SUPPORTED).
HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T stackSize, LPTHREAD_START_ROUTINE start, LPVOID param,
                           DWORD flags, LPDWORD threadId) {
    if (!start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (flags & CREATE_SUSPENDED) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    auto thread = std::make_shared<Thread>(mx::NewThreadId());
    HANDLE handle = mx::InsertHandle(thread);
    if (!handle) return nullptr;
    auto* info = new mx::StartInfo{thread, start, param};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    // Windows takes the size as what to commit and keeps its default reserve, so a
    // size only ever makes the stack larger than the default.
    size_t defaultSize = 0;
    pthread_attr_getstacksize(&attr, &defaultSize);
    if (stackSize > defaultSize) pthread_attr_setstacksize(&attr, stackSize);
    pthread_t pthread;
    const int error = pthread_create(&pthread, &attr, mx::ThreadMain, info);
    pthread_attr_destroy(&attr);
    if (error != 0) {
        delete info;
        mx::RemoveHandle(handle, {mx::ObjectType::Thread});
        SetLastError(mx::ErrorFromErrno(error));
        return nullptr;
    }
    if (threadId) *threadId = thread->m_id;
    return handle;
}

// Windows: a pseudo-handle meaning "the calling thread" for the thread functions.
HANDLE WINAPI GetCurrentThread(void) { return mx::kCurrentThread; }

// Windows: the calling thread's id, unique among the process's threads.
DWORD WINAPI GetCurrentThreadId(void) { return mx::CurrentThreadId(); }

// Windows: sets a thread's priority level; TIME_CRITICAL asks for real-time
// scheduling and quietly stays normal where that is not permitted.
BOOL WINAPI SetThreadPriority(HANDLE h, int priority) {
    if (!mx::IsValidPriority(priority)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::shared_ptr<Thread> thread;
    if (h != mx::kCurrentThread) {
        thread = mx::Lookup<Thread>(h, mx::ObjectType::Thread);
        if (!thread) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
    }
    std::lock_guard<std::mutex> guard(mx::KernelLock());
    if (h == mx::kCurrentThread) {
        if (mx::t_self) mx::t_self->m_priority = priority;
        mx::t_priority = priority;
        mx::ApplyPriority(pthread_self(), priority);
        return TRUE;
    }
    thread->m_priority = priority;
    if (thread->m_started) mx::ApplyPriority(thread->m_pthread, priority);  // not yet started: ThreadMain applies it
    return TRUE;
}

// Windows: the priority level last set (THREAD_PRIORITY_ERROR_RETURN for a bad handle).
int WINAPI GetThreadPriority(HANDLE h) {
    std::lock_guard<std::mutex> guard(mx::KernelLock());
    if (h == mx::kCurrentThread) return mx::t_self ? mx::t_self->m_priority : mx::t_priority;
    std::shared_ptr<Thread> thread = mx::Lookup<Thread>(h, mx::ObjectType::Thread);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return THREAD_PRIORITY_ERROR_RETURN;
    }
    return thread->m_priority;
}

// Windows: STILL_ACTIVE while the thread runs, then the value its routine returned.
BOOL WINAPI GetExitCodeThread(HANDLE h, LPDWORD exitCode) {
    if (!exitCode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (h == mx::kCurrentThread) {
        *exitCode = STILL_ACTIVE;
        return TRUE;
    }
    std::shared_ptr<Thread> thread = mx::Lookup<Thread>(h, mx::ObjectType::Thread);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(mx::KernelLock());
    *exitCode = thread->m_exitCode;
    return TRUE;
}
