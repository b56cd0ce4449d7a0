// The request log and the fault table.
#include "device/ioctl.h"
#include "model_state.h"

namespace vu {

namespace {

bool Matches(const LogEntry& e, uint32_t code, int unit) {
    return e.kind == LogKind::Request && (code == 0 || e.code == code) && (unit == 0 || e.unit == unit);
}

}  // namespace

void VirtualUnit::Impl::Append(LogEntry& entry) {
    entry.sequence = nextSequence++;
    const size_t capacity = log.size();
    if (logCount < capacity) {
        log[(logFirst + logCount) % capacity] = entry;
        ++logCount;
    } else {
        log[logFirst] = entry;
        logFirst = (logFirst + 1) % capacity;
    }
}

size_t VirtualUnit::Impl::CountLocked(uint32_t code, int unit) const {
    size_t count = 0;
    for (size_t i = 0; i < logCount; ++i)
        if (Matches(log[(logFirst + i) % log.size()], code, unit)) ++count;
    return count;
}

DWORD VirtualUnit::Impl::CheckFaults(uint32_t code, int unit, Fault::Word* words, uint32_t* wordCount,
                                     uint32_t maxWords) {
    DWORD error = 0;
    *wordCount = 0;
    for (FaultSlot& slot : faults) {
        const Fault& f = slot.fault;
        if (f.code != code || (f.unit != 0 && f.unit != unit)) continue;
        ++slot.seen;
        if (slot.seen < f.from || (f.times != 0 && slot.applied >= f.times)) continue;
        ++slot.applied;
        if (f.error != 0) {
            if (error == 0) error = f.error;
            continue;
        }
        for (uint32_t i = 0; i < f.answerCount && i < 4 && *wordCount < maxWords; ++i) words[(*wordCount)++] = f.answer[i];
    }
    return error;
}

std::vector<LogEntry> VirtualUnit::Log() const {
    Lock lock(m_impl->cs);
    std::vector<LogEntry> entries;
    entries.reserve(m_impl->logCount);
    for (size_t i = 0; i < m_impl->logCount; ++i)
        entries.push_back(m_impl->log[(m_impl->logFirst + i) % m_impl->log.size()]);
    return entries;
}

size_t VirtualUnit::CountRequests(uint32_t code, int unit) const {
    Lock lock(m_impl->cs);
    return m_impl->CountLocked(code, unit);
}

std::vector<LogEntry> VirtualUnit::Requests(uint32_t code, int unit) const {
    Lock lock(m_impl->cs);
    std::vector<LogEntry> entries;
    for (size_t i = 0; i < m_impl->logCount; ++i) {
        const LogEntry& e = m_impl->log[(m_impl->logFirst + i) % m_impl->log.size()];
        if (Matches(e, code, unit)) entries.push_back(e);
    }
    return entries;
}

void VirtualUnit::ClearLog() {
    Lock lock(m_impl->cs);
    m_impl->logFirst = 0;
    m_impl->logCount = 0;
}

bool VirtualUnit::WaitForRequests(uint32_t code, size_t count, DWORD timeoutMs, int unit) const {
    const DWORD start = timeGetTime();
    for (;;) {
        if (CountRequests(code, unit) >= count) return true;
        if (timeGetTime() - start >= timeoutMs) return false;
        Sleep(1);
    }
}

int VirtualUnit::AddFault(const Fault& fault) {
    if (device::FindRequest(fault.code) == nullptr) return 0;
    Lock lock(m_impl->cs);
    FaultSlot slot;
    slot.id = m_impl->nextFaultId++;
    slot.fault = fault;
    m_impl->faults.push_back(slot);
    return slot.id;
}

bool VirtualUnit::RemoveFault(int id) {
    Lock lock(m_impl->cs);
    auto& faults = m_impl->faults;
    for (auto it = faults.begin(); it != faults.end(); ++it) {
        if (it->id == id) {
            faults.erase(it);
            return true;
        }
    }
    return false;
}

void VirtualUnit::ClearFaults() {
    Lock lock(m_impl->cs);
    m_impl->faults.clear();
}

}  // namespace vu
