// The driver object's base: IASIO first (hosts cast the object straight to
// IASIO*), the COM unknown second, and the state every part of the driver shares.
#pragma once

#include <atomic>
#include <cstdint>

#include "asio/iasio.h"
#include "com_unknown.h"
#include "dev_all.h"
#include "device/records.h"
#include "win32.h"

class AsioOursBase : public IASIO, public CUnknown {
public:
    explicit AsioOursBase(IUnknown* outer);
    ~AsioOursBase() override;

    // IUnknown of IASIO: forwarded to the owning unknown (the outer object when
    // aggregated, this object's own non-delegating unknown otherwise).
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // The driver's class id doubles as the interface id of IASIO.
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    void getDriverName(char* name) override;
    ASIOLong getDriverVersion() override;
    void getErrorMessage(char* string) override;
    ASIOError future(ASIOLong selector, void* opt) override;
    ASIOError outputReady() override;

    // Pure here; the definition is the buffer creation work the derived
    // createBuffers calls after its checks.
    ASIOError createBuffers(ASIOBufferInfo* bufferInfos, ASIOLong numChannels, ASIOLong bufferSize,
                            ASIOCallbacks* callbacks) override = 0;

    // --- shared state, in order. The device set and the streaming thread work
    // on it directly; the comments name the lock that guards each field. ---
    CDevAll m_devAll;
    CRITICAL_SECTION m_csPos;
    CRITICAL_SECTION m_csStream;
    CRITICAL_SECTION m_csApi;
    char m_szErrMsg[124] = {};
    BOOL m_bStarted = FALSE;              // m_csStream
    ASIOCallbacks* m_pCallbacks = nullptr;  // m_csStream
    int32_t m_nBufferSize = 0;            // m_csStream; 0: no buffers
    uint64_t m_nSamples = 0;              // m_csStream
    uint64_t m_samplePos = 0;             // m_csPos
    uint32_t m_nDevMs = 0;                // m_csStream
    uint64_t m_timeStamp = 0;             // m_csPos, nanoseconds
    uint32_t m_nDevPeriod = 0;            // m_csStream
    int32_t m_nBufIndex = 0;              // m_csStream
    DRV_SETTINGS_BUFFER m_settings;
    // Written by whichever host thread made the last state-checked call.
    std::atomic<ASIOError> m_lastError{ASE_OK};

    // The text of m_szErrMsg when no unit answered.
    static constexpr char kNoDeviceMessage[] = "Can not found a device. Please connect the device.";

protected:
    bool HasDevice() const { return m_devAll.IsPresent(); }
    ASIOError Fail(ASIOError code) {
        m_lastError.store(code, std::memory_order_relaxed);
        return code;
    }
};
