// The table of classes this server creates, and the class factory COM hands to
// a host for one of them.
#pragma once

#include "com.h"
#include "com_unknown.h"

// One creatable class.
struct CFactoryTemplate {
    const char16_t* m_Name;  // UTF-16 name of the class
    const CLSID* m_ClsID;
    // Creates the object for `outer` (null when not aggregated); answers its
    // non-delegating unknown, or null when it cannot be allocated. May set `*phr`
    // to a failure, in which case the caller deletes the object again.
    CUnknown* (*m_lpfnNew)(IUnknown* outer, HRESULT* phr);
    // Called at process attach (true) and detach (false), or null.
    void (*m_lpfnInit)(BOOL loading, const CLSID* clsid);
};

// The class table: exactly one entry, the driver object.
extern const CFactoryTemplate g_Templates[];
extern const int g_cTemplates;

// The template for `clsid`, or null.
const CFactoryTemplate* FindTemplate(REFCLSID clsid);

class CClassFactory : public IClassFactory {
public:
    explicit CClassFactory(const CFactoryTemplate* entry);
    virtual ~CClassFactory() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    const CFactoryTemplate* const m_pTemplate;
    volatile LONG m_cRef = 0;
};
