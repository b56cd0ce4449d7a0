// Shared helpers of the virtual unit's tests: a model behind the device port, and
// requests sent the way the deliverables send them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "device/ioctl.h"
#include "device/paths.h"
#include "device/ring.h"
#include "device_port.h"
#include "virtual_unit/virtual_unit.h"

namespace vutest {

inline constexpr DWORD kSentinel = 0xdeadbeef;

inline std::wstring UnitPath(int unit) {
    wchar_t path[device::kDevicePathChars];
    device::FormatDevicePathW(path, device::kDevicePathChars, unit);
    return path;
}

inline HANDLE OpenUnit(int unit, DWORD flags = FILE_FLAG_OVERLAPPED) {
    return DevPort_CreateFileW(UnitPath(unit).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, flags,
                               nullptr);
}

// A buffered request on `payload`, in place, as both deliverables send it.
template <typename T>
BOOL Send(HANDLE device, uint32_t code, T* payload) {
    DWORD bytes = 0;
    return DevPort_DeviceIoControl(device, code, payload, sizeof *payload, payload, sizeof *payload, &bytes, nullptr);
}

inline BOOL Release(HANDLE device) {
    DWORD bytes = 0;
    return DevPort_DeviceIoControl(device, IOCTL_RELEASE_BUFFER, nullptr, 0, nullptr, 0, &bytes, nullptr);
}

inline uint32_t Word(const void* buffer, size_t offset) {
    uint32_t value;
    std::memcpy(&value, static_cast<const uint8_t*>(buffer) + offset, sizeof value);
    return value;
}

inline bool Signalled(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

// A ring block as the ASIO driver prepares it: zeroed, 8-byte aligned, cbHeader = 104.
class RingBlock {
public:
    RingBlock(uint32_t frames, uint32_t width, uint32_t channels, uint64_t extraBytes = 0)
        : m_frames(frames), m_width(width), m_bytes(device::RingBlockBytes(frames, width, channels) + extraBytes),
          m_storage((m_bytes + 7) / 8, 0) {
        Header()->cbHeader = device::kRingHeaderBytes;
    }
    uint8_t* Data() { return reinterpret_cast<uint8_t*>(m_storage.data()); }
    RING_HEADER* Header() { return reinterpret_cast<RING_HEADER*>(Data()); }
    DWORD Size() const { return static_cast<DWORD>(m_bytes); }
    uint64_t PeriodBytes() const { return uint64_t{m_frames} * m_width; }
    // Where period `period` (0..63) of channel `channel` lies.
    uint8_t* Period(uint32_t channel, uint32_t period) {
        return Data() + device::RingOffsetOfChannel(channel, PeriodBytes()) + period * PeriodBytes();
    }

private:
    uint32_t m_frames;
    uint32_t m_width;
    uint64_t m_bytes;
    std::vector<uint64_t> m_storage;
};

// The pending mapping request of one handle.
struct PendingMap {
    OVERLAPPED overlapped{};
    BOOL result = FALSE;
    DWORD error = 0;

    PendingMap() { overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~PendingMap() { CloseHandle(overlapped.hEvent); }
    PendingMap(const PendingMap&) = delete;
    PendingMap& operator=(const PendingMap&) = delete;

    // Sends IOCTL_MAP_BUFFER {0, frames, frames × 64} with `block`; true when pending.
    bool Send(HANDLE device, RingBlock& block, uint32_t frames) { return SendRaw(device, {0, frames, frames * 64}, block.Data(), block.Size()); }
    bool SendRaw(HANDLE device, MAP_BUFFER_REQ req, void* block, DWORD blockBytes) {
        SetLastError(kSentinel);
        result = DevPort_DeviceIoControl(device, IOCTL_MAP_BUFFER, &req, sizeof req, block, blockBytes, nullptr,
                                         &overlapped);
        error = GetLastError();
        return !result && error == ERROR_IO_PENDING;
    }
    bool Completed() const { return Signalled(overlapped.hEvent); }
};

// A model with unit 1 present (defaults unless a test configures it), behind the
// device port for the test's duration.
class VirtualUnitTest : public ::testing::Test {
protected:
    VirtualUnitTest() { model.Configure(1, vu::UnitConfig{}); }

    vu::VirtualUnit model;
    vu::ScopedInstall install{model};
};

}  // namespace vutest
