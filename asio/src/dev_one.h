// One unit of the kernel driver: its device handle, the two memory blocks that
// carry its audio, the pending request that keeps the ring block mapped into the
// kernel driver, and every request that concerns this unit alone.
//
// Host block: room for two halves of the largest buffer per channel, its usable
// start H aligned to 64 bytes; input channel k, half h at H + (2k + h) × P, output
// channel k at H + (2(nIn + k) + h) × P, P = frames × bytes per sample.
// Ring block: the 104-byte RING_HEADER, then one ring of 64 periods per channel,
// inputs first; the kernel driver reads and writes it while the mapping request
// is pending.
//
// Everything a unit answers, and every word of the shared header, is untrusted:
// copies are bounded by the sizes recorded here when the blocks were made, never
// by values read back from the header.
#pragma once

#include <atomic>
#include <cstdint>

#include "device/records.h"
#include "win32.h"

class CDevOne {
public:
    CDevOne();
    ~CDevOne();
    CDevOne(const CDevOne&) = delete;
    CDevOne& operator=(const CDevOne&) = delete;

    // Slot index 0..7 and device path; the handle stays closed.
    void Init(int index);

    bool IsOpen() const { return m_hDev.load(std::memory_order_acquire) != INVALID_HANDLE_VALUE; }
    HANDLE Handle() const { return m_hDev.load(std::memory_order_acquire); }
    int Index() const { return m_nIndex; }
    const char* Path() const { return m_szPath; }

    // --- opening and closing ---
    // Asks IOCTL_GET_PRIMARY_FLAG on a short-lived handle and opens the unit's
    // own handle only when the unit answers nonzero.
    BOOL Open();
    // Cancels a pending mapping, unregisters the events and closes the handle.
    // The memory blocks stay for ReleaseBuffer (the host may still hold pointers).
    void Close();

    // --- requests ---
    // One synchronous request on the unit's handle, the buffer serving as input
    // and output. Fails without sending when the unit is closed.
    BOOL Request(uint32_t code, void* buffer, uint32_t size);
    BOOL EnableNotify(uint32_t enable, HANDLE hStatusEvent, HANDLE hUnitEvent);
    BOOL DisableNotify();
    BOOL GetPosition(DWORD* nTimeMs, DWORD* nPeriod);
    BOOL GetSettings(DRV_SETTINGS_BUFFER* buffer);
    void GetChannelCounts(int32_t* nIn, int32_t* nOut);
    BOOL IsRateSupported(uint32_t nRate);
    uint32_t GetDeviceRate();
    // IOCTL_GET_RATE_LOCK on a short-lived handle: TRUE when the unit answered
    // that another client holds its rate.
    BOOL IsRateLocked();

    // --- buffers ---
    // How long a refused release may still complete the mapping on its own.
    static constexpr DWORD kRefusedReleaseGraceMs = 500;
    BOOL CreateBuffer(BOOL bAlloc, int32_t nFrames, uint32_t nBytesPerSample, uint32_t nChannels);
    void CancelMapping();
    void ReleaseBuffer();
    BOOL ClearBuffer();
    bool HasMapping() const { return m_ovMap.hEvent != nullptr; }

    // --- streaming ---
    BOOL Start(uint32_t nArg1, uint32_t bMain, HANDLE hPeriodEvent);
    BOOL Stop(uint32_t bMain, uint32_t nArg2);
    void PrimeOutput(uint64_t nPreRollBytes);
    void RewindInput();

    // --- the period path (streaming thread, under the stream lock) ---
    // 0: a period is ready; 1: nothing new, or closed, or no ring; 2: the unit's
    // stream has ended (its host block is silenced and the end acknowledged).
    int CheckState();
    BOOL AdvancePeriod();
    void ReadInput(uint32_t nHalf, uint32_t nIn, uint32_t nPeriodBytes);
    void WriteOutput(uint32_t nHalf, uint32_t nOut, uint32_t nIn, uint32_t nPeriodBytes);
    // usrPeriod of the ring, or 0 without a ring.
    uint32_t UserPeriod() const;
    bool IsActive() const { return m_bActive != FALSE; }

    // Address of channel half `half` of ring channel `channel` (inputs first) in
    // the host block, or null when it lies outside the block made for it.
    uint8_t* HostHalf(uint32_t channel, uint32_t half) const;
    RING_HEADER* Ring() const { return m_pRing; }
    uint8_t* HostBase() const;

private:
    void ZeroHostBlock();
    void FreeBlocks(HGLOBAL hHost, void* pHost, HGLOBAL hRing, void* pRing);
    bool CopyAllowed() const;

    // Fields, in the order the unit is described in.
    int32_t m_nIndex = 0;
    char m_szPath[260] = {};
    // Read without a lock by host calls while the streaming thread may close the
    // unit, so the handle is published atomically.
    std::atomic<HANDLE> m_hDev{INVALID_HANDLE_VALUE};
    HGLOBAL m_hHostMem = nullptr;
    uint8_t* m_pHost = nullptr;
    HGLOBAL m_hRingMem = nullptr;
    RING_HEADER* m_pRing = nullptr;
    OVERLAPPED m_ovMap = {};
    NOTIFY_REG m_notify = {};

public:
    int32_t m_nAux = 0;

private:
    BOOL m_bActive = FALSE;

    // The shape the blocks were made for; every copy is bounded by these.
    uint64_t m_cbHost = 0;
    uint64_t m_cbRing = 0;
    uint32_t m_nChannels = 0;     // K
    uint32_t m_nPeriodBytes = 0;  // P
    uint32_t m_nRingLen = 0;      // 64 × P
};
