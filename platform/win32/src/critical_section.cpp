// Critical sections: recursive process-local locks, as on Windows.
#include "kernel.h"

// Windows: prepares a critical section; the owning thread may enter it again.
void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION cs) {
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&cs->mutex, &attr);
    pthread_mutexattr_destroy(&attr);
}

// Windows: releases the resources of an unowned critical section.
void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION cs) { pthread_mutex_destroy(&cs->mutex); }

// Windows: waits for ownership; recursive entry by the owner counts.
void WINAPI EnterCriticalSection(LPCRITICAL_SECTION cs) { pthread_mutex_lock(&cs->mutex); }

// Windows: undoes one entry by the owning thread.
void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION cs) { pthread_mutex_unlock(&cs->mutex); }

// Windows: enters without waiting; FALSE when another thread owns it.
BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION cs) { return pthread_mutex_trylock(&cs->mutex) == 0; }
