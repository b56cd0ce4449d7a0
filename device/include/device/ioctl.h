// Request codes of the kernel driver.
//
// Every code is built like a Windows CTL_CODE so that the function number and the
// transfer method stay visible; only the ring mapping is METHOD_OUT_DIRECT.
#pragma once

#include <cstdint>

namespace device {

inline constexpr uint32_t kDeviceTypeUnknown = 0x22;  // FILE_DEVICE_UNKNOWN
inline constexpr uint32_t kMethodBuffered = 0;
inline constexpr uint32_t kMethodOutDirect = 2;
inline constexpr uint32_t kFileAnyAccess = 0;

constexpr uint32_t CtlCode(uint32_t deviceType, uint32_t function, uint32_t method, uint32_t access) {
    return (deviceType << 16) | (access << 14) | (function << 2) | method;
}
constexpr uint32_t BufferedCode(uint32_t function) {
    return CtlCode(kDeviceTypeUnknown, function, kMethodBuffered, kFileAnyAccess);
}

constexpr uint32_t FunctionOf(uint32_t code) { return (code >> 2) & 0xFFFu; }
constexpr uint32_t MethodOf(uint32_t code) { return code & 3u; }

}  // namespace device

// The names are the contract's own, shared with the kernel driver.
inline constexpr uint32_t IOCTL_GET_UNIT_ID = device::BufferedCode(0x80F);
inline constexpr uint32_t IOCTL_GET_CHANNEL_COUNTS = device::BufferedCode(0x810);
inline constexpr uint32_t IOCTL_GET_PRIMARY_FLAG = device::BufferedCode(0x811);
inline constexpr uint32_t IOCTL_START_STREAM = device::BufferedCode(0x847);
inline constexpr uint32_t IOCTL_STOP_STREAM = device::BufferedCode(0x848);
inline constexpr uint32_t IOCTL_RELEASE_BUFFER = device::BufferedCode(0x849);
inline constexpr uint32_t IOCTL_GET_LATENCIES = device::BufferedCode(0x84A);
inline constexpr uint32_t IOCTL_GET_BUFFER_SIZES = device::BufferedCode(0x84C);
inline constexpr uint32_t IOCTL_GET_SAMPLE_SIZE = device::BufferedCode(0x84E);
inline constexpr uint32_t IOCTL_GET_POSITION = device::BufferedCode(0x84F);
inline constexpr uint32_t IOCTL_MAP_BUFFER =
    device::CtlCode(device::kDeviceTypeUnknown, 0x850, device::kMethodOutDirect, device::kFileAnyAccess);
inline constexpr uint32_t IOCTL_REGISTER_EVENTS = device::BufferedCode(0x854);
inline constexpr uint32_t IOCTL_UNREGISTER_EVENTS = device::BufferedCode(0x855);
inline constexpr uint32_t IOCTL_SET_UNIT_OPTION = device::BufferedCode(0x856);
inline constexpr uint32_t IOCTL_SET_GROUP_CONFIG = device::BufferedCode(0x857);
inline constexpr uint32_t IOCTL_GET_STREAM_STATUS = device::BufferedCode(0x858);
inline constexpr uint32_t IOCTL_GET_SETTINGS = device::BufferedCode(0x87A);
inline constexpr uint32_t IOCTL_SET_SETTINGS = device::BufferedCode(0x87B);
inline constexpr uint32_t IOCTL_GET_IN_USE = device::BufferedCode(0x87E);
inline constexpr uint32_t IOCTL_GET_DRIVER_RATE = device::BufferedCode(0x8C8);
inline constexpr uint32_t IOCTL_GET_UNIT_RATE = device::BufferedCode(0x8C9);
inline constexpr uint32_t IOCTL_SET_DRIVER_RATE = device::BufferedCode(0x8CA);
inline constexpr uint32_t IOCTL_CHECK_RATE = device::BufferedCode(0x8CB);
inline constexpr uint32_t IOCTL_GET_CLOCK_STATUS = device::BufferedCode(0x8D0);
inline constexpr uint32_t IOCTL_GET_RATE_LOCK = device::BufferedCode(0x8D2);
inline constexpr uint32_t IOCTL_SET_STREAM_RATE = device::BufferedCode(0x8FA);
inline constexpr uint32_t IOCTL_CHECK_STREAM_RATE = device::BufferedCode(0x8FB);
inline constexpr uint32_t IOCTL_GET_MESSAGES = device::BufferedCode(0x8FC);
inline constexpr uint32_t IOCTL_GET_STREAM_RATE = device::BufferedCode(0x8FD);

namespace device {

// Every code of the catalogue with its name and its buffer size in bytes (the
// same in both directions; the ring mapping's 12 is its input, its output being
// the ring block). No other code is ever sent.
struct RequestInfo {
    uint32_t code;
    const char* name;
    uint32_t size;
};

inline constexpr RequestInfo kRequestCatalogue[] = {
    {IOCTL_GET_UNIT_ID, "IOCTL_GET_UNIT_ID", 2056},
    {IOCTL_GET_CHANNEL_COUNTS, "IOCTL_GET_CHANNEL_COUNTS", 8},
    {IOCTL_GET_PRIMARY_FLAG, "IOCTL_GET_PRIMARY_FLAG", 4},
    {IOCTL_START_STREAM, "IOCTL_START_STREAM", 24},
    {IOCTL_STOP_STREAM, "IOCTL_STOP_STREAM", 12},
    {IOCTL_RELEASE_BUFFER, "IOCTL_RELEASE_BUFFER", 0},
    {IOCTL_GET_LATENCIES, "IOCTL_GET_LATENCIES", 12},
    {IOCTL_GET_BUFFER_SIZES, "IOCTL_GET_BUFFER_SIZES", 16},
    {IOCTL_GET_SAMPLE_SIZE, "IOCTL_GET_SAMPLE_SIZE", 8},
    {IOCTL_GET_POSITION, "IOCTL_GET_POSITION", 16},
    {IOCTL_MAP_BUFFER, "IOCTL_MAP_BUFFER", 12},
    {IOCTL_REGISTER_EVENTS, "IOCTL_REGISTER_EVENTS", 40},
    {IOCTL_UNREGISTER_EVENTS, "IOCTL_UNREGISTER_EVENTS", 40},
    {IOCTL_SET_UNIT_OPTION, "IOCTL_SET_UNIT_OPTION", 8},
    {IOCTL_SET_GROUP_CONFIG, "IOCTL_SET_GROUP_CONFIG", 32},
    {IOCTL_GET_STREAM_STATUS, "IOCTL_GET_STREAM_STATUS", 32},
    {IOCTL_GET_SETTINGS, "IOCTL_GET_SETTINGS", 340},
    {IOCTL_SET_SETTINGS, "IOCTL_SET_SETTINGS", 340},
    {IOCTL_GET_IN_USE, "IOCTL_GET_IN_USE", 4},
    {IOCTL_GET_DRIVER_RATE, "IOCTL_GET_DRIVER_RATE", 8},
    {IOCTL_GET_UNIT_RATE, "IOCTL_GET_UNIT_RATE", 8},
    {IOCTL_SET_DRIVER_RATE, "IOCTL_SET_DRIVER_RATE", 8},
    {IOCTL_CHECK_RATE, "IOCTL_CHECK_RATE", 12},
    {IOCTL_GET_CLOCK_STATUS, "IOCTL_GET_CLOCK_STATUS", 20},
    {IOCTL_GET_RATE_LOCK, "IOCTL_GET_RATE_LOCK", 4},
    {IOCTL_SET_STREAM_RATE, "IOCTL_SET_STREAM_RATE", 12},
    {IOCTL_CHECK_STREAM_RATE, "IOCTL_CHECK_STREAM_RATE", 12},
    {IOCTL_GET_MESSAGES, "IOCTL_GET_MESSAGES", 8},
    {IOCTL_GET_STREAM_RATE, "IOCTL_GET_STREAM_RATE", 8},
};

// The catalogue entry of `code`, or nullptr for a code outside the contract.
constexpr const RequestInfo* FindRequest(uint32_t code) {
    for (const RequestInfo& info : kRequestCatalogue)
        if (info.code == code) return &info;
    return nullptr;
}

}  // namespace device
