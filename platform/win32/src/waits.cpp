// WaitForSingleObject and WaitForMultipleObjects over every waitable object.
//
// All waitable state is guarded by one process-wide lock. A waiting thread puts a
// Waiter of its own into the waiter list of each object it waits on; whoever changes
// an object's state to signalled wakes that object's waiters, which look at all their
// objects again. A wait that finds its objects ready applies the side effects
// (auto-reset, mutex ownership) under the same lock, so two waiters can never both
// take one SetEvent.
#include "kernel.h"

#include <algorithm>
#include <array>
#include <chrono>

namespace mx {
namespace {

using Objects = std::array<std::shared_ptr<WaitableObject>, MAXIMUM_WAIT_OBJECTS>;

// The index that satisfies the wait now, or -1. Wait-any: the lowest signalled
// index. Wait-all: 0 when every object is signalled.
int ReadyIndex(const Objects& objects, DWORD count, bool waitAll, DWORD threadId) {
    for (DWORD i = 0; i < count; ++i) {
        const bool signalled = objects[i]->IsSignalled(threadId);
        if (!waitAll && signalled) return static_cast<int>(i);
        if (waitAll && !signalled) return -1;
    }
    return waitAll ? 0 : -1;
}

void Register(const Objects& objects, DWORD count, Waiter* waiter) {
    for (DWORD i = 0; i < count; ++i) objects[i]->m_waiters.push_back(waiter);
}

void Unregister(const Objects& objects, DWORD count, Waiter* waiter) {
    for (DWORD i = 0; i < count; ++i) std::erase(objects[i]->m_waiters, waiter);
}

DWORD Wait(const Objects& objects, DWORD count, bool waitAll, DWORD milliseconds) {
    const DWORD threadId = CurrentThreadId();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    Waiter self;
    bool registered = false;
    std::unique_lock<std::mutex> lock(KernelLock());
    for (;;) {
        const int ready = ReadyIndex(objects, count, waitAll, threadId);
        if (ready >= 0) {
            if (registered) Unregister(objects, count, &self);
            if (waitAll) {
                for (DWORD i = 0; i < count; ++i) objects[i]->Consume(threadId);
            } else {
                objects[ready]->Consume(threadId);
            }
            return WAIT_OBJECT_0 + static_cast<DWORD>(ready);
        }
        if (milliseconds == 0 || (milliseconds != INFINITE && std::chrono::steady_clock::now() >= deadline)) {
            if (registered) Unregister(objects, count, &self);
            return WAIT_TIMEOUT;
        }
        if (!registered) {
            Register(objects, count, &self);
            registered = true;
        }
        if (milliseconds == INFINITE) {
            self.wake.wait(lock);
        } else {
            self.wake.wait_until(lock, deadline);
        }
    }
}

bool HasDuplicates(const HANDLE* handles, DWORD count) {
    for (DWORD i = 0; i < count; ++i)
        for (DWORD j = i + 1; j < count; ++j)
            if (handles[i] == handles[j]) return true;
    return false;
}

}  // namespace
}  // namespace mx

// Windows: waits until the object is signalled or the time runs out.
DWORD WINAPI WaitForSingleObject(HANDLE h, DWORD milliseconds) {
    return WaitForMultipleObjects(1, &h, FALSE, milliseconds);
}

// Windows: waits for any (lowest signalled index wins, only it is consumed) or all
// of up to 64 objects; WAIT_FAILED with ERROR_INVALID_HANDLE for a bad handle.
DWORD WINAPI WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles || (waitAll && mx::HasDuplicates(handles, count))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    mx::Objects objects;
    for (DWORD i = 0; i < count; ++i) {
        objects[i] = mx::LookupWaitable(handles[i]);
        if (!objects[i]) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
    }
    return mx::Wait(objects, count, waitAll != FALSE, milliseconds);
}
