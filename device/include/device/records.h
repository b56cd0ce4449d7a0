// Payloads and shared records of the kernel driver's requests.
//
// One definition for every deliverable and for both widths: each field sits at
// its natural alignment and handle or address fields are 64 bits wide even in the
// 32-bit build, so the layout never depends on the compiler. The offsets are
// checked below at compile time in every build.
#pragma once

#include <cstddef>
#include <cstdint>

// Widens a handle or an address for a 64-bit field. A 32-bit sender sign-extends,
// as the kernel driver expects (the same bytes as a 64-bit sender's for a small
// handle value).
inline uint64_t HandleToWire(const void* handle) {
    return static_cast<uint64_t>(static_cast<int64_t>(reinterpret_cast<intptr_t>(handle)));
}
inline void* WireToHandle(uint64_t wire) {
    return reinterpret_cast<void*>(static_cast<intptr_t>(static_cast<int64_t>(wire)));
}

// --- records named by the contract ---

// One entry of the unit's per-rate table. Only the unit interprets words 1..6.
struct RATE_PARAM {
    int32_t nRate;
    int32_t params[6];
};

// The unit's driver settings, kept by the kernel driver.
struct DRV_SETTINGS {
    RATE_PARAM rates[10];   // 0: filled by the unit, sent back unchanged
    uint32_t dwFlag280;     // 280: compared for unsaved changes, otherwise opaque
    uint32_t dwFlag284;     // 284: likewise
    int32_t nBufPos;        // 288: buffer-size position 0..9
    uint32_t dwUnused292;   // 292: opaque
    uint32_t bNoRateFollow; // 296: 1 = Windows sound does not follow the ASIO rate
    uint32_t bAdj1Enable;   // 300
    int32_t nAdj1;          // 304
    uint32_t bAdj2Enable;   // 308
    int32_t nAdj2;          // 312
    uint32_t bLowLatency;   // 316: 1 for positions 0..4
    uint32_t dwUnused320;   // 320..332: opaque
    uint32_t dwUnused324;
    uint32_t dwUnused328;
    uint32_t dwUnused332;
};

// The buffer of IOCTL_GET_SETTINGS and IOCTL_SET_SETTINGS: the record and a status.
struct DRV_SETTINGS_BUFFER {
    DRV_SETTINGS settings;
    uint32_t nResult;  // 336: get: nonzero when valid; set: 0, 1 (restart apps), 2 or 3 (power-cycle)
};

// Answer of IOCTL_GET_CLOCK_STATUS; the settings program sends the previous answer back.
struct UNIT_STATUS {
    uint32_t dwWord0;
    uint32_t dwWord4;
    uint32_t nDriverRate;  // 8: the rate the unit's driver is set to
    uint32_t dwWord12;
    uint32_t dwWord16;
};

// Answer of IOCTL_GET_UNIT_ID; nobody interprets the identity.
struct UNIT_ID {
    uint32_t dwReserved;
    uint32_t cbId;          // 4: number of identity bytes, at most 2048
    uint8_t identity[2048]; // 8
};

// Event registration, kept by each unit of the ASIO driver.
struct NOTIFY_REG {
    uint32_t dwReserved;
    uint32_t bEnable;       // 4: 1 = register (stays 1 in the copy sent to unregister)
    uint64_t hStatusEvent;  // 8
    uint64_t qwReserved16;
    uint64_t hUnitEvent;    // 24
    uint64_t qwReserved32;
};

// Header of the ring block shared with the kernel driver. While a stream runs
// every word has exactly one writer (see the comments); each is read and written
// whole, never with an interlocked operation.
struct RING_HEADER {
    uint32_t cbHeader;     // 0  process: 104, the offset of the first ring
    uint32_t reserved;     // 4  process: 0
    uint32_t devState;     // 8  kernel: 1 once the unit's stream has ended
    uint32_t ack;          // 12 process: 1 once devState = 1 was seen
    uint32_t devPeriod;    // 16 kernel: next period it will complete, 0..63
    uint32_t usrPeriod;    // 20 process: next period the process will handle, 0..63
    uint64_t inStart;      // 24 process: input ring being copied
    uint64_t inEnd;        // 32 process: inStart + inLen
    uint32_t inPos;        // 40 process: read offset in every input ring
    uint32_t inWraps;      // 44 process
    uint64_t inReserved;   // 48 process: 0
    uint32_t inLen;        // 56 process: 64 × P
    uint32_t unused60;     // 60 nobody
    uint64_t outStart;     // 64 process: output ring being written
    uint64_t outEnd;       // 72 process: outStart + outLen
    uint64_t outReserved;  // 80 process: 0
    uint32_t outPos;       // 88 process: write offset in every output ring
    uint32_t outWraps;     // 92 process
    uint32_t outLen;       // 96 process: 64 × P
    uint32_t unused100;    // 100 nobody
};

// --- payloads of the other requests (u32 at 0 is always 0 on input) ---

struct CHANNEL_COUNTS_REQ {  // IOCTL_GET_CHANNEL_COUNTS
    uint32_t dwReserved;
    uint8_t nOutputs;  // 4
    uint8_t nInputs;   // 5
    uint8_t reserved[2];
};

struct SAMPLE_SIZE_REQ {  // IOCTL_GET_SAMPLE_SIZE
    uint32_t dwReserved;
    uint32_t nBytesPerSample;  // 4: in 2, the sender's assumption
};

struct BUFFER_SIZES_REQ {  // IOCTL_GET_BUFFER_SIZES, frames
    int32_t nMinimum;
    int32_t nMaximum;
    int32_t nPreferred;
    int32_t nGranularity;
};

struct LATENCIES_REQ {  // IOCTL_GET_LATENCIES, frames
    uint32_t dwReserved;
    int32_t nInputLatency;   // 4
    int32_t nOutputLatency;  // 8
};

struct RATE_REQ {  // IOCTL_GET_DRIVER_RATE, _GET_UNIT_RATE, _GET_STREAM_RATE, _SET_DRIVER_RATE
    uint32_t dwReserved;
    uint32_t nRate;  // 4: Hz (in 44100 for the ASIO driver's queries)
};

struct RATE_FLAG_REQ {  // IOCTL_CHECK_RATE, _SET_STREAM_RATE, _CHECK_STREAM_RATE
    uint32_t dwReserved;
    uint32_t nRate;  // 4: Hz; CHECK_STREAM_RATE answers the rate here when supported
    uint32_t nFlag;  // 8: SET_STREAM_RATE: 1 = main unit; CHECK_RATE out: nonzero = supported
};

struct GROUP_CONFIG_REQ {  // IOCTL_SET_GROUP_CONFIG
    uint32_t dwReserved;
    uint32_t nUnits;  // 4
    uint32_t nRate;   // 8
    uint8_t reserved[20];
};

struct STREAM_STATUS_REQ {  // IOCTL_GET_STREAM_STATUS
    uint32_t dwReserved;
    uint32_t bStreaming;  // 4
    uint32_t nRate;       // 8
    uint8_t reserved[20];
};

struct UNIT_OPTION_REQ {  // IOCTL_SET_UNIT_OPTION
    uint32_t dwReserved;
    uint32_t nOption;  // 4: always 0
};

struct MESSAGES_REQ {  // IOCTL_GET_MESSAGES
    uint32_t dwReserved;
    uint32_t nBits;  // 4: bit 0 = reset request for the host
};

struct START_STREAM_REQ {  // IOCTL_START_STREAM
    uint32_t dwReserved;
    uint32_t nArg1;         // 4: 0
    uint32_t bMain;         // 8
    uint32_t dwAlign;       // 12
    uint64_t hPeriodEvent;  // 16: main unit only
};

struct STOP_STREAM_REQ {  // IOCTL_STOP_STREAM
    uint32_t dwReserved;
    uint32_t bMain;  // 4
    uint32_t nArg2;  // 8: 0
};

struct POSITION_REQ {  // IOCTL_GET_POSITION
    uint32_t dwReserved;
    uint32_t nCallerMs;  // 4: the sender's timeGetTime()
    uint32_t nDevMs;     // 8: time of the kernel driver's latest period, same clock
    uint32_t nPeriod;    // 12: the kernel driver's current period index
};

struct MAP_BUFFER_REQ {  // IOCTL_MAP_BUFFER input; the output is the ring block
    uint32_t dwReserved;
    uint32_t nFrames;      // 4: F
    uint32_t nRingFrames;  // 8: F × 64
};

// Message bit of IOCTL_GET_MESSAGES that becomes a reset request for the host.
inline constexpr uint32_t kMessageResetRequest = 1u;

namespace device {

// The words at 280..332 every sender puts into the input of IOCTL_GET_SETTINGS.
inline constexpr int32_t kDefaultBufferPosition = 5;
DRV_SETTINGS DefaultSettings();
DRV_SETTINGS_BUFFER DefaultSettingsBuffer();

}  // namespace device

#define DEVICE_CHECK_LAYOUT(type, field, offset) \
    static_assert(offsetof(type, field) == (offset), #type "." #field " must sit at " #offset)

static_assert(sizeof(RATE_PARAM) == 28);
static_assert(sizeof(DRV_SETTINGS) == 336);
DEVICE_CHECK_LAYOUT(DRV_SETTINGS, dwFlag280, 280);
DEVICE_CHECK_LAYOUT(DRV_SETTINGS, nBufPos, 288);
DEVICE_CHECK_LAYOUT(DRV_SETTINGS, bNoRateFollow, 296);
DEVICE_CHECK_LAYOUT(DRV_SETTINGS, nAdj1, 304);
DEVICE_CHECK_LAYOUT(DRV_SETTINGS, nAdj2, 312);
DEVICE_CHECK_LAYOUT(DRV_SETTINGS, bLowLatency, 316);
DEVICE_CHECK_LAYOUT(DRV_SETTINGS, dwUnused332, 332);
static_assert(sizeof(DRV_SETTINGS_BUFFER) == 340);
DEVICE_CHECK_LAYOUT(DRV_SETTINGS_BUFFER, nResult, 336);
static_assert(sizeof(UNIT_STATUS) == 20);
DEVICE_CHECK_LAYOUT(UNIT_STATUS, nDriverRate, 8);
static_assert(sizeof(UNIT_ID) == 2056);
DEVICE_CHECK_LAYOUT(UNIT_ID, identity, 8);
static_assert(sizeof(NOTIFY_REG) == 40);
DEVICE_CHECK_LAYOUT(NOTIFY_REG, hStatusEvent, 8);
DEVICE_CHECK_LAYOUT(NOTIFY_REG, hUnitEvent, 24);
static_assert(sizeof(RING_HEADER) == 104);
DEVICE_CHECK_LAYOUT(RING_HEADER, devState, 8);
DEVICE_CHECK_LAYOUT(RING_HEADER, devPeriod, 16);
DEVICE_CHECK_LAYOUT(RING_HEADER, usrPeriod, 20);
DEVICE_CHECK_LAYOUT(RING_HEADER, inStart, 24);
DEVICE_CHECK_LAYOUT(RING_HEADER, inPos, 40);
DEVICE_CHECK_LAYOUT(RING_HEADER, inReserved, 48);
DEVICE_CHECK_LAYOUT(RING_HEADER, inLen, 56);
DEVICE_CHECK_LAYOUT(RING_HEADER, outStart, 64);
DEVICE_CHECK_LAYOUT(RING_HEADER, outReserved, 80);
DEVICE_CHECK_LAYOUT(RING_HEADER, outPos, 88);
DEVICE_CHECK_LAYOUT(RING_HEADER, outLen, 96);
DEVICE_CHECK_LAYOUT(RING_HEADER, unused100, 100);
static_assert(sizeof(CHANNEL_COUNTS_REQ) == 8);
DEVICE_CHECK_LAYOUT(CHANNEL_COUNTS_REQ, nOutputs, 4);
DEVICE_CHECK_LAYOUT(CHANNEL_COUNTS_REQ, nInputs, 5);
static_assert(sizeof(SAMPLE_SIZE_REQ) == 8);
static_assert(sizeof(BUFFER_SIZES_REQ) == 16);
static_assert(sizeof(LATENCIES_REQ) == 12);
static_assert(sizeof(RATE_REQ) == 8);
static_assert(sizeof(RATE_FLAG_REQ) == 12);
static_assert(sizeof(GROUP_CONFIG_REQ) == 32);
static_assert(sizeof(STREAM_STATUS_REQ) == 32);
DEVICE_CHECK_LAYOUT(STREAM_STATUS_REQ, nRate, 8);
static_assert(sizeof(UNIT_OPTION_REQ) == 8);
static_assert(sizeof(MESSAGES_REQ) == 8);
static_assert(sizeof(START_STREAM_REQ) == 24);
DEVICE_CHECK_LAYOUT(START_STREAM_REQ, hPeriodEvent, 16);
static_assert(sizeof(STOP_STREAM_REQ) == 12);
static_assert(sizeof(POSITION_REQ) == 16);
DEVICE_CHECK_LAYOUT(POSITION_REQ, nPeriod, 12);
static_assert(sizeof(MAP_BUFFER_REQ) == 12);

#undef DEVICE_CHECK_LAYOUT
