// What the virtual unit records about the requests it receives, and the faults a
// test can make it answer with.
#pragma once

#include <cstdint>

#include "win32.h"

namespace vu {

enum class LogKind : uint8_t { Open, Request, Close };

// One open, request or close as the unit saw it.
struct LogEntry {
    uint64_t sequence = 0;   // counts every entry since the model was made, also cleared ones
    LogKind kind = LogKind::Request;
    int unit = 0;            // 1..8; 0 when the path or the handle named no unit
    HANDLE handle = nullptr; // the device handle (Open: the one returned, or INVALID_HANDLE_VALUE)
    uint32_t code = 0;       // request code (Request only)
    uint32_t inSize = 0;
    uint32_t outSize = 0;
    // Request: the first eight u32 words of the input as received (zero beyond
    // inSize), e.g. {0, rate, flag} or {0, F, F × 64}; the period event of
    // IOCTL_START_STREAM is words 4 and 5, the events of IOCTL_REGISTER_EVENTS
    // words 2-3 and 6-7. Open: access, share mode, creation, flags.
    uint32_t words[8] = {};
    BOOL result = FALSE;
    DWORD error = 0;         // the error the call left (ERROR_IO_PENDING for a pending mapping); 0 on success
    DWORD threadId = 0;

    uint32_t Word(unsigned index) const { return index < 8 ? words[index] : 0; }
};

// A planned misbehaviour: requests with `code` (on `unit`, or on every unit when
// 0) are affected from the `from`-th matching request after the fault was added
// (1 = the next one), for `times` requests (0 = until it is removed).
//
// A failing fault (error ≠ 0) makes the request fail with that error before it
// does anything. An answering fault lets the request run as usual and, when it
// succeeds, overwrites the given u32 words of its answer (offsets inside the
// request's size; others are ignored), e.g. 200 at offset 12 of
// IOCTL_GET_POSITION, or 0 at offset 4 of IOCTL_GET_STREAM_STATUS. Failing
// IOCTL_RELEASE_BUFFER leaves the mapping pending, so a sender that waits for it
// waits for ever: use it with care.
struct Fault {
    struct Word {
        uint32_t offset = 0;
        uint32_t value = 0;
    };

    uint32_t code = 0;
    int unit = 0;
    uint32_t from = 1;
    uint32_t times = 0;
    DWORD error = 0;
    uint32_t answerCount = 0;  // used entries of answer
    Word answer[4];

    static Fault Fail(uint32_t code, DWORD error = ERROR_GEN_FAILURE, int unit = 0) {
        Fault f;
        f.code = code;
        f.error = error;
        f.unit = unit;
        return f;
    }
    static Fault Answer(uint32_t code, uint32_t offset, uint32_t value, int unit = 0) {
        Fault f;
        f.code = code;
        f.unit = unit;
        f.answerCount = 1;
        f.answer[0] = Word{offset, value};
        return f;
    }
    Fault& AndAnswer(uint32_t offset, uint32_t value) {
        if (answerCount < 4) answer[answerCount++] = Word{offset, value};
        return *this;
    }
    Fault& From(uint32_t nth) {
        from = nth;
        return *this;
    }
    Fault& Times(uint32_t count) {
        times = count;
        return *this;
    }
};

}  // namespace vu
