#include "com_unknown.h"

namespace {

volatile LONG g_cObjects = 0;
volatile LONG g_cServerLocks = 0;

// Reads a count that other threads change with interlocked operations.
LONG ReadCount(volatile LONG* count) { return InterlockedCompareExchange(count, 0, 0); }

ULONG AtLeastOne(LONG count) { return count > 1 ? static_cast<ULONG>(count) : 1u; }

}  // namespace

LONG ComObjectCount() { return ReadCount(&g_cObjects); }
LONG ComServerLockCount() { return ReadCount(&g_cServerLocks); }

// Hosts may lock the server from any apartment, so the lock count is interlocked
// like the object count.
void ComLockServer(bool lock) {
    if (lock)
        InterlockedIncrement(&g_cServerLocks);
    else
        InterlockedDecrement(&g_cServerLocks);
}

CBaseObject::CBaseObject() { InterlockedIncrement(&g_cObjects); }
CBaseObject::~CBaseObject() { InterlockedDecrement(&g_cObjects); }

CUnknown::CUnknown(const char16_t* name, IUnknown* outer, HRESULT* phr) : m_pOuter(outer) {
    (void)name;
    (void)phr;
}

CUnknown::~CUnknown() = default;

HRESULT STDMETHODCALLTYPE CUnknown::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    if (IsEqualGUID(riid, IID_IUnknown)) return GetInterface(static_cast<INonDelegatingUnknown*>(this), ppv);
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CUnknown::NonDelegatingAddRef() { return AtLeastOne(InterlockedIncrement(&m_cRef)); }

ULONG STDMETHODCALLTYPE CUnknown::NonDelegatingRelease() {
    const LONG count = InterlockedDecrement(&m_cRef);
    if (count != 0) return AtLeastOne(count);
    // A destructor may hand out and drop references to itself; starting them
    // from 1 keeps those from reaching 0 and deleting the object a second time.
    InterlockedExchange(&m_cRef, 1);
    delete this;
    return 0;
}

HRESULT CUnknown::OwnerQueryInterface(REFIID riid, void** ppv) {
    return m_pOuter != nullptr ? m_pOuter->QueryInterface(riid, ppv) : NonDelegatingQueryInterface(riid, ppv);
}
ULONG CUnknown::OwnerAddRef() { return m_pOuter != nullptr ? m_pOuter->AddRef() : NonDelegatingAddRef(); }
ULONG CUnknown::OwnerRelease() { return m_pOuter != nullptr ? m_pOuter->Release() : NonDelegatingRelease(); }

LONG CUnknown::RefCount() const { return ReadCount(const_cast<volatile LONG*>(&m_cRef)); }

HRESULT GetInterface(IUnknown* unknown, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = unknown;
    unknown->AddRef();
    return S_OK;
}

HRESULT GetInterface(INonDelegatingUnknown* unknown, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = unknown;
    unknown->NonDelegatingAddRef();
    return S_OK;
}
