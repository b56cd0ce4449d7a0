// Host callbacks are plain C functions without a context argument, and a host
// hands each driver its own callback record. To reach the object behind a
// record, every slot of a small fixed table has its own set of functions, which
// look up the object registered in that slot.
#pragma once

#include "asio/iasio.h"

namespace session {

// What a driver may call back. Called on the driver's threads.
class IHostCallbacks {
public:
    virtual void BufferSwitch(ASIOLong index, ASIOBool directProcess) = 0;
    virtual void SampleRateDidChange(ASIOSampleRate rate) = 0;
    virtual ASIOLong AsioMessage(ASIOLong selector, ASIOLong value, void* message, double* opt) = 0;
    virtual ASIOTime* BufferSwitchTimeInfo(ASIOTime* params, ASIOLong index, ASIOBool directProcess) = 0;

protected:
    ~IHostCallbacks() = default;
};

// One claimed slot: a callback record whose four functions reach `target`.
// A callback that arrives after Release (a driver calling late) does nothing
// and answers 0.
class CallbackSlot {
public:
    static constexpr int kSlots = 8;  // drivers one process can stream with at once

    CallbackSlot() = default;
    ~CallbackSlot() { Release(); }
    CallbackSlot(const CallbackSlot&) = delete;
    CallbackSlot& operator=(const CallbackSlot&) = delete;

    // False when every slot is taken.
    bool Claim(IHostCallbacks* target);
    void Release();
    bool Claimed() const { return m_slot >= 0; }
    // The record to hand to createBuffers; stays valid while the slot is claimed.
    ASIOCallbacks* Record() { return &m_record; }

private:
    int m_slot = -1;
    ASIOCallbacks m_record = {};
};

}  // namespace session
