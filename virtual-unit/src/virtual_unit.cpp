// The kernel driver's three entry points: open, control, close.
#include "virtual_unit/virtual_unit.h"

#include <cstring>

#include "device/identity.h"
#include "device/ioctl.h"
#include "model_state.h"

namespace vu {

namespace {

// The unit number (1..8) a device path names, or 0. The object manager compares
// names without regard to case, so the unit does too.
int UnitOfPath(LPCWSTR path) {
    if (path == nullptr) return 0;
    wchar_t prefix[32] = L"\\\\.\\";
    size_t n = 4;
    for (const wchar_t* b = device::kDeviceBaseNameW; *b != L'\0' && n + 3 < 32; ++b) prefix[n++] = *b;
    prefix[n++] = L'0';
    prefix[n++] = L'0';
    prefix[n] = L'\0';
    auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    for (size_t i = 0; i < n; ++i)
        if (path[i] == L'\0' || lower(path[i]) != lower(prefix[i])) return 0;
    const wchar_t digit = path[n];
    if (digit < L'1' || digit > L'0' + kMaxUnits || path[n + 1] != L'\0') return 0;
    return static_cast<int>(digit - L'0');
}

// Requests whose first input word the contract fixes to 0.
bool FirstWordIsZero(uint32_t code) {
    switch (code) {
        case IOCTL_GET_BUFFER_SIZES:   // all reserved
        case IOCTL_GET_CLOCK_STATUS:   // the previous answer comes back
        case IOCTL_GET_SETTINGS:       // the record's own words
        case IOCTL_SET_SETTINGS:
            return false;
        default:
            return true;
    }
}

}  // namespace

VirtualUnit::Impl::Impl() {
    InitializeCriticalSection(&cs);
    log.resize(kLogCapacity);
    LARGE_INTEGER frequency;
    if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) ticksPerSecond = frequency.QuadPart;
    for (UnitState& u : units) u.config.present = false;
}

VirtualUnit::Impl::~Impl() {
    StopClockThread();
    // Handles still open belong to a process that broke the port's rule; their
    // mappings are not completed, only the handle events go.
    for (auto& entry : handles) CloseHandle(entry.second->token);
    handles.clear();
    DeleteCriticalSection(&cs);
}

VirtualUnit::VirtualUnit() : m_impl(std::make_unique<Impl>()) {}

VirtualUnit::VirtualUnit(const UnitSet& units) : VirtualUnit() { Configure(units); }

VirtualUnit::~VirtualUnit() = default;

HANDLE VirtualUnit::Open(LPCWSTR path, DWORD access, DWORD shareMode, DWORD creation, DWORD flags) {
    Impl& m = *m_impl;
    LogEntry entry;
    entry.kind = LogKind::Open;
    entry.words[0] = access;
    entry.words[1] = shareMode;
    entry.words[2] = creation;
    entry.words[3] = flags;
    entry.threadId = GetCurrentThreadId();
    entry.unit = UnitOfPath(path);
    entry.handle = INVALID_HANDLE_VALUE;

    DWORD error = 0;
    {
        Lock lock(m.cs);
        UnitState* u = m.Unit(entry.unit);
        if (u == nullptr || !u->config.present) {
            error = ERROR_FILE_NOT_FOUND;
        } else if (creation != OPEN_EXISTING) {
            error = ERROR_INVALID_PARAMETER;
        } else {
            // A fresh event stands for the handle: its value is unique in the
            // process for as long as the handle is open.
            HANDLE token = CreateEventW(nullptr, TRUE, FALSE, nullptr);
            if (token == nullptr) {
                error = ERROR_NOT_ENOUGH_MEMORY;
            } else {
                auto h = std::make_unique<HandleState>();
                h->token = token;
                h->unit = entry.unit;
                h->generation = u->generation;
                h->overlappedIo = (flags & FILE_FLAG_OVERLAPPED) != 0;
                m.handles[token] = std::move(h);
                entry.handle = token;
            }
        }
        entry.result = error == 0;
        entry.error = error;
        m.Append(entry);
    }
    SetLastError(error);
    return error == 0 ? entry.handle : INVALID_HANDLE_VALUE;
}

BOOL VirtualUnit::Control(HANDLE device, DWORD code, LPVOID inBuffer, DWORD inSize, LPVOID outBuffer, DWORD outSize,
                          LPDWORD bytesReturned, LPOVERLAPPED overlapped) {
    Impl& m = *m_impl;
    LogEntry entry;
    entry.kind = LogKind::Request;
    entry.handle = device;
    entry.code = code;
    entry.inSize = inSize;
    entry.outSize = outSize;
    entry.threadId = GetCurrentThreadId();
    if (inBuffer != nullptr && inSize > 0)
        std::memcpy(entry.words, inBuffer, inSize < sizeof entry.words ? inSize : sizeof entry.words);

    DWORD error = 0;
    DWORD answered = 0;
    {
        Lock lock(m.cs);
        auto it = m.handles.find(device);
        const device::RequestInfo* info = device::FindRequest(code);
        if (device == nullptr || device == INVALID_HANDLE_VALUE || it == m.handles.end()) {
            error = ERROR_INVALID_HANDLE;
        } else {
            HandleState& h = *it->second;
            UnitState& u = m.units[h.unit - 1];
            entry.unit = h.unit;
            if (!m.Alive(h)) {
                error = ERROR_DEVICE_NOT_CONNECTED;
            } else if (info == nullptr) {
                error = ERROR_INVALID_FUNCTION;
            } else if (overlapped == nullptr && bytesReturned == nullptr) {
                // Windows needs the byte count of a synchronous request.
                error = ERROR_INVALID_PARAMETER;
            } else if (code == IOCTL_MAP_BUFFER) {
                error = m.MapBuffer(h, u, inBuffer, inSize, outBuffer, outSize, overlapped);
            } else if (code == IOCTL_RELEASE_BUFFER) {
                if (inSize != 0 || outSize != 0) error = ERROR_INVALID_PARAMETER;
                Fault::Word unused[1];
                uint32_t unusedCount = 0;
                if (error == 0) error = m.CheckFaults(code, h.unit, unused, &unusedCount, 0);
                if (error == 0) error = m.ReleaseBuffer(h, u);
            } else {
                const uint32_t size = info->size;
                alignas(8) uint8_t buffer[sizeof(UNIT_ID)];
                static_assert(sizeof(UNIT_ID) >= sizeof(DRV_SETTINGS_BUFFER));
                if (inBuffer == nullptr || outBuffer == nullptr) {
                    error = ERROR_INVALID_PARAMETER;
                } else if (inSize < size || outSize < size) {
                    error = ERROR_INSUFFICIENT_BUFFER;
                } else if (inSize != size || outSize != size || size > sizeof buffer) {
                    error = ERROR_INVALID_PARAMETER;
                } else {
                    std::memcpy(buffer, inBuffer, size);
                    uint32_t first;
                    std::memcpy(&first, buffer, sizeof first);
                    if (size >= 4 && FirstWordIsZero(code) && first != 0) error = ERROR_INVALID_PARAMETER;
                }
                Fault::Word words[16];
                uint32_t wordCount = 0;
                if (error == 0) error = m.CheckFaults(code, h.unit, words, &wordCount, 16);
                if (error == 0) error = m.Answer(h, u, code, buffer);
                if (error == 0) {
                    for (uint32_t i = 0; i < wordCount; ++i)
                        if (words[i].offset <= size && size - words[i].offset >= 4)
                            std::memcpy(buffer + words[i].offset, &words[i].value, 4);
                    std::memcpy(outBuffer, buffer, size);
                    answered = size;
                }
            }
        }
        if (error == 0 && overlapped != nullptr && code != IOCTL_MAP_BUFFER) {
            // A request sent with a record completes at once, as the I/O manager
            // reports a synchronous completion: status, count, event.
            overlapped->Internal = 0;
            overlapped->InternalHigh = answered;
            if (overlapped->hEvent != nullptr) SetEvent(overlapped->hEvent);
        }
        entry.result = error == 0;
        entry.error = error;
        m.Append(entry);
    }
    if (bytesReturned != nullptr && error != ERROR_IO_PENDING) *bytesReturned = answered;
    if (error != 0) SetLastError(error);
    return error == 0;
}

BOOL VirtualUnit::Close(HANDLE device) {
    Impl& m = *m_impl;
    LogEntry entry;
    entry.kind = LogKind::Close;
    entry.handle = device;
    entry.threadId = GetCurrentThreadId();
    DWORD error = 0;
    {
        Lock lock(m.cs);
        auto it = m.handles.find(device);
        if (device == nullptr || device == INVALID_HANDLE_VALUE || it == m.handles.end()) {
            error = ERROR_INVALID_HANDLE;
        } else {
            HandleState& h = *it->second;
            UnitState& u = m.units[h.unit - 1];
            entry.unit = h.unit;
            // The stream stops touching the ring before its mapping completes,
            // since the process may free the block as soon as it sees the event.
            if (u.stream.owner == &h) m.EndStream(u);
            if (h.mapping.pending) m.CompleteMapping(h);
            CloseHandle(h.token);
            m.handles.erase(it);
        }
        entry.result = error == 0;
        entry.error = error;
        m.Append(entry);
    }
    if (error != 0) SetLastError(error);
    return error == 0;
}

}  // namespace vu
