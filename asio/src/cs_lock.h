// Scoped ownership of a critical section. The driver's critical sections are
// recursive, so a scope may re-enter one its thread already holds.
#pragma once

#include "win32.h"

class CCsLock {
public:
    explicit CCsLock(CRITICAL_SECTION* cs) : m_cs(cs) {
        if (m_cs != nullptr) EnterCriticalSection(m_cs);
    }
    ~CCsLock() {
        if (m_cs != nullptr) LeaveCriticalSection(m_cs);
    }
    CCsLock(const CCsLock&) = delete;
    CCsLock& operator=(const CCsLock&) = delete;

private:
    CRITICAL_SECTION* m_cs;
};
