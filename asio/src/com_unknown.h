// The small COM object model of the driver: a module-wide object count, the
// non-delegating unknown that makes aggregation possible, and CUnknown, the base
// of every COM object this module creates.
#pragma once

#include "com.h"
#include "win32.h"

// Live CBaseObjects in this module (interlocked), and outstanding
// IClassFactory::LockServer(TRUE) calls. DllCanUnloadNow answers from both.
LONG ComObjectCount();
LONG ComServerLockCount();
void ComLockServer(bool lock);

// Counts itself in the module's object count for its whole life.
class CBaseObject {
public:
    CBaseObject();
    ~CBaseObject();
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;
};

// The object's own IUnknown when it is aggregated: the outer object holds this
// one, while the object's public interfaces forward to the outer unknown.
struct INonDelegatingUnknown {
    virtual HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingAddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingRelease() = 0;
};

class CUnknown : public INonDelegatingUnknown, public CBaseObject {
public:
    // `name` is not kept and `phr` is not written; `outer` is the aggregating
    // object or null.
    CUnknown(const char16_t* name, IUnknown* outer, HRESULT* phr);
    virtual ~CUnknown();

    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE NonDelegatingAddRef() override;
    ULONG STDMETHODCALLTYPE NonDelegatingRelease() override;

    // The owning unknown: the outer object when aggregated, null meaning this
    // object's own non-delegating unknown. The IUnknown methods of derived
    // interfaces forward through these three.
    IUnknown* OuterUnknown() const { return m_pOuter; }
    HRESULT OwnerQueryInterface(REFIID riid, void** ppv);
    ULONG OwnerAddRef();
    ULONG OwnerRelease();

    // Current reference count, for tests and diagnostics of the caller.
    LONG RefCount() const;

protected:
    IUnknown* const m_pOuter;
    volatile LONG m_cRef = 0;
};

// Stores `unknown` into `*ppv` and adds a reference through it; E_POINTER for a
// null out-parameter.
HRESULT GetInterface(IUnknown* unknown, void** ppv);
HRESULT GetInterface(INonDelegatingUnknown* unknown, void** ppv);
