// AsioOurs: construction (which opens the unit), destruction and init.
#include <cstring>
#include <new>

#include "asio_ours.h"
#include "cs_lock.h"
#include "device/ioctl.h"
#include "driver_factory.h"

CUnknown* CreateDriverObject(IUnknown* outer, HRESULT* phr) {
    (void)phr;
    AsioOurs* object = new (std::nothrow) AsioOurs(outer);
    return object;
}

void AsioOurs::ResetFlags(AsioOurs* owner) {
    CCsLock lock(&m_csFlags);
    m_flags = ChangeFlags{};
    m_flags.pOwner = owner;
}

AsioOurs::AsioOurs(IUnknown* outer) : AsioOursBase(outer) {
    InitializeCriticalSection(&m_csFlags);
    ResetFlags(nullptr);
    InitializeCriticalSection(&m_csPos);
    InitializeCriticalSection(&m_csStream);
    InitializeCriticalSection(&m_csApi);
    m_bStarted = FALSE;
    m_pCallbacks = nullptr;
    m_nBufferSize = 0;
    m_nSamples = 0;
    m_samplePos = 0;
    m_timeStamp = 0;

    m_devAll.Init(this);
    if (!m_devAll.OpenDevs()) {
        // The host still gets an object; init and getErrorMessage tell it why it
        // cannot stream. Nothing is retried in this object.
        std::strncpy(m_szErrMsg, kNoDeviceMessage, sizeof m_szErrMsg - 1);
        m_szErrMsg[sizeof m_szErrMsg - 1] = '\0';
        return;
    }
    for (int i = 0; i < CDevAll::kSlotsTried; ++i) {
        CDevOne& unit = m_devAll.Unit(i);
        if (!unit.IsOpen()) continue;
        UNIT_OPTION_REQ option{};
        option.nOption = static_cast<uint32_t>(unit.m_nAux);
        unit.Request(IOCTL_SET_UNIT_OPTION, &option, sizeof option);
    }
    if (CDevOne* main = m_devAll.OpenMain()) main->GetSettings(&m_settings);
    m_lastError.store(ASE_OK, std::memory_order_relaxed);
    ResetFlags(this);
}

AsioOurs::~AsioOurs() {
    // A host may release the driver without stopping or disposing first.
    stop();
    disposeBuffers();
    ResetFlags(nullptr);
    m_devAll.CloseDevs();
    DeleteCriticalSection(&m_csApi);
    DeleteCriticalSection(&m_csStream);
    DeleteCriticalSection(&m_csPos);
    DeleteCriticalSection(&m_csFlags);
}

ASIOBool AsioOurs::init(void* sysHandle) {
    (void)sysHandle;
    return HasDevice() ? ASIOTrue : ASIOFalse;
}
