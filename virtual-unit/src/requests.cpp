// How a unit answers each request of the contract.
#include <cstring>

#include "device/ioctl.h"
#include "device/ring.h"
#include "model_state.h"

namespace vu {

namespace {

// STATUS_PENDING, what the I/O manager leaves in a pending request's record.
constexpr ULONG_PTR kStatusPending = 0x103;

bool Supports(const UnitConfig& c, uint32_t rate) {
    for (uint32_t i = 0; i < c.rateCount && i < static_cast<uint32_t>(kMaxRates); ++i)
        if (c.rates[i] == rate) return true;
    return false;
}

uint32_t Reported(Report report, bool state) {
    switch (report) {
        case Report::No: return 0;
        case Report::Yes: return 1;
        case Report::Follow: break;
    }
    return state ? 1 : 0;
}

template <typename T>
T Read(const uint8_t* buf) {
    T value;
    std::memcpy(&value, buf, sizeof value);
    return value;
}

template <typename T>
void Write(uint8_t* buf, const T& value) {
    std::memcpy(buf, &value, sizeof value);
}

}  // namespace

uint32_t VirtualUnit::Impl::CurrentRate(UnitState& u, bool poll) {
    if (u.targetRate != 0) {
        const UnitConfig& c = u.config;
        const bool pollsDone = c.settlePolls != kNever && u.pollsLeft == 0;
        const bool timeDone = timeGetTime() - u.settleStartMs >= c.settleMs;
        if (pollsDone && timeDone) {
            u.config.unitRate = u.targetRate;
            u.targetRate = 0;
        } else if (poll && u.pollsLeft > 0 && u.pollsLeft != kNever) {
            --u.pollsLeft;
        }
    }
    return u.config.unitRate;
}

void VirtualUnit::Impl::BeginRateChange(UnitState& u, uint32_t rate) {
    if (rate == u.targetRate) return;  // already on its way: the delay does not start over
    if (rate == u.config.unitRate || (u.config.settlePolls == 0 && u.config.settleMs == 0)) {
        u.config.unitRate = rate;
        u.targetRate = 0;
        return;
    }
    u.targetRate = rate;
    u.pollsLeft = u.config.settlePolls;
    u.settleStartMs = timeGetTime();
}

void VirtualUnit::Impl::CompleteMapping(HandleState& h) {
    Mapping& map = h.mapping;
    if (!map.pending) return;
    if (map.overlapped != nullptr) {
        map.overlapped->Internal = 0;
        map.overlapped->InternalHigh = 0;
    }
    const HANDLE event = map.event;
    map = Mapping{};
    SetEvent(event);
}

DWORD VirtualUnit::Impl::MapBuffer(HandleState& h, UnitState& u, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                                   LPOVERLAPPED overlapped) {
    // A pending request on a handle without overlapped I/O would block the
    // sender for ever on Windows; refuse it rather than model that.
    if (!h.overlappedIo || overlapped == nullptr || overlapped->hEvent == nullptr) return ERROR_INVALID_PARAMETER;
    if (in == nullptr || out == nullptr) return ERROR_INVALID_PARAMETER;
    if (inSize < sizeof(MAP_BUFFER_REQ)) return ERROR_INSUFFICIENT_BUFFER;
    if (inSize != sizeof(MAP_BUFFER_REQ)) return ERROR_INVALID_PARAMETER;
    MAP_BUFFER_REQ req;
    std::memcpy(&req, in, sizeof req);
    if (req.dwReserved != 0 || req.nFrames == 0 || req.nFrames > static_cast<uint32_t>(device::kMaxBufferFrames) ||
        req.nRingFrames != uint64_t{req.nFrames} * device::kRingPeriods)
        return ERROR_INVALID_PARAMETER;

    const uint32_t width = u.config.sampleBytes;
    const uint32_t inputs = u.config.inputs;
    const uint32_t outputs = u.config.outputs;
    const uint64_t needed = device::RingBlockBytes(req.nFrames, width, uint64_t{inputs} + outputs);
    if (outSize < needed) return ERROR_INSUFFICIENT_BUFFER;
    // The header words are shared whole; the contract puts every field at its
    // natural alignment, which needs an aligned block.
    if (reinterpret_cast<uintptr_t>(out) % 8 != 0) return ERROR_INVALID_PARAMETER;
    const auto* header = static_cast<const RING_HEADER*>(out);
    if (device::LoadShared(header->cbHeader) != device::kRingHeaderBytes) return ERROR_INVALID_PARAMETER;
    if (h.mapping.pending) return kErrorBusy;

    Fault::Word unused[1];
    uint32_t unusedCount = 0;
    if (const DWORD faultError = CheckFaults(IOCTL_MAP_BUFFER, h.unit, unused, &unusedCount, 0)) return faultError;

    Mapping& map = h.mapping;
    map.pending = true;
    map.overlapped = overlapped;
    map.event = overlapped->hEvent;
    map.block = static_cast<uint8_t*>(out);
    map.blockBytes = outSize;
    map.frames = req.nFrames;
    map.width = width;
    map.inputs = inputs;
    map.outputs = outputs;
    map.serial = nextMapSerial++;
    // The I/O manager clears the record's event when it starts the request.
    ResetEvent(overlapped->hEvent);
    overlapped->Internal = kStatusPending;
    overlapped->InternalHigh = 0;
    return ERROR_IO_PENDING;
}

DWORD VirtualUnit::Impl::ReleaseBuffer(HandleState& h, UnitState& u) {
    if (!h.mapping.pending) return 0;  // nothing to complete
    if (u.stream.owner == &h) EndStream(u);
    CompleteMapping(h);
    return 0;
}

DWORD VirtualUnit::Impl::Answer(HandleState& h, UnitState& u, uint32_t code, uint8_t* buf) {
    UnitConfig& c = u.config;
    switch (code) {
        case IOCTL_GET_UNIT_ID: {
            const uint32_t count = c.idBytes <= kMaxIdBytes ? c.idBytes : kMaxIdBytes;
            Write(buf + 4, count);
            std::memcpy(buf + 8, c.id, count);
            return 0;
        }
        case IOCTL_GET_CHANNEL_COUNTS: {
            auto r = Read<CHANNEL_COUNTS_REQ>(buf);
            r.nOutputs = c.outputs;
            r.nInputs = c.inputs;
            Write(buf, r);
            return 0;
        }
        case IOCTL_GET_PRIMARY_FLAG:
            Write<uint32_t>(buf, c.primary ? 1 : 0);
            return 0;
        case IOCTL_START_STREAM: {
            const auto r = Read<START_STREAM_REQ>(buf);
            if (r.bMain == 0) {
                u.stream.armed = true;
                return 0;
            }
            return StartStream(u, h, static_cast<HANDLE>(WireToHandle(r.hPeriodEvent)));
        }
        case IOCTL_STOP_STREAM:
            EndStream(u);
            u.stream.armed = false;
            return 0;
        case IOCTL_GET_LATENCIES: {
            auto r = Read<LATENCIES_REQ>(buf);
            r.nInputLatency = c.inputLatency;
            r.nOutputLatency = c.outputLatency;
            Write(buf, r);
            return 0;
        }
        case IOCTL_GET_BUFFER_SIZES:
            Write(buf, c.bufferSizes);
            return 0;
        case IOCTL_GET_SAMPLE_SIZE: {
            auto r = Read<SAMPLE_SIZE_REQ>(buf);
            r.nBytesPerSample = c.sampleBytes;
            Write(buf, r);
            return 0;
        }
        case IOCTL_GET_POSITION: {
            auto r = Read<POSITION_REQ>(buf);
            r.nDevMs = u.stream.lastMs;
            r.nPeriod = u.stream.devPeriod;
            Write(buf, r);
            return 0;
        }
        case IOCTL_REGISTER_EVENTS: {
            const auto r = Read<NOTIFY_REG>(buf);
            h.registered = r.bEnable != 0;
            h.statusEvent = h.registered ? static_cast<HANDLE>(WireToHandle(r.hStatusEvent)) : nullptr;
            h.unitEvent = h.registered ? static_cast<HANDLE>(WireToHandle(r.hUnitEvent)) : nullptr;
            return 0;
        }
        case IOCTL_UNREGISTER_EVENTS:
            h.registered = false;
            h.statusEvent = nullptr;
            h.unitEvent = nullptr;
            return 0;
        case IOCTL_SET_UNIT_OPTION:
            u.unitOption = Read<UNIT_OPTION_REQ>(buf).nOption;
            return 0;
        case IOCTL_SET_GROUP_CONFIG: {
            const auto r = Read<GROUP_CONFIG_REQ>(buf);
            u.groupUnits = r.nUnits;
            u.groupRate = r.nRate;
            return 0;
        }
        case IOCTL_GET_STREAM_STATUS: {
            auto r = Read<STREAM_STATUS_REQ>(buf);
            r.bStreaming = Reported(c.streaming, u.stream.running);
            r.nRate = CurrentRate(u, false);
            Write(buf, r);
            return 0;
        }
        case IOCTL_GET_SETTINGS: {
            DRV_SETTINGS_BUFFER r;
            r.settings = c.settings;
            r.nResult = c.getResult;
            Write(buf, r);
            return 0;
        }
        case IOCTL_SET_SETTINGS: {
            auto r = Read<DRV_SETTINGS_BUFFER>(buf);
            c.settings = r.settings;
            r.nResult = c.setResult;
            Write(buf, r);
            return 0;
        }
        case IOCTL_GET_IN_USE:
            Write<uint32_t>(buf, Reported(c.inUse, u.stream.running));
            return 0;
        case IOCTL_GET_DRIVER_RATE: {
            auto r = Read<RATE_REQ>(buf);
            r.nRate = c.driverRate;
            Write(buf, r);
            return 0;
        }
        case IOCTL_GET_UNIT_RATE:
        case IOCTL_GET_STREAM_RATE: {
            auto r = Read<RATE_REQ>(buf);
            r.nRate = CurrentRate(u, code == IOCTL_GET_UNIT_RATE);
            Write(buf, r);
            return 0;
        }
        case IOCTL_SET_DRIVER_RATE: {
            const auto r = Read<RATE_REQ>(buf);
            if (!Supports(c, r.nRate)) return ERROR_NOT_SUPPORTED;
            c.driverRate = r.nRate;
            // An idle unit follows its driver rate; a streaming one keeps the
            // stream's rate until the next IOCTL_SET_STREAM_RATE.
            if (!u.stream.running) BeginRateChange(u, r.nRate);
            return 0;
        }
        case IOCTL_CHECK_RATE: {
            auto r = Read<RATE_FLAG_REQ>(buf);
            r.nFlag = Supports(c, r.nRate) ? 1 : 0;
            Write(buf, r);
            return 0;
        }
        case IOCTL_GET_CLOCK_STATUS: {
            UNIT_STATUS r = c.clockStatus;
            if (r.nDriverRate == 0) r.nDriverRate = c.driverRate;
            Write(buf, r);
            return 0;
        }
        case IOCTL_GET_RATE_LOCK:
            Write<uint32_t>(buf, c.rateLocked ? 1 : 0);
            return 0;
        case IOCTL_SET_STREAM_RATE: {
            const auto r = Read<RATE_FLAG_REQ>(buf);
            if (!Supports(c, r.nRate)) return ERROR_NOT_SUPPORTED;
            BeginRateChange(u, r.nRate);
            return 0;
        }
        case IOCTL_CHECK_STREAM_RATE:
            // A supported rate stays where the sender put it.
            return Supports(c, Read<RATE_FLAG_REQ>(buf).nRate) ? 0 : ERROR_NOT_SUPPORTED;
        case IOCTL_GET_MESSAGES: {
            auto r = Read<MESSAGES_REQ>(buf);
            r.nBits = u.messages;
            u.messages = 0;
            Write(buf, r);
            return 0;
        }
        default:
            return ERROR_INVALID_FUNCTION;
    }
}

}  // namespace vu
