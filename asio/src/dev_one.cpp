// CDevOne: opening and closing a unit, event registration and the requests that
// concern one unit.
#include "dev_one.h"

#include <cstring>

#include "device/ioctl.h"
#include "device/paths.h"
#include "device/ring.h"
#include "dev_limits.h"
#include "device_port.h"

namespace {

HANDLE OpenDevicePath(const char* path) {
    return DevPort_CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                               nullptr);
}

// One synchronous buffered request on `handle`.
BOOL SendRequest(HANDLE handle, uint32_t code, void* buffer, uint32_t size) {
    if (handle == INVALID_HANDLE_VALUE) return FALSE;
    DWORD returned = 0;
    return DevPort_DeviceIoControl(handle, code, buffer, size, buffer, size, &returned, nullptr) != FALSE;
}

}  // namespace

CDevOne::CDevOne() { m_notify.dwReserved = 0; }

CDevOne::~CDevOne() {
    // No request here: the device set has closed the unit (and with it the
    // mapping) before it is destroyed.
    FreeBlocks(nullptr, nullptr, m_hRingMem, m_pRing);
    FreeBlocks(m_hHostMem, m_pHost, nullptr, nullptr);
    m_hRingMem = nullptr;
    m_pRing = nullptr;
    m_hHostMem = nullptr;
    m_pHost = nullptr;
}

void CDevOne::Init(int index) {
    m_nIndex = index;
    device::FormatDevicePathA(m_szPath, sizeof m_szPath, index + 1);
    m_hDev.store(INVALID_HANDLE_VALUE, std::memory_order_release);
    m_ovMap.hEvent = nullptr;
    m_bActive = FALSE;
}

BOOL CDevOne::Open() {
    HANDLE probe = OpenDevicePath(m_szPath);
    if (probe == INVALID_HANDLE_VALUE) return FALSE;
    uint32_t primary = 0;
    const BOOL answered = SendRequest(probe, IOCTL_GET_PRIMARY_FLAG, &primary, sizeof primary);
    DevPort_CloseHandle(probe);
    // The device object exists, but a unit that does not answer as primary is not
    // ready to serve as the main unit.
    if (!answered || primary == 0) return FALSE;
    HANDLE handle = OpenDevicePath(m_szPath);
    m_hDev.store(handle, std::memory_order_release);
    return handle != INVALID_HANDLE_VALUE;
}

void CDevOne::Close() {
    if (IsOpen() && m_ovMap.hEvent != nullptr) CancelMapping();
    DisableNotify();
    if (IsOpen()) {
        HANDLE handle = m_hDev.exchange(INVALID_HANDLE_VALUE, std::memory_order_acq_rel);
        if (handle != INVALID_HANDLE_VALUE) DevPort_CloseHandle(handle);
    }
}

BOOL CDevOne::Request(uint32_t code, void* buffer, uint32_t size) { return SendRequest(Handle(), code, buffer, size); }

BOOL CDevOne::EnableNotify(uint32_t enable, HANDLE hStatusEvent, HANDLE hUnitEvent) {
    m_notify.bEnable = enable;
    m_notify.hStatusEvent = HandleToWire(hStatusEvent);
    m_notify.hUnitEvent = HandleToWire(hUnitEvent);
    if (!IsOpen()) return FALSE;
    NOTIFY_REG request = m_notify;
    return Request(IOCTL_REGISTER_EVENTS, &request, sizeof request);
}

BOOL CDevOne::DisableNotify() {
    BOOL result = FALSE;
    if (IsOpen()) {
        // The kernel driver identifies the registration by its bytes, so it gets
        // the record exactly as registered.
        NOTIFY_REG request = m_notify;
        result = Request(IOCTL_UNREGISTER_EVENTS, &request, sizeof request);
    }
    const uint32_t first = m_notify.dwReserved;
    std::memset(&m_notify, 0, sizeof m_notify);
    m_notify.dwReserved = first;
    return result;
}

// Streaming thread.
BOOL CDevOne::GetPosition(DWORD* nTimeMs, DWORD* nPeriod) {
    if (!IsOpen()) return FALSE;
    POSITION_REQ request{};
    request.nCallerMs = timeGetTime();
    if (!Request(IOCTL_GET_POSITION, &request, sizeof request)) return FALSE;
    // A period index outside the ring's 64 would keep the catch-up from ever
    // meeting it; such an answer counts as a failed request.
    if (request.nPeriod >= device::kRingPeriods) return FALSE;
    *nTimeMs = request.nDevMs;
    *nPeriod = request.nPeriod;
    return TRUE;
}

BOOL CDevOne::GetSettings(DRV_SETTINGS_BUFFER* buffer) {
    if (!IsOpen()) return FALSE;
    return Request(IOCTL_GET_SETTINGS, buffer, sizeof *buffer);
}

void CDevOne::GetChannelCounts(int32_t* nIn, int32_t* nOut) {
    *nIn = 0;
    *nOut = 0;
    if (!IsOpen()) return;
    CHANNEL_COUNTS_REQ request{};
    if (!Request(IOCTL_GET_CHANNEL_COUNTS, &request, sizeof request)) return;
    *nIn = request.nInputs;
    *nOut = request.nOutputs;
}

BOOL CDevOne::IsRateSupported(uint32_t nRate) {
    if (!IsOpen()) return FALSE;
    RATE_FLAG_REQ request{};
    request.nRate = nRate;
    return Request(IOCTL_CHECK_STREAM_RATE, &request, sizeof request) && request.nRate == nRate;
}

uint32_t CDevOne::GetDeviceRate() {
    if (!IsOpen()) return kDefaultRate;
    RATE_REQ request{};
    request.nRate = kDefaultRate;
    if (!Request(IOCTL_GET_UNIT_RATE, &request, sizeof request)) return kDefaultRate;
    return request.nRate;
}

BOOL CDevOne::IsRateLocked() {
    HANDLE probe = OpenDevicePath(m_szPath);
    if (probe == INVALID_HANDLE_VALUE) return FALSE;
    uint32_t locked = 0;
    const BOOL answered = SendRequest(probe, IOCTL_GET_RATE_LOCK, &locked, sizeof locked);
    DevPort_CloseHandle(probe);
    return answered && locked != 0;
}

BOOL CDevOne::Start(uint32_t nArg1, uint32_t bMain, HANDLE hPeriodEvent) {
    if (!IsOpen()) return TRUE;
    START_STREAM_REQ request{};
    request.nArg1 = nArg1;
    request.bMain = bMain;
    request.hPeriodEvent = hPeriodEvent != nullptr ? HandleToWire(hPeriodEvent) : 0;
    const BOOL ok = Request(IOCTL_START_STREAM, &request, sizeof request);
    if (!ok) m_bActive = FALSE;
    return ok;
}
