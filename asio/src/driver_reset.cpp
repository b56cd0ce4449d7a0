// AsioOurs: reset requests to the host, the change flags that decide them, and
// the unit's status messages.
//
// The only message the driver ever sends a host besides bufferSwitch is a reset
// request (asioMessage with kAsioResetRequest), after asking whether the host
// supports it. Hosts answer it by releasing the driver and creating a new one.
#include "asio_ours.h"
#include "cs_lock.h"
#include "device/ioctl.h"

int AsioOurs::callAsioResetRequest() {
    // This thread may hold m_csApi already (setSampleRate, start); the streaming
    // thread (PollStatus) waits here for a running host call to end first.
    CCsLock api(&m_csApi);
    // Without buffers the host has nothing to reset, and no callbacks either.
    if (BufferSize() == 0) return 0;
    // Never while a period is processed: the host's handler does not overlap
    // its bufferSwitch.
    CCsLock stream(&m_csStream);
    ASIOCallbacks* callbacks = m_pCallbacks;
    if (callbacks == nullptr || callbacks->asioMessage == nullptr) return 0;
    if (callbacks->asioMessage(kAsioSelectorSupported, kAsioResetRequest, nullptr, nullptr) == 0) return 0;
    callbacks->asioMessage(kAsioResetRequest, 0, nullptr, nullptr);
    return 1;
}

void AsioOurs::AsioReset() {
    if (callAsioResetRequest() == 0) return;
    CCsLock lock(&m_csFlags);
    m_flags.bResetPending = 1;
}

BOOL AsioOurs::HasPendingChange() {
    CCsLock lock(&m_csFlags);
    return m_flags.bChChanged != 0 || m_flags.bSizeMismatch != 0 || m_flags.bBufChanged != 0 ? TRUE : FALSE;
}

// After a successful rate change.
void AsioOurs::RecheckChanges() {
    // Channel counts are fixed once the device set has opened; read them before
    // the flags lock, which is taken alone.
    const int32_t inputs = m_devAll.m_nIns * m_devAll.m_nUnits;
    const int32_t outputs = m_devAll.m_nOuts * m_devAll.m_nUnits;
    CCsLock lock(&m_csFlags);
    const bool owned = m_flags.pOwner != nullptr;
    const int32_t in = owned ? inputs : 0;
    const int32_t out = owned ? outputs : 0;
    m_flags.bChChanged = in != m_flags.nLastIn || out != m_flags.nLastOut ? 1 : 0;
    if (m_flags.bBufCreated != 0) m_flags.bBufChanged = 1;
}

// Streaming thread, on the status event.
void AsioOurs::PollStatus() {
    CDevOne* main = m_devAll.OpenMain();
    if (main == nullptr) return;
    MESSAGES_REQ messages{};
    if (!main->Request(IOCTL_GET_MESSAGES, &messages, sizeof messages)) return;
    // Only bit 0 means anything to the driver: the unit asks for a reset.
    if ((messages.nBits & kMessageResetRequest) != 0) AsioReset();
}
