#include "class_factory.h"

#include "driver_factory.h"
#include "driver_ids.h"

const CFactoryTemplate g_Templates[] = {
    {u"Calvera", &kDriverClassId, CreateDriverObject, nullptr},
};
const int g_cTemplates = sizeof g_Templates / sizeof g_Templates[0];

const CFactoryTemplate* FindTemplate(REFCLSID clsid) {
    for (int i = 0; i < g_cTemplates; ++i)
        if (IsEqualGUID(clsid, *g_Templates[i].m_ClsID)) return &g_Templates[i];
    return nullptr;
}

CClassFactory::CClassFactory(const CFactoryTemplate* entry) : m_pTemplate(entry) {}

HRESULT STDMETHODCALLTYPE CClassFactory::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IClassFactory)) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

// The factory's count is interlocked too: a host may pass the factory to other
// threads, and the cost is nil.
ULONG STDMETHODCALLTYPE CClassFactory::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_cRef)); }

ULONG STDMETHODCALLTYPE CClassFactory::Release() {
    const LONG count = InterlockedDecrement(&m_cRef);
    if (count == 0) {
        delete this;
        return 0;
    }
    return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE CClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    // Aggregation works only through the inner object's IUnknown.
    if (outer != nullptr && !IsEqualGUID(riid, IID_IUnknown)) return E_NOINTERFACE;

    HRESULT hr = S_OK;
    CUnknown* object = m_pTemplate->m_lpfnNew(outer, &hr);
    if (object == nullptr) return E_OUTOFMEMORY;
    if (FAILED(hr)) {
        delete object;
        return hr;
    }
    // Holding a reference across the query means a failed query destroys the new
    // object again, and a successful one leaves exactly the caller's reference.
    object->NonDelegatingAddRef();
    hr = object->NonDelegatingQueryInterface(riid, ppv);
    object->NonDelegatingRelease();
    return hr;
}

HRESULT STDMETHODCALLTYPE CClassFactory::LockServer(BOOL lock) {
    ComLockServer(lock != FALSE);
    return S_OK;
}
