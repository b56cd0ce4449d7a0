// AsioOurs: the checks and locks of start, stop, createBuffers and
// disposeBuffers, and the stop and release work they share with destruction.
#include "asio_ours.h"
#include "cs_lock.h"

int32_t AsioOurs::BufferSize() {
    CCsLock lock(&m_csStream);
    return m_nBufferSize;
}

bool AsioOurs::IsStarted() {
    CCsLock lock(&m_csStream);
    return m_bStarted != FALSE;
}

ASIOError AsioOurs::canCreateBuffers() {
    if (!HasDevice()) return Fail(ASE_NotPresent);
    if (BufferSize() != 0) return Fail(ASE_InvalidMode);
    bool resetPending;
    {
        CCsLock lock(&m_csFlags);
        resetPending = m_flags.bResetPending != 0;
    }
    // After the host accepted a reset request it is expected to release this
    // object; nothing is created any more.
    if (resetPending) return Fail(ASE_InvalidMode);
    return Fail(ASE_OK);
}

ASIOError AsioOurs::createBuffers(ASIOBufferInfo* bufferInfos, ASIOLong numChannels, ASIOLong bufferSize,
                                  ASIOCallbacks* callbacks) {
    CCsLock api(&m_csApi);
    ASIOError result = canCreateBuffers();
    if (result == ASE_OK) result = checkBufferSize(bufferSize);
    if (result == ASE_OK) result = AsioOursBase::createBuffers(bufferInfos, numChannels, bufferSize, callbacks);
    Fail(result);
    if (result != ASE_OK) {
        CCsLock lock(&m_csFlags);
        m_flags.bBufCreated = 0;
        m_flags.bBufChanged = 0;
    }
    return result;
}

ASIOError AsioOurs::releaseBuffers() {
    stop();
    {
        CCsLock lock(&m_csStream);
        m_pCallbacks = nullptr;
        m_devAll.DisposeBuf();
        m_nBufferSize = 0;
    }
    return ASE_OK;
}

ASIOError AsioOurs::disposeBuffers() {
    CCsLock api(&m_csApi);
    ASIOError result;
    if (!HasDevice())
        result = ASE_NotPresent;
    else if (BufferSize() == 0)
        result = ASE_InvalidMode;
    else
        result = releaseBuffers();
    Fail(result);
    {
        CCsLock lock(&m_csFlags);
        m_flags.bBufCreated = 0;
        m_flags.bBufChanged = 0;
    }
    return result;
}

ASIOError AsioOurs::canStart() {
    if (!HasDevice()) return Fail(ASE_NotPresent);
    if (BufferSize() == 0) return Fail(ASE_InvalidMode);
    bool resetPending;
    {
        CCsLock lock(&m_csFlags);
        resetPending = m_flags.bResetPending != 0;
    }
    if (resetPending || HasPendingChange()) {
        AsioReset();
        return Fail(ASE_InvalidMode);
    }
    if (IsStarted()) stop();
    return Fail(ASE_OK);
}

ASIOError AsioOurs::start() {
    CCsLock api(&m_csApi);
    ASIOError result = canStart();
    if (result == ASE_OK) result = startStreaming();
    return Fail(result);
}

ASIOError AsioOurs::stopStreaming() {
    {
        CCsLock lock(&m_csStream);
        m_bStarted = FALSE;
    }
    m_devAll.StopDevs();
    return ASE_OK;
}

// Takes no lock of its own: a host may call it from inside bufferSwitch.
ASIOError AsioOurs::stop() {
    if (!HasDevice()) return Fail(ASE_NotPresent);
    if (BufferSize() == 0) return Fail(ASE_InvalidMode);
    stopStreaming();
    return Fail(ASE_OK);
}
