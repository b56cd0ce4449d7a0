// Threads, critical sections, last error and clocks.
#include "win32.h"
#include "test_hooks.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

constexpr DWORD kSentinel = 0xdeadbeef;

struct Worker {
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD exitCode = 0;
    std::atomic<DWORD> seenId{0};
    ~Worker() { CloseHandle(go); }
};

DWORD WINAPI RunWorker(LPVOID param) {
    auto* worker = static_cast<Worker*>(param);
    worker->seenId = GetCurrentThreadId();
    WaitForSingleObject(worker->go, INFINITE);
    return worker->exitCode;
}

TEST(Threads, HandleIsSignalledAtExitWithTheRoutinesResult) {
    const DWORD handlesBefore = MxOpenHandleCount();
    Worker worker;
    worker.exitCode = 42;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, RunWorker, &worker, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());

    DWORD code = 0;
    SetLastError(kSentinel);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(GetLastError(), kSentinel);
    EXPECT_EQ(WaitForSingleObject(thread, 10), WAIT_TIMEOUT);

    SetEvent(worker.go);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);  // stays signalled
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(worker.seenId.load(), id);
    EXPECT_TRUE(CloseHandle(thread));
#ifndef _WIN32  // Wine does not count handles
    EXPECT_EQ(MxOpenHandleCount(), handlesBefore + 1);  // the worker's event
#else
    (void)handlesBefore;
#endif
}

TEST(Threads, ClosingTheHandleEarlyLetsTheThreadFinish) {
    Worker worker;
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    struct Args {
        Worker* worker;
        HANDLE done;
    } args{&worker, done};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            auto* a = static_cast<Args*>(p);
            RunWorker(a->worker);
            SetEvent(a->done);
            return 0;
        },
        &args, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(CloseHandle(thread));
    SetLastError(kSentinel);
    EXPECT_FALSE(CloseHandle(thread));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    SetEvent(worker.go);
    EXPECT_EQ(WaitForSingleObject(done, INFINITE), WAIT_OBJECT_0);
    CloseHandle(done);
}

TEST(Threads, PriorityIsKeptAndTimeCriticalNeverFails) {
    Worker worker;
    HANDLE thread = CreateThread(nullptr, 0, RunWorker, &worker, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_NORMAL);
    static const int kLevels[] = {THREAD_PRIORITY_TIME_CRITICAL, THREAD_PRIORITY_HIGHEST, THREAD_PRIORITY_LOWEST,
                                  THREAD_PRIORITY_NORMAL};
    for (int level : kLevels) {
        SCOPED_TRACE(level);
        SetLastError(kSentinel);
        EXPECT_TRUE(SetThreadPriority(thread, level));
        EXPECT_EQ(GetLastError(), kSentinel);
        EXPECT_EQ(GetThreadPriority(thread), level);
    }
    SetLastError(kSentinel);
    EXPECT_FALSE(SetThreadPriority(thread, 7));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // The calling thread through its pseudo-handle, as a streaming thread raises itself.
    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_TIME_CRITICAL);
    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL));
    SetEvent(worker.go);
    WaitForSingleObject(thread, INFINITE);
    EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL));  // ended: only recorded
    CloseHandle(thread);
}

#ifndef _WIN32
// Windows would start a thread at a null address, and it supports CREATE_SUSPENDED.
TEST(Threads, BadCreateArgumentsFail) {
    SetLastError(kSentinel);
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    Worker worker;
    SetLastError(kSentinel);
    EXPECT_EQ(CreateThread(nullptr, 0, RunWorker, &worker, CREATE_SUSPENDED, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}
#endif

TEST(LastError, IsPerThread) {
    SetLastError(1234);
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID) -> DWORD {
            const DWORD initial = GetLastError();
            SetLastError(5678);
            return initial;
        },
        nullptr, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 1;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 0u);  // a new thread starts with no error
    EXPECT_EQ(GetLastError(), 1234u);
    CloseHandle(thread);
}

struct Counter {
    CRITICAL_SECTION cs;
    long value = 0;  // plain: only the critical section protects it
};

DWORD WINAPI CountUp(LPVOID param) {
    auto* counter = static_cast<Counter*>(param);
    for (int i = 0; i < 20000; ++i) {
        EnterCriticalSection(&counter->cs);
        EnterCriticalSection(&counter->cs);  // recursion by the owner
        ++counter->value;
        LeaveCriticalSection(&counter->cs);
        LeaveCriticalSection(&counter->cs);
    }
    return 0;
}

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads) {
    Counter counter;
    InitializeCriticalSection(&counter.cs);
    EnterCriticalSection(&counter.cs);
    EnterCriticalSection(&counter.cs);
    auto tryFromOtherThread = [&] {
        HANDLE t = CreateThread(
            nullptr, 0,
            [](LPVOID p) -> DWORD {
                auto* cs = static_cast<LPCRITICAL_SECTION>(p);
                if (!TryEnterCriticalSection(cs)) return 0;
                LeaveCriticalSection(cs);
                return 1;
            },
            &counter.cs, 0, nullptr);
        WaitForSingleObject(t, INFINITE);
        DWORD entered = 2;
        GetExitCodeThread(t, &entered);
        CloseHandle(t);
        return entered;
    };
    EXPECT_EQ(tryFromOtherThread(), 0u);
    LeaveCriticalSection(&counter.cs);
    EXPECT_EQ(tryFromOtherThread(), 0u);  // still held once
    EXPECT_TRUE(TryEnterCriticalSection(&counter.cs));
    LeaveCriticalSection(&counter.cs);
    LeaveCriticalSection(&counter.cs);
    EXPECT_EQ(tryFromOtherThread(), 1u);

    HANDLE threads[4];
    for (HANDLE& t : threads) t = CreateThread(nullptr, 0, CountUp, &counter, 0, nullptr);
    WaitForMultipleObjects(4, threads, TRUE, INFINITE);
    for (HANDLE t : threads) CloseHandle(t);
    EXPECT_EQ(counter.value, 4 * 20000);
    DeleteCriticalSection(&counter.cs);
}

TEST(Clocks, AreMonotonic) {
    LARGE_INTEGER frequency, first, second;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_GT(frequency.QuadPart, 0);
    ASSERT_TRUE(QueryPerformanceCounter(&first));
    const DWORD before = timeGetTime(), ticksBefore = GetTickCount();
    Sleep(5);
    const DWORD after = timeGetTime(), ticksAfter = GetTickCount();
    ASSERT_TRUE(QueryPerformanceCounter(&second));
    EXPECT_GT(second.QuadPart, first.QuadPart);
    EXPECT_LT(after - before, 0x80000000u);  // moved forward (modulo 2^32)
    EXPECT_LT(ticksAfter - ticksBefore, 0x80000000u);
}

TEST(Interlocked, ReturnsWindowsValues) {
    LONG value = 5;
    EXPECT_EQ(InterlockedIncrement(&value), 6);
    EXPECT_EQ(InterlockedDecrement(&value), 5);
    EXPECT_EQ(InterlockedExchange(&value, 9), 5);
    EXPECT_EQ(InterlockedExchangeAdd(&value, 3), 9);
    EXPECT_EQ(InterlockedCompareExchange(&value, 1, 12), 12);
    EXPECT_EQ(InterlockedCompareExchange(&value, 2, 12), 1);
    EXPECT_EQ(value, 1);
}

}  // namespace
