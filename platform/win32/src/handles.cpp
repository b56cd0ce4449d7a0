// The process-wide handle table, the kernel lock and the namespace of named objects.
#include "kernel.h"
#include "win32_linux.h"

#include <deque>
#include <map>

namespace mx {
namespace {

// Process-wide state lives until the process ends (never destroyed), so detached
// threads still running at exit never see it torn down.
struct HandleTable {
    std::mutex lock;
    std::vector<std::shared_ptr<Object>> slots;
    std::deque<size_t> freeSlots;  // reused oldest first, so a stale handle stays invalid for a while
};

constexpr size_t kMaxHandles = size_t{1} << 20;

HandleTable& Table() {
    static HandleTable* table = new HandleTable;
    return *table;
}

HANDLE HandleFromIndex(size_t index) { return reinterpret_cast<HANDLE>((index + 1) * 4); }

// The slot index of a handle value, or kMaxHandles when it cannot be one of ours.
size_t IndexFromHandle(HANDLE handle) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value == 0 || value % 4 != 0 || value / 4 > kMaxHandles) return kMaxHandles;
    return value / 4 - 1;
}

}  // namespace

void WaitableObject::WakeWaiters() {
    for (Waiter* waiter : m_waiters) waiter->wake.notify_one();
}

std::mutex& KernelLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

HANDLE InsertHandle(std::shared_ptr<Object> object) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    size_t index;
    if (!table.freeSlots.empty() && (table.freeSlots.size() > 64 || table.slots.size() >= kMaxHandles)) {
        index = table.freeSlots.front();
        table.freeSlots.pop_front();
    } else if (table.slots.size() < kMaxHandles) {
        index = table.slots.size();
        table.slots.emplace_back();
    } else {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    table.slots[index] = std::move(object);
    return HandleFromIndex(index);
}

std::shared_ptr<Object> LookupHandle(HANDLE handle, ObjectType type) {
    HandleTable& table = Table();
    const size_t index = IndexFromHandle(handle);
    std::lock_guard<std::mutex> guard(table.lock);
    if (index >= table.slots.size() || !table.slots[index] || table.slots[index]->Type() != type) return nullptr;
    return table.slots[index];
}

std::shared_ptr<WaitableObject> LookupWaitable(HANDLE handle) {
    HandleTable& table = Table();
    const size_t index = IndexFromHandle(handle);
    std::lock_guard<std::mutex> guard(table.lock);
    if (index >= table.slots.size() || !table.slots[index]) return nullptr;
    return std::dynamic_pointer_cast<WaitableObject>(table.slots[index]);
}

std::shared_ptr<Object> RemoveHandle(HANDLE handle, std::initializer_list<ObjectType> types) {
    HandleTable& table = Table();
    const size_t index = IndexFromHandle(handle);
    std::lock_guard<std::mutex> guard(table.lock);
    if (index >= table.slots.size() || !table.slots[index]) return nullptr;
    for (ObjectType type : types) {
        if (table.slots[index]->Type() == type) {
            std::shared_ptr<Object> object = std::move(table.slots[index]);
            table.slots[index].reset();
            table.freeSlots.push_back(index);
            return object;
        }
    }
    return nullptr;
}

namespace {
std::map<std::string, std::weak_ptr<Object>>& Names() {
    static auto* names = new std::map<std::string, std::weak_ptr<Object>>;
    return *names;
}
}  // namespace

std::mutex& NamespaceLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

std::shared_ptr<Object> FindNamed(const std::string& name) {
    auto found = Names().find(name);
    if (found == Names().end()) return nullptr;
    std::shared_ptr<Object> object = found->second.lock();
    if (!object) Names().erase(found);
    return object;
}

void AddNamed(const std::string& name, const std::shared_ptr<Object>& object) {
    std::erase_if(Names(), [](const auto& entry) { return entry.second.expired(); });
    Names()[name] = object;
}

}  // namespace mx

// Linux only: how many handles are open, for leak checks in tests.
DWORD MxOpenHandleCount(void) {
    auto& table = mx::Table();
    std::lock_guard<std::mutex> guard(table.lock);
    return static_cast<DWORD>(table.slots.size() - table.freeSlots.size());
}

// Windows: closes a kernel-object handle; the object goes when its last reference does.
BOOL WINAPI CloseHandle(HANDLE h) {
    std::shared_ptr<mx::Object> object =
        mx::RemoveHandle(h, {mx::ObjectType::Event, mx::ObjectType::Thread, mx::ObjectType::Mutex});
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
