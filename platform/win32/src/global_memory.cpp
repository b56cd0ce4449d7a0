// Movable global memory: an opaque handle to a block that is reached through
// GlobalLock. Every block, GMEM_FIXED included, is handle-based, so callers lock
// it before use (portable code does that anyway).
#include "kernel.h"

#include <atomic>
#include <cstdlib>

namespace mx {
namespace {

// Larger requests fail cleanly instead of reaching the allocator, which may abort
// (sanitizers) or promise memory it cannot give.
constexpr SIZE_T kMaxGlobalBytes = SIZE_T{1} << 32;

class MemoryBlock final : public Object {
public:
    MemoryBlock(void* data, SIZE_T size) : Object(ObjectType::Memory), m_data(data), m_size(size) {}
    ~MemoryBlock() override { std::free(m_data); }

    void* const m_data;
    const SIZE_T m_size;
    std::atomic<DWORD> m_lockCount{0};
};

std::shared_ptr<MemoryBlock> LookupBlock(HGLOBAL mem) {
    std::shared_ptr<MemoryBlock> block = Lookup<MemoryBlock>(mem, ObjectType::Memory);
    if (!block) SetLastError(ERROR_INVALID_HANDLE);
    return block;
}

}  // namespace
}  // namespace mx

using mx::MemoryBlock;

// Windows: allocates a block (zeroed with GMEM_ZEROINIT); NULL with
// ERROR_NOT_ENOUGH_MEMORY when it cannot be had.
HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
    void* data = nullptr;
    if (bytes <= mx::kMaxGlobalBytes) {
        const SIZE_T allocated = bytes == 0 ? 1 : bytes;
        data = (flags & GMEM_ZEROINIT) ? std::calloc(1, allocated) : std::malloc(allocated);
    }
    if (!data) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    HGLOBAL handle = mx::InsertHandle(std::make_shared<MemoryBlock>(data, bytes));
    return handle;  // on a full table InsertHandle has set the error and the block is gone
}

// Windows: adds one lock and returns the block's address; an empty block has none
// (NULL with ERROR_DISCARDED, as a discarded block).
LPVOID WINAPI GlobalLock(HGLOBAL mem) {
    std::shared_ptr<MemoryBlock> block = mx::LookupBlock(mem);
    if (!block) return nullptr;
    if (block->m_size == 0) {
        SetLastError(ERROR_DISCARDED);
        return nullptr;
    }
    block->m_lockCount.fetch_add(1, std::memory_order_relaxed);
    return block->m_data;
}

// Windows: removes one lock; TRUE while locks remain, FALSE with NO_ERROR when the
// count reaches 0, FALSE with ERROR_NOT_LOCKED when it was not locked.
BOOL WINAPI GlobalUnlock(HGLOBAL mem) {
    std::shared_ptr<MemoryBlock> block = mx::LookupBlock(mem);
    if (!block) return FALSE;
    DWORD count = block->m_lockCount.load(std::memory_order_relaxed);
    do {
        if (count == 0) {
            SetLastError(ERROR_NOT_LOCKED);
            return FALSE;
        }
    } while (!block->m_lockCount.compare_exchange_weak(count, count - 1, std::memory_order_relaxed));
    if (count - 1 != 0) return TRUE;
    SetLastError(NO_ERROR);
    return FALSE;
}

// Windows: frees the block (locked or not); NULL on success, the handle on failure.
HGLOBAL WINAPI GlobalFree(HGLOBAL mem) {
    if (!mx::RemoveHandle(mem, {mx::ObjectType::Memory})) {
        SetLastError(ERROR_INVALID_HANDLE);
        return mem;
    }
    return nullptr;
}

// Windows: the block's size in bytes; 0 with ERROR_INVALID_HANDLE for a bad handle.
SIZE_T WINAPI GlobalSize(HGLOBAL mem) {
    std::shared_ptr<MemoryBlock> block = mx::LookupBlock(mem);
    return block ? block->m_size : 0;
}
