// Events and waits.
#include "win32.h"
#include "test_hooks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace {

constexpr DWORD kSentinel = 0xdeadbeef;
constexpr int kWaitCount = 12;  // the streaming thread's wait

// Twelve events, some manual-reset, some initially signalled (bit i = event i).
struct EventSet {
    EventSet(unsigned manualMask, unsigned signalledMask) {
        for (int i = 0; i < kWaitCount; ++i) {
            handles[i] = CreateEventA(nullptr, (manualMask >> i) & 1, (signalledMask >> i) & 1, nullptr);
            EXPECT_NE(handles[i], nullptr);
        }
    }
    ~EventSet() {
        for (HANDLE h : handles) CloseHandle(h);
    }
    // Which events are signalled now (probing consumes auto-reset ones).
    unsigned ProbeSignalled() {
        unsigned mask = 0;
        for (int i = 0; i < kWaitCount; ++i)
            if (WaitForSingleObject(handles[i], 0) == WAIT_OBJECT_0) mask |= 1u << i;
        return mask;
    }
    HANDLE handles[kWaitCount];
};

TEST(Waits, WaitAnyOnTwelveTakesLowestSignalledAndConsumesOnlyIt) {
    struct Case {
        const char* name;
        unsigned manual, signalled;
        DWORD timeout, expected;
        unsigned signalledAfter;
    };
    static const Case kCases[] = {
        {"nothing signalled, poll", 0x000, 0x000, 0, WAIT_TIMEOUT, 0x000},
        {"nothing signalled, timeout", 0x000, 0x000, 20, WAIT_TIMEOUT, 0x000},
        {"only the period event", 0x000, 0x800, INFINITE, WAIT_OBJECT_0 + 11, 0x000},
        {"two auto events: lower wins, higher stays", 0x000, 0x088, INFINITE, WAIT_OBJECT_0 + 3, 0x080},
        {"stop event beats everything", 0x000, 0xFFF, 0, WAIT_OBJECT_0, 0xFFE},
        {"manual event wins and stays set", 0x001, 0x021, 0, WAIT_OBJECT_0, 0x021},
        {"auto below manual", 0x200, 0x204, 5, WAIT_OBJECT_0 + 2, 0x200},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EventSet events(c.manual, c.signalled);
        SetLastError(kSentinel);
        EXPECT_EQ(WaitForMultipleObjects(kWaitCount, events.handles, FALSE, c.timeout), c.expected);
        EXPECT_EQ(GetLastError(), kSentinel);
        EXPECT_EQ(events.ProbeSignalled(), c.signalledAfter);
    }
}

DWORD WINAPI WaitOnTwelve(LPVOID param) {
    auto* events = static_cast<EventSet*>(param);
    return WaitForMultipleObjects(kWaitCount, events->handles, FALSE, INFINITE);
}

TEST(Waits, BlockedWaitWakesOnTheEventThatIsSet) {
    EventSet events(0, 0);
    HANDLE thread = CreateThread(nullptr, 0, WaitOnTwelve, &events, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    Sleep(20);  // usually lets the thread block first; the outcome is the same either way
    ASSERT_TRUE(SetEvent(events.handles[7]));
    ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, WAIT_OBJECT_0 + 7);
    EXPECT_EQ(events.ProbeSignalled(), 0u);
    CloseHandle(thread);
}

TEST(Waits, WaitAllNeedsEveryObjectAndConsumesThemTogether) {
    EventSet events(0, 0x3);
    HANDLE three[] = {events.handles[0], events.handles[1], events.handles[2]};
    EXPECT_EQ(WaitForMultipleObjects(3, three, TRUE, 10), WAIT_TIMEOUT);
    EXPECT_EQ(events.ProbeSignalled(), 0x3u);  // probing consumed them; set them again
    SetEvent(events.handles[0]);
    SetEvent(events.handles[1]);
    SetEvent(events.handles[2]);
    EXPECT_EQ(WaitForMultipleObjects(3, three, TRUE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(events.ProbeSignalled(), 0u);
}

TEST(Waits, BadArgumentsFail) {
    HANDLE event = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    HANDLE closed = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    CloseHandle(closed);
    std::vector<HANDLE> many(MAXIMUM_WAIT_OBJECTS + 1, event);
    [[maybe_unused]] HANDLE twice[] = {event, event};
    [[maybe_unused]] HANDLE withClosed[] = {event, closed};
    struct Case {
        const char* name;
        DWORD count;
        const HANDLE* handles;
        BOOL waitAll;
        DWORD error;
    };
    const Case cases[] = {
        {"no handles", 0, many.data(), FALSE, ERROR_INVALID_PARAMETER},
        {"65 handles", MAXIMUM_WAIT_OBJECTS + 1, many.data(), FALSE, ERROR_INVALID_PARAMETER},
#ifndef _WIN32  // Windows faults on a null array, and reuses closed handle values at once
        {"null array", 1, nullptr, FALSE, ERROR_INVALID_PARAMETER},
        {"closed handle after a signalled one", 2, withClosed, FALSE, ERROR_INVALID_HANDLE},
        // Windows documents that a wait-all array may not hold one handle twice; Wine
        // does not check it.
        {"wait-all on one handle twice", 2, twice, TRUE, ERROR_INVALID_PARAMETER},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(kSentinel);
        EXPECT_EQ(WaitForMultipleObjects(c.count, c.handles, c.waitAll, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), c.error);
    }
    // Nothing was consumed by the failed waits.
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    // 64 handles (one event many times) is the most a wait-any takes.
    SetEvent(event);
    EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS, many.data(), FALSE, 0), WAIT_OBJECT_0);
    CloseHandle(event);
}

struct Contention {
    HANDLE event;
    std::atomic<int> released{0};
};

DWORD WINAPI WaitOnce(LPVOID param) {
    auto* shared = static_cast<Contention*>(param);
    if (WaitForSingleObject(shared->event, INFINITE) != WAIT_OBJECT_0) return 1;
    shared->released.fetch_add(1);
    return 0;
}

// Waits (without a time limit on the outcome) until `released` reaches `count`.
void AwaitCount(const std::atomic<int>& released, int count) {
    while (released.load() < count) Sleep(1);
    Sleep(10);  // room for a wrong extra release to show up
}

TEST(Events, AutoResetReleasesExactlyOneWaiterPerSet) {
    constexpr int kThreads = 8;
    Contention shared;
    shared.event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE threads[kThreads];
    for (HANDLE& t : threads) t = CreateThread(nullptr, 0, WaitOnce, &shared, 0, nullptr);
    Sleep(20);
    for (int i = 1; i <= kThreads; ++i) {
        SCOPED_TRACE(i);
        SetLastError(kSentinel);
        ASSERT_TRUE(SetEvent(shared.event));
        EXPECT_EQ(GetLastError(), kSentinel);
        AwaitCount(shared.released, i);
        EXPECT_EQ(shared.released.load(), i);
    }
    EXPECT_EQ(WaitForMultipleObjects(kThreads, threads, TRUE, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(shared.event, 0), WAIT_TIMEOUT);  // every set was consumed
    for (HANDLE t : threads) CloseHandle(t);
    CloseHandle(shared.event);
}

TEST(Events, ManualResetReleasesEveryoneUntilReset) {
    constexpr int kThreads = 6;
    Contention shared;
    shared.event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE threads[kThreads];
    for (HANDLE& t : threads) t = CreateThread(nullptr, 0, WaitOnce, &shared, 0, nullptr);
    ASSERT_TRUE(SetEvent(shared.event));
    EXPECT_EQ(WaitForMultipleObjects(kThreads, threads, TRUE, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(shared.released.load(), kThreads);
    EXPECT_EQ(WaitForSingleObject(shared.event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(shared.event, 0), WAIT_OBJECT_0);
    ASSERT_TRUE(ResetEvent(shared.event));
    EXPECT_EQ(WaitForSingleObject(shared.event, 15), WAIT_TIMEOUT);
    for (HANDLE t : threads) CloseHandle(t);
    CloseHandle(shared.event);
}

TEST(Events, NamedEventIsSharedWithinTheProcess) {
    SetLastError(kSentinel);
    HANDLE first = CreateEventA(nullptr, TRUE, FALSE, "platform-test-event");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE second = CreateEventW(nullptr, TRUE, FALSE, L"platform-test-event");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_NE(first, second);
    SetEvent(first);
    EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
    CloseHandle(first);
    CloseHandle(second);
    // Once every handle is closed the name is free again.
    HANDLE again = CreateEventA(nullptr, TRUE, FALSE, "platform-test-event");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(WaitForSingleObject(again, 0), WAIT_TIMEOUT);
    CloseHandle(again);
}

TEST(Handles, ValuesAreMultiplesOfFourAndClosedOrForeignHandlesFail) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_NE(event, INVALID_HANDLE_VALUE);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(event) % 4, 0u);
    HANDLE closed = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    SetLastError(kSentinel);
    EXPECT_TRUE(CloseHandle(closed));
    EXPECT_EQ(GetLastError(), kSentinel);
    HGLOBAL memory = GlobalAlloc(GHND, 16);

    const HANDLE bad[] = {closed, nullptr, reinterpret_cast<HANDLE>(0x1235), reinterpret_cast<HANDLE>(0x7ffffff0),
                          memory,
#ifndef _WIN32  // on Windows the pseudo-handle of the current process
                          INVALID_HANDLE_VALUE
#endif
    };
    for (HANDLE h : bad) {
        SCOPED_TRACE(testing::Message() << "handle " << h);
        DWORD code = 0;
        SetLastError(kSentinel);
        EXPECT_FALSE(SetEvent(h));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        SetLastError(kSentinel);
        EXPECT_FALSE(ResetEvent(h));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        SetLastError(kSentinel);
        EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        SetLastError(kSentinel);
        EXPECT_FALSE(GetExitCodeThread(h, &code));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        SetLastError(kSentinel);
        EXPECT_FALSE(SetThreadPriority(h, THREAD_PRIORITY_NORMAL));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        SetLastError(kSentinel);
        EXPECT_EQ(GetThreadPriority(h), THREAD_PRIORITY_ERROR_RETURN);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        SetLastError(kSentinel);
        EXPECT_FALSE(CloseHandle(h));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
    EXPECT_EQ(GlobalFree(memory), nullptr);  // CloseHandle did not take the memory handle
    CloseHandle(event);
}

}  // namespace
