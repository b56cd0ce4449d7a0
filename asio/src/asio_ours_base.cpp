// AsioOursBase: the COM side of the driver object and the IASIO methods that
// need no state.
#include "asio_ours_base.h"

#include <cstring>

#include "device/identity.h"
#include "driver_ids.h"

AsioOursBase::AsioOursBase(IUnknown* outer)
    : CUnknown(u"Calvera", outer, nullptr), m_settings(device::DefaultSettingsBuffer()) {
    m_szErrMsg[0] = '\0';
}

AsioOursBase::~AsioOursBase() = default;

HRESULT STDMETHODCALLTYPE AsioOursBase::QueryInterface(REFIID riid, void** ppv) { return OwnerQueryInterface(riid, ppv); }
ULONG STDMETHODCALLTYPE AsioOursBase::AddRef() { return OwnerAddRef(); }
ULONG STDMETHODCALLTYPE AsioOursBase::Release() { return OwnerRelease(); }

HRESULT STDMETHODCALLTYPE AsioOursBase::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (IsEqualGUID(riid, kDriverClassId)) return GetInterface(static_cast<IASIO*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

void AsioOursBase::getDriverName(char* name) {
    if (name == nullptr) return;
    std::memcpy(name, device::kModelName, sizeof device::kModelName);
}

ASIOLong AsioOursBase::getDriverVersion() { return 1; }

void AsioOursBase::getErrorMessage(char* string) {
    if (string == nullptr) return;
    // The host's buffer holds 124 bytes: the text, zero-filled, always terminated.
    std::strncpy(string, m_szErrMsg, 123);
    string[123] = '\0';
}

ASIOError AsioOursBase::future(ASIOLong selector, void* opt) {
    (void)opt;
    switch (selector) {
        case kAsioSetInputMonitor:  // accepted, and nothing is done
        case kAsioCanInputMonitor:
            return ASE_SUCCESS;
        case kAsioEnableTimeCodeRead:
        case kAsioDisableTimeCodeRead:
        case kAsioTransport:
        case kAsioSetInputGain:
        case kAsioGetInputMeter:
        case kAsioSetOutputGain:
        case kAsioGetOutputMeter:
        case kAsioCanTimeInfo:  // so hosts call bufferSwitch, never bufferSwitchTimeInfo
        case kAsioCanTimeCode:
        case kAsioCanTransport:
        case kAsioCanInputGain:
        case kAsioCanInputMeter:
        case kAsioCanOutputGain:
        case kAsioCanOutputMeter:
            return ASE_NotPresent;
        default:
            return ASE_InvalidParameter;
    }
}

ASIOError AsioOursBase::outputReady() { return ASE_OK; }
