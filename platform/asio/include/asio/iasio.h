// The ASIO driver interface, declared the way ASIO hosts are compiled against it.
//
// Hosts cast the object they get from the class factory straight to IASIO* and
// call through the vtable, so what matters here is binary: the slot order, the
// record layouts and the width of every integer. The published interface uses
// the C type `long`, which is 32 bits wide on Windows in both widths; we spell it
// as a fixed 32-bit integer so the layout is the same on every platform we build
// for (including Linux, where `long` is 64 bits).
//
// Calling conventions: the three IUnknown methods come from the platform's
// IUnknown (stdcall on 32-bit Windows); the IASIO methods use the compiler's
// default member-function convention (thiscall on 32-bit Windows), which is what
// hosts use; the host callbacks are plain C functions (cdecl).
#pragma once

#include <cstddef>
#include <cstdint>

#include "com.h"

// --- scalar types ---------------------------------------------------------

typedef int32_t ASIOLong;    // the interface's `long`
typedef uint32_t ASIOULong;  // the interface's `unsigned long`
typedef ASIOLong ASIOBool;
typedef ASIOLong ASIOError;
typedef ASIOLong ASIOSampleType;
typedef double ASIOSampleRate;  // Hz

enum : ASIOBool { ASIOFalse = 0, ASIOTrue = 1 };

// --- error codes ----------------------------------------------------------

enum : ASIOError {
    ASE_OK = 0,                      // plain success
    ASE_SUCCESS = 0x3F4847A0,        // answer of future() for a supported selector
    ASE_NotPresent = -1000,          // no hardware, or the function is not available
    ASE_HWMalfunction = -999,        // the hardware does not work
    ASE_InvalidParameter = -998,     // a parameter is out of range
    ASE_InvalidMode = -997,          // the call does not fit the driver's state
    ASE_SPNotAdvancing = -996,       // the sample position does not move
    ASE_NoClock = -995,              // sample rate or clock not available
    ASE_NoMemory = -994,             // not enough memory
};

// --- sample types (byte order and width of the samples in a buffer) --------

enum : ASIOSampleType {
    ASIOSTInt16MSB = 0,
    ASIOSTInt24MSB = 1,
    ASIOSTInt32MSB = 2,
    ASIOSTFloat32MSB = 3,
    ASIOSTFloat64MSB = 4,
    ASIOSTInt32MSB16 = 8,
    ASIOSTInt32MSB18 = 9,
    ASIOSTInt32MSB20 = 10,
    ASIOSTInt32MSB24 = 11,
    ASIOSTInt16LSB = 16,
    ASIOSTInt24LSB = 17,
    ASIOSTInt32LSB = 18,
    ASIOSTFloat32LSB = 19,
    ASIOSTFloat64LSB = 20,
    ASIOSTInt32LSB16 = 24,
    ASIOSTInt32LSB18 = 25,
    ASIOSTInt32LSB20 = 26,
    ASIOSTInt32LSB24 = 27,
    ASIOSTDSDInt8LSB1 = 32,
    ASIOSTDSDInt8MSB1 = 33,
    ASIOSTDSDInt8NER8 = 40,
};

// --- selectors of IASIO::future ---------------------------------------------

enum : ASIOLong {
    kAsioEnableTimeCodeRead = 1,
    kAsioDisableTimeCodeRead = 2,
    kAsioSetInputMonitor = 3,
    kAsioTransport = 4,
    kAsioSetInputGain = 5,
    kAsioGetInputMeter = 6,
    kAsioSetOutputGain = 7,
    kAsioGetOutputMeter = 8,
    kAsioCanInputMonitor = 9,
    kAsioCanTimeInfo = 10,
    kAsioCanTimeCode = 11,
    kAsioCanTransport = 12,
    kAsioCanInputGain = 13,
    kAsioCanInputMeter = 14,
    kAsioCanOutputGain = 15,
    kAsioCanOutputMeter = 16,
};

// --- selectors of ASIOCallbacks::asioMessage --------------------------------

enum : ASIOLong {
    kAsioSelectorSupported = 1,   // value: the selector asked about; answer 1 when supported
    kAsioEngineVersion = 2,
    kAsioResetRequest = 3,        // the driver asks the host to close and reopen it
    kAsioBufferSizeChange = 4,
    kAsioResyncRequest = 5,
    kAsioLatenciesChanged = 6,
    kAsioSupportsTimeInfo = 7,
    kAsioSupportsTimeCode = 8,
    kAsioMMCCommand = 9,
    kAsioSupportsInputMonitor = 10,
    kAsioSupportsInputGain = 11,
    kAsioSupportsInputMeter = 12,
    kAsioSupportsOutputGain = 13,
    kAsioSupportsOutputMeter = 14,
    kAsioOverload = 15,
};

// --- records --------------------------------------------------------------

// A 64-bit count split into two 32-bit halves, high half first.
struct ASIOSamples {
    ASIOULong hi;
    ASIOULong lo;
};

// A 64-bit time in nanoseconds, split like ASIOSamples.
struct ASIOTimeStamp {
    ASIOULong hi;
    ASIOULong lo;
};

struct ASIOClockSource {
    ASIOLong index;              // as given to setClockSource
    ASIOLong associatedChannel;  // first channel of the clock's channel group, or -1
    ASIOLong associatedGroup;    // channel group, or -1
    ASIOBool isCurrentSource;
    char name[32];               // zero-terminated
};

struct ASIOChannelInfo {
    ASIOLong channel;      // in: channel number
    ASIOBool isInput;      // in: direction
    ASIOBool isActive;     // out
    ASIOLong channelGroup; // out
    ASIOSampleType type;   // out
    char name[32];         // out, zero-terminated
};

struct ASIOBufferInfo {
    ASIOBool isInput;   // in
    ASIOLong channelNum;  // in
    void* buffers[2];   // out: the two halves of the channel's double buffer
};

// The time-info record of bufferSwitchTimeInfo. This driver never calls that
// callback, so the record stays opaque here.
struct ASIOTime;

struct ASIOCallbacks {
    // Half `doubleBufferIndex` of every input is full; the host fills the same
    // half of every output before it returns.
    void (*bufferSwitch)(ASIOLong doubleBufferIndex, ASIOBool directProcess);
    void (*sampleRateDidChange)(ASIOSampleRate sRate);
    ASIOLong (*asioMessage)(ASIOLong selector, ASIOLong value, void* message, double* opt);
    ASIOTime* (*bufferSwitchTimeInfo)(ASIOTime* params, ASIOLong doubleBufferIndex, ASIOBool directProcess);
};

// --- the driver interface -------------------------------------------------
//
// Slot order is the contract: QueryInterface, AddRef, Release (from IUnknown),
// then the methods below in this order. No destructor and no other virtual
// function may be added here.
struct IASIO : public IUnknown {
    virtual ASIOBool init(void* sysHandle) = 0;
    virtual void getDriverName(char* name) = 0;  // at most 32 bytes
    virtual ASIOLong getDriverVersion() = 0;
    virtual void getErrorMessage(char* string) = 0;  // at most 124 bytes
    virtual ASIOError start() = 0;
    virtual ASIOError stop() = 0;
    virtual ASIOError getChannels(ASIOLong* numInputChannels, ASIOLong* numOutputChannels) = 0;
    virtual ASIOError getLatencies(ASIOLong* inputLatency, ASIOLong* outputLatency) = 0;
    virtual ASIOError getBufferSize(ASIOLong* minSize, ASIOLong* maxSize, ASIOLong* preferredSize,
                                    ASIOLong* granularity) = 0;
    virtual ASIOError canSampleRate(ASIOSampleRate sampleRate) = 0;
    virtual ASIOError getSampleRate(ASIOSampleRate* sampleRate) = 0;
    virtual ASIOError setSampleRate(ASIOSampleRate sampleRate) = 0;
    virtual ASIOError getClockSources(ASIOClockSource* clocks, ASIOLong* numSources) = 0;
    virtual ASIOError setClockSource(ASIOLong reference) = 0;
    virtual ASIOError getSamplePosition(ASIOSamples* sPos, ASIOTimeStamp* tStamp) = 0;
    virtual ASIOError getChannelInfo(ASIOChannelInfo* info) = 0;
    virtual ASIOError createBuffers(ASIOBufferInfo* bufferInfos, ASIOLong numChannels, ASIOLong bufferSize,
                                    ASIOCallbacks* callbacks) = 0;
    virtual ASIOError disposeBuffers() = 0;
    virtual ASIOError controlPanel() = 0;
    virtual ASIOError future(ASIOLong selector, void* opt) = 0;
    virtual ASIOError outputReady() = 0;
};

// Slot of each method in the vtable, counted from QueryInterface = 0; tests use
// it to call through the raw table as a host compiled elsewhere would.
namespace asio_slots {
inline constexpr int kInit = 3;
inline constexpr int kGetDriverName = 4;
inline constexpr int kGetDriverVersion = 5;
inline constexpr int kGetErrorMessage = 6;
inline constexpr int kStart = 7;
inline constexpr int kStop = 8;
inline constexpr int kGetChannels = 9;
inline constexpr int kGetLatencies = 10;
inline constexpr int kGetBufferSize = 11;
inline constexpr int kCanSampleRate = 12;
inline constexpr int kGetSampleRate = 13;
inline constexpr int kSetSampleRate = 14;
inline constexpr int kGetClockSources = 15;
inline constexpr int kSetClockSource = 16;
inline constexpr int kGetSamplePosition = 17;
inline constexpr int kGetChannelInfo = 18;
inline constexpr int kCreateBuffers = 19;
inline constexpr int kDisposeBuffers = 20;
inline constexpr int kControlPanel = 21;
inline constexpr int kFuture = 22;
inline constexpr int kOutputReady = 23;
inline constexpr int kCount = 24;
}  // namespace asio_slots

// --- layout checks, for the width being built -------------------------------

static_assert(sizeof(ASIOLong) == 4 && sizeof(ASIOULong) == 4);
static_assert(sizeof(ASIOSampleRate) == 8);
static_assert(sizeof(ASIOSamples) == 8 && offsetof(ASIOSamples, lo) == 4);
static_assert(sizeof(ASIOTimeStamp) == 8 && offsetof(ASIOTimeStamp, lo) == 4);
static_assert(sizeof(ASIOClockSource) == 48);
static_assert(offsetof(ASIOClockSource, isCurrentSource) == 12);
static_assert(offsetof(ASIOClockSource, name) == 16);
static_assert(sizeof(ASIOChannelInfo) == 52);
static_assert(offsetof(ASIOChannelInfo, type) == 16);
static_assert(offsetof(ASIOChannelInfo, name) == 20);
static_assert(offsetof(ASIOBufferInfo, channelNum) == 4);
#if UINTPTR_MAX == 0xFFFFFFFFu  // 32-bit hosts
static_assert(offsetof(ASIOBufferInfo, buffers) == 8);
static_assert(sizeof(ASIOBufferInfo) == 16);
static_assert(sizeof(ASIOCallbacks) == 16);
static_assert(offsetof(ASIOCallbacks, bufferSwitchTimeInfo) == 12);
#else  // 64-bit hosts: the pointers sit at their natural 8-byte alignment
static_assert(offsetof(ASIOBufferInfo, buffers) == 8);
static_assert(sizeof(ASIOBufferInfo) == 24);
static_assert(sizeof(ASIOCallbacks) == 32);
static_assert(offsetof(ASIOCallbacks, asioMessage) == 16);
static_assert(offsetof(ASIOCallbacks, bufferSwitchTimeInfo) == 24);
#endif
