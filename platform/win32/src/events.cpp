// Events: auto-reset and manual-reset, optionally named within the process.
#include "kernel.h"

namespace mx {
namespace {

class Event final : public WaitableObject {
public:
    Event(bool manualReset, bool signalled)
        : WaitableObject(ObjectType::Event), m_manualReset(manualReset), m_signalled(signalled) {}
    bool IsSignalled(DWORD) const override { return m_signalled; }
    // An auto-reset event releases exactly one wait per SetEvent.
    void Consume(DWORD) override {
        if (!m_manualReset) m_signalled = false;
    }
    void Set(bool signalled) {
        m_signalled = signalled;
        if (signalled) WakeWaiters();
    }

private:
    const bool m_manualReset;
    bool m_signalled;
};

HANDLE CreateEventNamed(BOOL manualReset, BOOL initialState, const std::string* name) {
    std::lock_guard<std::mutex> names(NamespaceLock());
    if (name) {
        if (std::shared_ptr<Object> existing = FindNamed(*name)) {
            if (existing->Type() != ObjectType::Event) {
                SetLastError(ERROR_INVALID_HANDLE);
                return nullptr;
            }
            HANDLE handle = InsertHandle(existing);
            if (handle) SetLastError(ERROR_ALREADY_EXISTS);
            return handle;
        }
    }
    auto event = std::make_shared<Event>(manualReset != FALSE, initialState != FALSE);
    HANDLE handle = InsertHandle(event);
    if (!handle) return nullptr;
    if (name) AddNamed(*name, event);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL SetEventState(HANDLE h, bool signalled) {
    std::shared_ptr<Event> event = Lookup<Event>(h, ObjectType::Event);
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(KernelLock());
    event->Set(signalled);
    return TRUE;
}

}  // namespace
}  // namespace mx

// Windows: creates an event (a named one is shared within the process; an existing
// name gives a new handle to it and ERROR_ALREADY_EXISTS, otherwise last error 0).
HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR name) {
    if (!name || !*name) return mx::CreateEventNamed(manualReset, initialState, nullptr);
    const std::string key(name);
    return mx::CreateEventNamed(manualReset, initialState, &key);
}

// Windows: wide form of CreateEventA.
HANDLE WINAPI CreateEventW(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCWSTR name) {
    if (!name || !*name) return mx::CreateEventNamed(manualReset, initialState, nullptr);
    const std::string key = mx::NarrowFromWide(name);
    return mx::CreateEventNamed(manualReset, initialState, &key);
}

// Windows: signals the event; waiting threads (one, for auto-reset) are released.
BOOL WINAPI SetEvent(HANDLE h) { return mx::SetEventState(h, true); }

// Windows: puts the event back into the non-signalled state.
BOOL WINAPI ResetEvent(HANDLE h) { return mx::SetEventState(h, false); }
