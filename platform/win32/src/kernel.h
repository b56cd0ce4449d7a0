// Internals shared by the Linux Win32 subset: kernel objects, the process-wide
// handle table, the lock that guards every waitable state, and the conversion of
// host errors to Windows error codes.
#pragma once

#include "win32.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace mx {

// The one place where a host error (errno) becomes a GetLastError value.
DWORD ErrorFromErrno(int error);

enum class ObjectType { Event, Thread, Mutex, Memory, RegistryKey };

// Anything a handle can name. Objects are reference-counted through shared_ptr:
// each handle holds one reference, and so does whatever else keeps the object
// alive (a running thread holds its own thread object).
class Object {
public:
    explicit Object(ObjectType type) : m_type(type) {}
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    ObjectType Type() const { return m_type; }

private:
    const ObjectType m_type;
};

// A thread blocked in a wait; it sits in the waiter list of every object it waits on.
struct Waiter {
    std::condition_variable wake;
};

// An object a thread can wait on. All state below and in derived classes is
// guarded by KernelLock().
class WaitableObject : public Object {
public:
    using Object::Object;
    // Would a wait by `threadId` be satisfied now?
    virtual bool IsSignalled(DWORD threadId) const = 0;
    // Applies the side effect of a satisfied wait (auto-reset, mutex ownership).
    virtual void Consume(DWORD threadId) = 0;
    // Wakes every thread waiting on this object so that it looks again. Caller holds KernelLock().
    void WakeWaiters();

    std::vector<Waiter*> m_waiters;
};

// Guards the state of every waitable object and the waiter lists.
std::mutex& KernelLock();

// Handle table. Handle values are multiples of 4, never NULL or INVALID_HANDLE_VALUE.
// Insert returns NULL with ERROR_NOT_ENOUGH_MEMORY when the table is full.
HANDLE InsertHandle(std::shared_ptr<Object> object);
// The object behind `handle` if it is open and of `type`; null otherwise.
std::shared_ptr<Object> LookupHandle(HANDLE handle, ObjectType type);
// Any waitable object behind `handle`; null otherwise.
std::shared_ptr<WaitableObject> LookupWaitable(HANDLE handle);
// Removes `handle` if it names an object of one of the `types`; returns that object
// (its last reference may then be dropped by the caller, outside the table lock).
std::shared_ptr<Object> RemoveHandle(HANDLE handle, std::initializer_list<ObjectType> types);

template <class T>
std::shared_ptr<T> Lookup(HANDLE handle, ObjectType type) {
    return std::static_pointer_cast<T>(LookupHandle(handle, type));
}

// In-process namespace of named kernel objects (events and mutexes share it, as on
// Windows). Callers hold NamespaceLock() across a find and the following add.
std::mutex& NamespaceLock();
std::shared_ptr<Object> FindNamed(const std::string& name);
void AddNamed(const std::string& name, const std::shared_ptr<Object>& object);

// Text conversion between the W functions' wchar_t strings and the UTF-8 that
// the A functions and the host use.
std::string NarrowFromWide(const WCHAR* text, size_t units);
std::string NarrowFromWide(const WCHAR* text);  // zero-terminated
std::wstring WideFromNarrow(const char* text, size_t bytes);

// Current thread's process-unique id (GetCurrentThreadId).
DWORD CurrentThreadId();

}  // namespace mx
