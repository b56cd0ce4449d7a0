// The virtual unit's inner state, shared by its source files. Everything here is
// guarded by Impl::cs unless a comment says otherwise.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "virtual_unit/virtual_unit.h"

namespace vu {

// A pending IOCTL_MAP_BUFFER: the ring block the process lent the unit.
struct Mapping {
    bool pending = false;
    OVERLAPPED* overlapped = nullptr;
    HANDLE event = nullptr;
    uint8_t* block = nullptr;
    uint64_t blockBytes = 0;
    uint32_t frames = 0;   // F
    uint32_t width = 0;    // W at the time of the mapping
    uint32_t inputs = 0;   // channel counts at the time of the mapping
    uint32_t outputs = 0;
    uint64_t serial = 0;   // orders mappings, newest highest

    uint64_t PeriodBytes() const { return uint64_t{frames} * width; }
    RING_HEADER* Header() const { return reinterpret_cast<RING_HEADER*>(block); }
};

struct HandleState {
    HANDLE token = nullptr;   // the handle the process holds
    int unit = 0;             // 1..8
    uint32_t generation = 0;  // the unit's plug generation when opened
    bool overlappedIo = false;
    bool registered = false;
    HANDLE statusEvent = nullptr;
    HANDLE unitEvent = nullptr;
    Mapping mapping;
};

struct StreamState {
    bool armed = false;
    bool running = false;
    HandleState* owner = nullptr;  // the handle whose main start began the stream
    HANDLE periodEvent = nullptr;
    uint64_t periods = 0;          // completed since the start
    uint64_t frames = 0;           // exchanged through the ring since the start
    uint32_t devPeriod = 0;
    DWORD lastMs = 0;

    // Real-time clock: period n (counted from anchorPeriods) is due at
    // anchorTicks + the duration of n × anchorFrames frames at anchorRate.
    bool anchored = false;
    int64_t anchorTicks = 0;
    uint64_t anchorPeriods = 0;
    uint32_t anchorRate = 0;
    uint32_t anchorFrames = 0;

    // Output capture: channel c, frame f at capture[c × captureCapacity + f mod captureCapacity].
    std::unique_ptr<int32_t[]> capture;
    uint32_t captureChannels = 0;
    uint32_t captureCapacity = 0;
    uint64_t captureStart = 0;  // frames [captureStart, captureEnd) were taken without a gap
    uint64_t captureEnd = 0;

    // Loopback delay line: channel c holds delayFrames samples of delayWidth bytes.
    std::unique_ptr<uint8_t[]> delay;
    uint32_t delayChannels = 0;
    uint32_t delayFrames = 0;
    uint32_t delayWidth = 0;
};

struct UnitState {
    UnitConfig config;
    uint32_t generation = 0;   // bumped by unplugging: older handles are dead
    uint32_t targetRate = 0;   // a rate not yet reached, 0 when none
    uint32_t pollsLeft = 0;
    DWORD settleStartMs = 0;
    uint32_t messages = 0;
    uint32_t groupUnits = 0;
    uint32_t groupRate = 0;
    uint32_t unitOption = 0;
    StreamState stream;
};

struct FaultSlot {
    int id = 0;
    Fault fault;
    uint32_t seen = 0;     // matching requests since the fault was added
    uint32_t applied = 0;  // requests it affected
};

class Lock {
public:
    explicit Lock(CRITICAL_SECTION& cs) : m_cs(cs) { EnterCriticalSection(&m_cs); }
    ~Lock() { LeaveCriticalSection(&m_cs); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& m_cs;
};

struct VirtualUnit::Impl {
    Impl();
    ~Impl();

    mutable CRITICAL_SECTION cs;
    UnitState units[kMaxUnits];
    std::map<HANDLE, std::unique_ptr<HandleState>> handles;
    uint64_t nextMapSerial = 1;

    // Request log: a ring of kLogCapacity entries.
    std::vector<LogEntry> log;
    size_t logFirst = 0;
    size_t logCount = 0;
    uint64_t nextSequence = 0;

    std::vector<FaultSlot> faults;
    int nextFaultId = 1;

    // The real-time clock thread, made on the first real-time start.
    HANDLE clockThread = nullptr;
    HANDLE clockWake = nullptr;
    bool clockQuit = false;
    int64_t ticksPerSecond = 1;

    UnitState* Unit(int unit) { return unit >= 1 && unit <= kMaxUnits ? &units[unit - 1] : nullptr; }
    const UnitState* Unit(int unit) const { return unit >= 1 && unit <= kMaxUnits ? &units[unit - 1] : nullptr; }
    bool Alive(const HandleState& h) const {
        const UnitState& u = units[h.unit - 1];
        return u.config.present && u.generation == h.generation;
    }

    // --- requests (requests.cpp) ---
    // Runs a buffered request on `buf` (the request's size); answers 0 or an error.
    DWORD Answer(HandleState& h, UnitState& u, uint32_t code, uint8_t* buf);
    DWORD MapBuffer(HandleState& h, UnitState& u, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                    LPOVERLAPPED overlapped);
    DWORD ReleaseBuffer(HandleState& h, UnitState& u);
    void CompleteMapping(HandleState& h);
    uint32_t CurrentRate(UnitState& u, bool poll);
    void BeginRateChange(UnitState& u, uint32_t rate);

    // --- stream (stream.cpp) ---
    DWORD StartStream(UnitState& u, HandleState& h, HANDLE periodEvent);
    // Ends a running stream: devState = 1 in its ring, no more periods. False when not running.
    bool EndStream(UnitState& u);
    void CompletePeriod(UnitState& u, DWORD timeMs);
    Mapping* StreamRing(UnitState& u);
    Mapping* NewestRing(int unit);
    void AnchorClock(UnitState& u);
    void EnsureClockThread();
    DWORD RunClockOnce();  // one pass of the clock thread; answers the wait in ms
    void StopClockThread();

    // --- units (virtual_unit.cpp) ---
    void UnplugLocked(int unit);

    // --- log and faults (request_log.cpp) ---
    void Append(LogEntry& entry);
    // Counts the request against the faults; answers the error of a failing
    // fault (0 for none) and collects the words of answering faults.
    DWORD CheckFaults(uint32_t code, int unit, Fault::Word* words, uint32_t* wordCount, uint32_t maxWords);
    size_t CountLocked(uint32_t code, int unit) const;
};

}  // namespace vu
