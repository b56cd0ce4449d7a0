// What a virtual unit is: the answers it gives, how it streams, and a text form
// for configuring units from a command line or an environment variable.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device/records.h"

namespace vu {

// Units are numbered 1..kMaxUnits, like the kernel driver's device objects
// \\.\Mxkd4410001 .. \\.\Mxkd4410008.
inline constexpr int kMaxUnits = 8;
inline constexpr int kMaxRates = 16;
inline constexpr uint32_t kMaxIdBytes = 2048;
// The longest loopback delay and capture window a unit accepts, in frames.
inline constexpr uint32_t kMaxDelayFrames = 1u << 20;
inline constexpr uint32_t kMaxCaptureFrames = 1u << 22;
// settlePolls value for a unit that never reaches a new stream rate.
inline constexpr uint32_t kNever = 0xFFFFFFFFu;

// What the unit puts into its input rings each period.
enum class InputSource : uint8_t {
    Silence,   // zeros
    Ramp,      // RampSample (test_signal.h): channel and frame index readable from each sample
    Sine,      // SineSample: a tone per channel, for people listening to a demo
    Loopback,  // input channel c carries what output channel c delivered, loopbackDelayFrames later
};

// How a started stream completes its periods.
enum class ClockMode : uint8_t {
    Stepped,   // only when a test calls VirtualUnit::Step: deterministic
    RealTime,  // on a clock thread, F frames at the unit's current rate per period, drift-free
};

// An answer that normally follows the unit's state, or is pinned for a test.
enum class Report : uint8_t { Follow, No, Yes };

// One unit. The defaults describe a present, primary stereo unit with 24-bit
// samples at 44100 Hz, in stepped mode, with silent inputs.
struct UnitConfig {
    bool present = true;
    bool primary = true;                       // IOCTL_GET_PRIMARY_FLAG
    uint8_t inputs = 2;                        // IOCTL_GET_CHANNEL_COUNTS byte 5
    uint8_t outputs = 2;                       // byte 4
    uint32_t sampleBytes = 3;                  // IOCTL_GET_SAMPLE_SIZE, W: 1..4
    BUFFER_SIZES_REQ bufferSizes{64, 2048, 256, 32};  // IOCTL_GET_BUFFER_SIZES {min, max, preferred, granularity}
    int32_t inputLatency = 32;                 // IOCTL_GET_LATENCIES, frames
    int32_t outputLatency = 48;

    // Rates offered by IOCTL_CHECK_RATE and IOCTL_CHECK_STREAM_RATE, and accepted by
    // IOCTL_SET_DRIVER_RATE and IOCTL_SET_STREAM_RATE.
    uint32_t rates[kMaxRates] = {44100, 48000, 88200, 96000, 176400, 192000};
    uint32_t rateCount = 6;
    uint32_t driverRate = 44100;               // IOCTL_GET_DRIVER_RATE; IOCTL_SET_DRIVER_RATE changes it
    uint32_t unitRate = 44100;                 // IOCTL_GET_UNIT_RATE, _GET_STREAM_RATE; the streaming rate
    // A new rate (IOCTL_SET_STREAM_RATE, or IOCTL_SET_DRIVER_RATE while not
    // streaming) is reached once both have passed: settlePolls IOCTL_GET_UNIT_RATE
    // requests still answering the old rate (kNever: never reached), and settleMs
    // milliseconds.
    uint32_t settlePolls = 0;
    uint32_t settleMs = 0;
    bool rateLocked = false;                   // IOCTL_GET_RATE_LOCK
    Report inUse = Report::Follow;             // IOCTL_GET_IN_USE; Follow: nonzero while the unit streams
    Report streaming = Report::Follow;         // IOCTL_GET_STREAM_STATUS word 4; Follow: while the unit streams

    // The settings record IOCTL_GET_SETTINGS answers and IOCTL_SET_SETTINGS replaces,
    // with the nResult each answers.
    DRV_SETTINGS settings = DefaultUnitSettings();
    uint32_t getResult = 1;
    uint32_t setResult = 0;
    // IOCTL_GET_CLOCK_STATUS answer; nDriverRate 0 answers the current driverRate.
    UNIT_STATUS clockStatus{};
    // IOCTL_GET_UNIT_ID: cbId and the identity bytes.
    uint32_t idBytes = 8;
    uint8_t id[kMaxIdBytes] = {'V', 'U', 'N', 'I', 'T', '0', '0', '1'};

    InputSource source = InputSource::Silence;
    uint32_t loopbackDelayFrames = 0;          // up to kMaxDelayFrames
    ClockMode clock = ClockMode::Stepped;
    // Frames of each output channel kept for ReadCapture (the newest ones). The
    // window shrinks when outputs × frames × 4 bytes would pass 64 MiB.
    uint32_t captureFrames = 16384;
    // Whether the unit reads the output rings at all (capture and loopback need
    // it). The process writes its output a pre-roll ahead of the unit's reading,
    // so a process thread that is late writes what the unit reads at the same
    // moment, as with the real kernel driver; a stepped test that lets the
    // process run freely and wants a clean ThreadSanitizer run turns this off.
    bool takeOutputs = true;

    static DRV_SETTINGS DefaultUnitSettings();
};

// True when every field lies in its range (channel counts need no check; width
// 1..4, rateCount ≤ kMaxRates, idBytes ≤ kMaxIdBytes, delay and capture bounds).
bool IsValid(const UnitConfig& config);

// All eight units; units[n - 1] is unit n. A fresh set has every unit absent.
struct UnitSet {
    UnitConfig units[kMaxUnits];
    UnitSet();
};

// Text form of a unit set, for tools and for the environment variable below:
//
//   set     := [unit] { ';' [unit] }
//   unit    := number [ ':' [setting { ',' setting }] ]     number: 1..8
//   setting := key '=' value
//
// A unit named in the text is present with the defaults of UnitConfig, then its
// settings apply in order (a unit named twice keeps both lists); units not named
// are absent. Blanks around tokens are ignored. Keys:
//
//   present=0|1  primary=0|1     in=0..255  out=0..255  width=1..4
//   min= max= pref= gran=        buffer sizes in frames (signed 32-bit)
//   inlat= outlat=               latency terms in frames (signed 32-bit)
//   rate=Hz                      driver rate and unit rate together
//   driverrate=Hz  unitrate=Hz   each alone
//   rates=Hz/Hz/...              1..16 supported rates, separated by '/'
//   settle=N|never  settlems=N   delay before a new stream rate is reached
//   locked=0|1                   IOCTL_GET_RATE_LOCK
//   inuse=auto|0|1  streaming=auto|0|1
//   getresult=N  setresult=N     nResult of IOCTL_GET_SETTINGS / IOCTL_SET_SETTINGS
//   bufpos=0..9                  nBufPos of the unit's settings record
//   source=silence|ramp|sine|loop  loopdelay=frames
//   clock=step|rt                capture=frames  take=0|1 (takeOutputs)
//   id=hex                       identity bytes, two hex digits each (up to 2048 bytes)
//
// Example: "1:in=2,out=2,width=3,rate=48000,min=64,max=2048,pref=256,gran=32;3:primary=0"
// makes units 1 and 3 present, unit 3 not primary.
inline constexpr char kUnitsEnvironmentVariable[] = "MX_VIRTUAL_UNITS";

struct ParseError {
    size_t offset = 0;          // byte offset in the text where parsing stopped
    const char* message = "";   // static text saying what was expected
};

// Parses `text` into `units`. On failure returns false, leaves `units` unchanged
// and, when `error` is given, says where and why.
bool ParseUnitSet(const char* text, UnitSet* units, ParseError* error = nullptr);

// The units named by MX_VIRTUAL_UNITS in the process environment. Without the
// variable, the units of `defaultText`; an empty value, one that does not parse
// or one longer than 64 KiB gives no unit at all (a machine without the device).
UnitSet UnitsFromEnvironment(const char* defaultText);

}  // namespace vu
