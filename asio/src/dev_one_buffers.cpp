// CDevOne: the host block and the ring block, and the mapping request that
// shares the ring block with the kernel driver.
#include <cstring>

#include "dev_limits.h"
#include "dev_one.h"
#include "device/ioctl.h"
#include "device/ring.h"
#include "device_port.h"
#include "shared_words.h"

void CDevOne::FreeBlocks(HGLOBAL hHost, void* pHost, HGLOBAL hRing, void* pRing) {
    if (hHost != nullptr) {
        if (pHost != nullptr) GlobalUnlock(hHost);
        GlobalFree(hHost);
    }
    if (hRing != nullptr) {
        if (pRing != nullptr) GlobalUnlock(hRing);
        GlobalFree(hRing);
    }
}

BOOL CDevOne::CreateBuffer(BOOL bAlloc, int32_t nFrames, uint32_t nBytesPerSample, uint32_t nChannels) {
    if (nFrames < 0 || nFrames > device::kMaxBufferFrames || !IsSupportedSampleBytes(nBytesPerSample) ||
        nChannels > kMaxUnitChannels)
        return FALSE;
    const uint64_t frames = static_cast<uint64_t>(nFrames);
    const uint64_t hostBytes = device::HostBlockBytes(nBytesPerSample, nChannels);
    const uint64_t ringBytes = device::RingBlockBytes(frames, nBytesPerSample, nChannels);

    HGLOBAL hHost = nullptr;
    HGLOBAL hRing = nullptr;
    uint8_t* pHost = nullptr;
    RING_HEADER* pRing = nullptr;
    if (bAlloc) {
        if (hostBytes > kMaxBlockBytes || ringBytes > kMaxBlockBytes) return FALSE;
        hHost = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(hostBytes));
        if (hHost != nullptr) pHost = static_cast<uint8_t*>(GlobalLock(hHost));
        hRing = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(ringBytes));
        if (hRing != nullptr) pRing = static_cast<RING_HEADER*>(GlobalLock(hRing));
        if (pHost == nullptr || pRing == nullptr) {
            FreeBlocks(hHost, pHost, hRing, pRing);
            return FALSE;
        }
        pRing->cbHeader = device::kRingHeaderBytes;
        std::memset(reinterpret_cast<uint8_t*>(pRing) + 4, 0, 20);
    }

    if (IsOpen() && pRing != nullptr) {
        // The kernel driver keeps one mapping per handle and reads the old block
        // until it lets it go; release it before a new one is handed over.
        if (m_ovMap.hEvent != nullptr) CancelMapping();
        MAP_BUFFER_REQ request{};
        request.nFrames = static_cast<uint32_t>(frames);
        request.nRingFrames = static_cast<uint32_t>(frames * device::kRingPeriods);
        std::memset(&m_ovMap, 0, sizeof m_ovMap);
        m_ovMap.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        BOOL mapped = FALSE;
        if (m_ovMap.hEvent != nullptr) {
            DWORD returned = 0;
            mapped = DevPort_DeviceIoControl(Handle(), IOCTL_MAP_BUFFER, &request, sizeof request, pRing,
                                             static_cast<DWORD>(GlobalSize(hRing)), &returned, &m_ovMap);
            if (!mapped) {
                // Pending is the expected answer: the request completes only when
                // the ring is released.
                const DWORD error = GetLastError();
                mapped = (error == ERROR_IO_PENDING || error == 0) ? TRUE : FALSE;
            }
            if (!mapped) {
                CloseHandle(m_ovMap.hEvent);
                m_ovMap.hEvent = nullptr;
            }
        }
        if (!mapped) {
            FreeBlocks(hHost, pHost, hRing, pRing);
            return FALSE;
        }
    }

    HGLOBAL oldHost = nullptr;
    HGLOBAL oldRing = nullptr;
    void* oldHostPtr = nullptr;
    void* oldRingPtr = nullptr;
    if (bAlloc) {
        oldHost = m_hHostMem;
        oldHostPtr = m_pHost;
        oldRing = m_hRingMem;
        oldRingPtr = m_pRing;
        m_hHostMem = hHost;
        m_pHost = pHost;
        m_hRingMem = hRing;
        m_pRing = pRing;
        m_cbHost = hostBytes;
        m_cbRing = ringBytes;
        m_nChannels = nChannels;
        m_nPeriodBytes = static_cast<uint32_t>(frames * nBytesPerSample);
        m_nRingLen = static_cast<uint32_t>(device::RingLength(m_nPeriodBytes));
        // The kernel driver may already look at the header: whole-word stores.
        StoreWord(pRing->inPos, 0);
        StoreWord(pRing->inWraps, 0);
        StoreQword(pRing->inReserved, 0);
        StoreQword(pRing->outReserved, 0);
        StoreWord(pRing->outPos, 0);
        StoreWord(pRing->outWraps, 0);
        StoreWord(pRing->inLen, m_nRingLen);
        StoreWord(pRing->outLen, m_nRingLen);
    }
    FreeBlocks(oldHost, oldHostPtr, oldRing, oldRingPtr);
    return TRUE;
}

void CDevOne::CancelMapping() {
    if (!IsOpen() || m_ovMap.hEvent == nullptr) return;
    DWORD returned = 0;
    const BOOL released =
        DevPort_DeviceIoControl(Handle(), IOCTL_RELEASE_BUFFER, nullptr, 0, nullptr, 0, &returned, nullptr);
    // A unit that has gone away refuses the release but has completed the
    // mapping already. One that refuses it and keeps the mapping would make the
    // wait below endless: closing our handle ends every request pending on it,
    // and the unit is given up as lost.
    if (!released && WaitForSingleObject(m_ovMap.hEvent, kRefusedReleaseGraceMs) != WAIT_OBJECT_0) {
        HANDLE handle = m_hDev.exchange(INVALID_HANDLE_VALUE, std::memory_order_acq_rel);
        if (handle != INVALID_HANDLE_VALUE) DevPort_CloseHandle(handle);
    }
    // Only once the kernel driver has completed the mapping request may the ring
    // block be unlocked and freed.
    WaitForSingleObject(m_ovMap.hEvent, INFINITE);
    CloseHandle(m_ovMap.hEvent);
    m_ovMap.hEvent = nullptr;
}

void CDevOne::ReleaseBuffer() {
    if (m_hHostMem == nullptr || m_hRingMem == nullptr) return;
    CancelMapping();
    FreeBlocks(m_hHostMem, m_pHost, nullptr, nullptr);
    FreeBlocks(nullptr, nullptr, m_hRingMem, m_pRing);
    m_hHostMem = nullptr;
    m_pHost = nullptr;
    m_hRingMem = nullptr;
    m_pRing = nullptr;
    m_cbHost = 0;
    m_cbRing = 0;
    m_nChannels = 0;
    m_nPeriodBytes = 0;
    m_nRingLen = 0;
}

uint8_t* CDevOne::HostBase() const {
    if (m_pHost == nullptr) return nullptr;
    const uintptr_t start = reinterpret_cast<uintptr_t>(m_pHost);
    const uintptr_t aligned = (start + (device::kHostBlockAlignment - 1)) & ~uintptr_t(device::kHostBlockAlignment - 1);
    return m_pHost + (aligned - start);
}

uint8_t* CDevOne::HostHalf(uint32_t channel, uint32_t half) const {
    uint8_t* base = HostBase();
    if (base == nullptr || channel >= m_nChannels || half > 1) return nullptr;
    const uint64_t offset = (2ull * channel + half) * m_nPeriodBytes;
    const uint64_t usable = m_cbHost - static_cast<uint64_t>(base - m_pHost);
    if (offset + m_nPeriodBytes > usable) return nullptr;
    return base + offset;
}

void CDevOne::ZeroHostBlock() {
    uint8_t* base = HostBase();
    if (base == nullptr) return;
    std::memset(base, 0, static_cast<size_t>(m_cbHost - static_cast<uint64_t>(base - m_pHost)));
}

BOOL CDevOne::ClearBuffer() {
    if (!IsOpen()) return TRUE;
    ZeroHostBlock();
    if (m_pRing != nullptr && m_cbRing > device::kRingHeaderBytes)
        std::memset(reinterpret_cast<uint8_t*>(m_pRing) + device::kRingHeaderBytes, 0,
                    static_cast<size_t>(m_cbRing - device::kRingHeaderBytes));
    m_bActive = TRUE;
    return TRUE;
}
