// AsioOurs: the sample position and the control panel.
#include "asio_ours.h"
#include "build_variant.h"
#include "cs_lock.h"

ASIOError AsioOurs::getSamplePosition(ASIOSamples* sPos, ASIOTimeStamp* tStamp) {
    if (!HasDevice()) return Fail(ASE_NotPresent);
    if (sPos == nullptr || tStamp == nullptr) return Fail(ASE_InvalidParameter);
    uint64_t position;
    uint64_t stamp;
    {
        // Taken as a pair: the streaming thread updates both under this lock.
        CCsLock lock(&m_csPos);
        position = m_samplePos;
        stamp = m_timeStamp;
    }
    sPos->hi = static_cast<ASIOULong>(position >> 32);
    sPos->lo = static_cast<ASIOULong>(position & 0xFFFFFFFFu);
    tStamp->hi = static_cast<ASIOULong>(stamp >> 32);
    tStamp->lo = static_cast<ASIOULong>(stamp & 0xFFFFFFFFu);
    return Fail(ASE_OK);
}

// Starts the settings program and does not wait for it; the program reaches the
// unit on its own, and a changed setting comes back to the host as a reset
// request, not through this call's return.
ASIOError AsioOurs::controlPanel() {
    char command[128];
    if (FormatControlPanelCommand(command, sizeof command) < 0) command[0] = '\0';
    const UINT launched = WinExec(command, SW_SHOW);
    // WinExec answers 32 or more when the program started.
    if (launched < 32) MessageBoxA(nullptr, command, nullptr, MB_OK);
    return Fail(ASE_OK);
}
