// The device set: eight unit slots, the main unit among them, the streaming
// thread with its events, and the tables of channels the host created buffers
// for. Only the first of slots 1 to 4 that reports itself primary is ever
// opened; every loop still runs over all eight slots and skips closed ones.
#pragma once

#include <atomic>
#include <cstdint>

#include "asio_thread.h"
#include "dev_one.h"
#include "win32.h"

class AsioOurs;

class CDevAll {
public:
    static constexpr int kSlots = 8;
    static constexpr int kSlotsTried = 4;  // slots 1..4 may become the main unit
    static constexpr int kActiveChannels = 512;

    CDevAll();
    ~CDevAll() = default;
    CDevAll(const CDevAll&) = delete;
    CDevAll& operator=(const CDevAll&) = delete;

    // --- opening and closing (the thread that creates or destroys the driver) ---
    void Init(AsioOurs* owner);
    bool OpenDevs();
    bool SetMain();
    void CloseDevs();
    // Streaming thread, on the unit event of slot index + 1.
    bool DropDev(int index);

    // --- buffers and transport (host threads) ---
    bool CreateBuf(int32_t frames);
    void DisposeBuf();
    bool PreStartDevs();
    bool StartDevs();
    void StopDevs();
    void PrimeOutputs(uint32_t frames);
    void RewindInputs();

    // --- rate ---
    bool CheckFreq(uint32_t rate);
    bool SetFreq(uint32_t rate);

    void ClearActive();
    // Maps a host channel number to the slot (0..7) of the unit that holds it and,
    // in *nChannel, its index inside that unit; nPerUnit is the direction's
    // channel count per unit. -1 when the number lies beyond every open unit
    // (*nChannel is then the remainder). Slots opened when the set opened count,
    // also when their unit has since been lost.
    int MapChannel(int32_t* nChannel, int32_t nPerUnit) const;

    // --- the period path (streaming thread, under the stream lock) ---
    bool DevsReady(int32_t frames);
    bool AdvanceRings();
    void ReadInputs(uint32_t half);
    void WriteOutputs(uint32_t half);
    // usrPeriod of the main unit's ring; 0 without a device or while the main
    // unit does not run.
    uint32_t MainUserPeriod() const;

    // --- queries ---
    bool IsPresent() const { return m_nUnits > 0; }
    CDevOne* Main() const { return m_pMain.load(std::memory_order_acquire); }
    // The main unit when its handle is open, else null.
    CDevOne* OpenMain() const;
    CDevOne& Unit(int index) { return m_dev[index]; }

    // Fields, in order.
    CAsioTh m_thread;
    BOOL m_bUnitOpen[kSlots] = {};
    CDevOne m_dev[kSlots];
    // Read by host calls while the streaming thread may re-elect it.
    std::atomic<CDevOne*> m_pMain{nullptr};
    BOOL m_bInActive[kActiveChannels] = {};
    BOOL m_bOutActive[kActiveChannels] = {};
    int32_t m_nUnits = 0;
    int32_t m_nIns = 0;
    int32_t m_nOuts = 0;
    uint32_t m_nSampleBytes = 2;
    uint32_t m_nHalfBytes = 0;
    uint32_t m_nRate = 44100;

private:
    // The owner's stream lock, held by every operation that changes a unit's
    // blocks or stream state, because the streaming thread reads them under it.
    CRITICAL_SECTION* StreamLock() const;
    uint32_t UnitChannels() const;
};
