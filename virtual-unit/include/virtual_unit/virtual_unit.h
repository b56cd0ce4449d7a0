// The virtual unit: a model of the kernel driver, put behind the device port by
// tests, benchmarks and demos (see device_port.h and ScopedInstall below).
//
// It serves up to eight units, \\.\Mxkd4410001 .. \\.\Mxkd4410008, and answers
// the twenty-nine requests of the contract with their payloads and sizes:
//
//  - Opening: a path of an absent unit, or any other path, fails with
//    ERROR_FILE_NOT_FOUND; creation must be OPEN_EXISTING (else
//    ERROR_INVALID_PARAMETER). Any number of handles per unit may be open, whatever
//    the share mode. Handles are event handles minted for the purpose, so they are
//    unique in the process.
//  - Requests: an unknown handle fails with ERROR_INVALID_HANDLE; a handle of a unit
//    that was unplugged since it was opened with ERROR_DEVICE_NOT_CONNECTED; a code
//    outside the catalogue with ERROR_INVALID_FUNCTION. A buffered request needs
//    both buffers, each of exactly the catalogue size (else ERROR_INVALID_PARAMETER,
//    or ERROR_INSUFFICIENT_BUFFER when smaller), a byte-count variable when it has
//    no OVERLAPPED record, and 0 in its first word where the contract fixes it
//    (else ERROR_INVALID_PARAMETER). Input and output may be the same buffer or two;
//    the unit reads the input once and writes the whole answer, so bytes it does
//    not answer keep their input value. A failed request writes nothing.
//  - IOCTL_MAP_BUFFER needs a handle opened with FILE_FLAG_OVERLAPPED, an OVERLAPPED
//    record with an event, the input {0, F, F × 64} with F in 1..16384, cbHeader =
//    104 in the block and a block of at least 104 + (in + out) × 64 × F × W bytes
//    (the unit's counts and W at that moment). It then stays pending (FALSE with
//    ERROR_IO_PENDING) until IOCTL_RELEASE_BUFFER on the same handle, the closing of
//    the handle, or the unplugging of the unit completes it by signalling the
//    record's event. One mapping per handle at a time (a second fails with
//    ERROR_BUSY, 170).
//  - Streaming: IOCTL_START_STREAM with the main flag starts the unit's stream with
//    the period event it carries (0: no event); without the flag it only arms the
//    unit. The stream exchanges samples through the pending mapping of the handle
//    that started it, if there is one, and otherwise only counts periods. For its
//    k-th period since the start it writes each input channel's samples at offset
//    (k mod 64) × P of the channel's ring, takes each output channel's P bytes from
//    the same offset of its ring, stores (k + 1) mod 64 in devPeriod (a release
//    store, after the samples), records the time and the period for
//    IOCTL_GET_POSITION and signals the period event. The stream ends on
//    IOCTL_STOP_STREAM (either flag), on IOCTL_RELEASE_BUFFER of its mapping, on the
//    closing of its handle, on unplugging and on EndStream; a stream that ends while
//    it has a ring sets devState = 1 there first.
//  - Events: IOCTL_REGISTER_EVENTS takes the status and the unit event of its
//    handle, IOCTL_UNREGISTER_EVENTS (or closing the handle) drops them.
//    RaiseMessages signals every registered status event of the unit; Unplug every
//    registered unit event.
//  - Rates: IOCTL_CHECK_STREAM_RATE fails (ERROR_NOT_SUPPORTED) for a rate outside
//    the unit's list, IOCTL_CHECK_RATE answers 0 or 1 at offset 8. IOCTL_SET_STREAM_RATE
//    and IOCTL_SET_DRIVER_RATE fail for such a rate. IOCTL_GET_STREAM_RATE answers the
//    unit rate, like IOCTL_GET_UNIT_RATE, but does not count as a poll.
//  - IOCTL_GET_MESSAGES answers the bits raised since the last one and clears them.
//
// Tests pin answers with faults (request_log.h), e.g. the period index of the
// position answer: AddFault(Fault::Answer(IOCTL_GET_POSITION, 12, 200)).
//
// Loopback timing: input frame n of the stream (absolute, from the start)
// carries output frame n − loopbackDelayFrames as the unit took it from the output
// ring (silence before the first). A host that writes its output D frames ahead
// (its pre-roll) therefore hears it D + loopbackDelayFrames frames later.
//
// Thread safety: every function may be called from any thread at any time; one
// lock serialises the model (the period exchange included). The unit never calls
// into the process; it only signals events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "device/records.h"
#include "device_port.h"
#include "virtual_unit/request_log.h"
#include "virtual_unit/test_signal.h"
#include "virtual_unit/unit_config.h"

namespace vu {

// ERROR_BUSY, which the Win32 subset does not name.
inline constexpr DWORD kErrorBusy = 170;

// What a test may want to know about a unit's state.
struct UnitSnapshot {
    bool present = false;
    uint32_t openHandles = 0;        // open handles that still reach the unit (opened since it was last plugged)
    bool eventsRegistered = false;   // some handle holds a registration
    bool mapped = false;             // some handle holds a pending mapping
    uint32_t mappedFrames = 0;       // F of the unit's ring (its stream's, else the newest mapping)
    bool armed = false;              // a start without the main flag, not yet stopped
    bool streaming = false;          // a main start, not yet ended
    bool periodEvent = false;        // the running stream has a period event
    uint64_t periodsCompleted = 0;   // since the last main start
    uint64_t framesCompleted = 0;    // frames exchanged through the ring since then
    uint32_t devPeriod = 0;          // (periodsCompleted mod 64), what IOCTL_GET_POSITION answers
    DWORD lastPeriodMs = 0;          // time of the latest period (of the start before the first)
    uint32_t targetRate = 0;         // a stream rate not yet reached, 0 when none
    uint32_t groupUnits = 0;         // last IOCTL_SET_GROUP_CONFIG
    uint32_t groupRate = 0;
    uint32_t unitOption = 0;         // last IOCTL_SET_UNIT_OPTION
    uint32_t pendingMessages = 0;
    UnitConfig config;               // the live configuration (settings, rates as changed by requests)
};

class VirtualUnit final : public IKernelDriverModel {
public:
    VirtualUnit();                              // no unit present
    explicit VirtualUnit(const UnitSet& units);
    ~VirtualUnit();
    VirtualUnit(const VirtualUnit&) = delete;
    VirtualUnit& operator=(const VirtualUnit&) = delete;

    // --- the kernel driver, as the device port calls it ---
    HANDLE Open(LPCWSTR path, DWORD access, DWORD shareMode, DWORD creation, DWORD flags) override;
    BOOL Control(HANDLE device, DWORD code, LPVOID inBuffer, DWORD inSize, LPVOID outBuffer, DWORD outSize,
                 LPDWORD bytesReturned, LPOVERLAPPED overlapped) override;
    BOOL Close(HANDLE device) override;

    // --- configuration; unit numbers 1..8, false for others or an invalid config ---
    // Replaces a unit's configuration. Making a present unit absent unplugs it,
    // making an absent one present plugs it in; a running stream keeps running
    // with the new answers (its ring shape stays that of its mapping).
    bool Configure(int unit, const UnitConfig& config);
    bool Configure(const UnitSet& units);
    bool ConfigureFromText(const char* text, ParseError* error = nullptr);
    UnitConfig Config(int unit) const;
    UnitSnapshot Inspect(int unit) const;

    // Unplugging ends the stream (devState = 1), completes every pending mapping of
    // the unit, signals its registered unit events and makes later requests on its
    // handles fail with ERROR_DEVICE_NOT_CONNECTED and opens with
    // ERROR_FILE_NOT_FOUND. Plugging it in again makes it present with its
    // configuration; old handles stay dead.
    bool Unplug(int unit);
    bool Plug(int unit);

    // Raises message bits for IOCTL_GET_MESSAGES and signals the status events.
    bool RaiseMessages(int unit, uint32_t bits);

    // --- the stream ---
    // Completes up to `periods` periods of a running stepped stream at once;
    // answers how many were completed (0 when the unit does not stream or runs on
    // the real-time clock). StepAt records `timeMs` as their time instead of
    // timeGetTime(), for tests of time stamps.
    uint32_t Step(int unit, uint32_t periods = 1);
    uint32_t StepAt(int unit, DWORD timeMs, uint32_t periods = 1);

    // Ends the stream as a unit that stops on its own: devState = 1 in its ring, no
    // more periods. False when the unit does not stream.
    bool EndStream(int unit);

    // The unit's ring (that of its stream, else its newest pending mapping):
    // header words read one by one with atomic acquire loads, and devState
    // written with a release store. False when there is no ring. Words the
    // process writes plainly are only safe to read once the process has
    // synchronised with the caller (for example after its thread waited).
    bool ReadRingHeader(int unit, RING_HEADER* header) const;
    bool SetDevState(int unit, uint32_t value);

    // Waits until the unit has completed `count` periods since its start; false
    // after timeoutMs. For the real-time clock.
    bool WaitForPeriods(int unit, uint64_t count, DWORD timeoutMs) const;

    // The output the unit took: frames counted from 0 at the start, like
    // framesCompleted; CapturedFrames is the end of what was taken. ReadCapture
    // copies up to `frames` samples (sign-extended) of output channel `channel`
    // (0-based), beginning with frame `firstFrame`, as far as they are still kept;
    // answers how many it copied.
    uint64_t CapturedFrames(int unit) const;
    size_t ReadCapture(int unit, uint32_t channel, uint64_t firstFrame, int32_t* samples, size_t frames) const;

    // --- the request log (the newest kLogCapacity entries) ---
    static constexpr size_t kLogCapacity = 16384;
    std::vector<LogEntry> Log() const;
    // Requests with `code` (any code when 0) on `unit` (any unit when 0).
    size_t CountRequests(uint32_t code, int unit = 0) const;
    std::vector<LogEntry> Requests(uint32_t code, int unit = 0) const;
    void ClearLog();
    // Waits until CountRequests(code, unit) reaches `count`; false after timeoutMs.
    bool WaitForRequests(uint32_t code, size_t count, DWORD timeoutMs, int unit = 0) const;

    // --- fault injection ---
    // Answers an id for RemoveFault, or 0 when the fault names no catalogue code.
    int AddFault(const Fault& fault);
    bool RemoveFault(int id);
    void ClearFaults();

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

// Puts a model behind the device port for the life of this object and then gives
// the port back to whatever it had before.
class ScopedInstall {
public:
    explicit ScopedInstall(IKernelDriverModel& model) : m_previous(DevPort_Installed()) { DevPort_Install(&model); }
    ~ScopedInstall() { DevPort_Install(m_previous); }
    ScopedInstall(const ScopedInstall&) = delete;
    ScopedInstall& operator=(const ScopedInstall&) = delete;

private:
    IKernelDriverModel* m_previous;
};

}  // namespace vu
