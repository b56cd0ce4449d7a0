// Sleeping and clocks. Every clock here is monotonic.
#include "kernel.h"

#include <cerrno>
#include <sched.h>
#include <time.h>
#include <unistd.h>

namespace {

uint64_t MonotonicNanoseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

}  // namespace

// Windows: suspends the thread for at least `milliseconds`; 0 gives up the time slice.
void WINAPI Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    if (milliseconds == INFINITE) {
        for (;;) pause();
    }
    timespec until;
    clock_gettime(CLOCK_MONOTONIC, &until);
    until.tv_sec += milliseconds / 1000;
    until.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
    if (until.tv_nsec >= 1000000000L) {
        until.tv_sec += 1;
        until.tv_nsec -= 1000000000L;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

// Windows: milliseconds since an arbitrary start, wrapping at 2^32.
DWORD WINAPI timeGetTime(void) { return static_cast<DWORD>(MonotonicNanoseconds() / 1000000u); }

// Windows: the same millisecond count as timeGetTime.
DWORD WINAPI GetTickCount(void) { return timeGetTime(); }

// Windows: a high-resolution monotonic count, in units of QueryPerformanceFrequency.
BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (!count) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    count->QuadPart = static_cast<LONGLONG>(MonotonicNanoseconds());
    return TRUE;
}

// Windows: counts per second of QueryPerformanceCounter (here nanoseconds).
BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (!frequency) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    frequency->QuadPart = 1000000000;
    return TRUE;
}
