// The five exports of the driver library: class objects, unloading, the two
// registration entries and the library's main routine.
#include <new>

#include "class_factory.h"
#include "com.h"
#include "com_unknown.h"
#include "registration.h"
#include "win32.h"

#ifdef _WIN32
#define MX_DRIVER_EXPORT
#else
#define MX_DRIVER_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
MX_DRIVER_EXPORT HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv);
MX_DRIVER_EXPORT HRESULT STDAPICALLTYPE DllCanUnloadNow(void);
MX_DRIVER_EXPORT HRESULT STDAPICALLTYPE DllRegisterServer(void);
MX_DRIVER_EXPORT HRESULT STDAPICALLTYPE DllUnregisterServer(void);
MX_DRIVER_EXPORT BOOL WINAPI DllEntryPoint(HINSTANCE instance, DWORD reason, LPVOID reserved);
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    if (!IsEqualGUID(riid, IID_IUnknown) && !IsEqualGUID(riid, IID_IClassFactory)) return E_NOINTERFACE;
    const CFactoryTemplate* entry = FindTemplate(rclsid);
    if (entry == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
    if (ppv == nullptr) return E_POINTER;
    CClassFactory* factory = new (std::nothrow) CClassFactory(entry);
    *ppv = factory;
    if (factory == nullptr) return E_OUTOFMEMORY;
    factory->AddRef();
    return S_OK;
}

HRESULT STDAPICALLTYPE DllCanUnloadNow(void) {
    return ComServerLockCount() > 0 || ComObjectCount() != 0 ? S_FALSE : S_OK;
}

HRESULT STDAPICALLTYPE DllRegisterServer(void) { return RegisterDriver(); }
HRESULT STDAPICALLTYPE DllUnregisterServer(void) { return UnregisterDriver(); }

#if defined(_WIN32)
// The library's entry point is DllEntryPoint itself; the C runtime's own entry
// still has to set up and tear down the runtime around our work.
extern "C" BOOL WINAPI DllMainCRTStartup(HANDLE instance, DWORD reason, LPVOID reserved);
#endif

BOOL WINAPI DllEntryPoint(HINSTANCE instance, DWORD reason, LPVOID reserved) {
#if defined(_WIN32)
    if (reason == DLL_PROCESS_ATTACH && !DllMainCRTStartup(instance, reason, reserved)) return FALSE;
#else
    (void)reserved;
#endif
    if (reason == DLL_PROCESS_ATTACH) {
        // No thread of the host needs to pass through here.
        DisableThreadLibraryCalls(instance);
        for (int i = 0; i < g_cTemplates; ++i)
            if (g_Templates[i].m_lpfnInit != nullptr) g_Templates[i].m_lpfnInit(TRUE, g_Templates[i].m_ClsID);
    } else if (reason == DLL_PROCESS_DETACH) {
        for (int i = 0; i < g_cTemplates; ++i)
            if (g_Templates[i].m_lpfnInit != nullptr) g_Templates[i].m_lpfnInit(FALSE, g_Templates[i].m_ClsID);
    }
#if defined(_WIN32)
    if (reason == DLL_PROCESS_DETACH) DllMainCRTStartup(instance, reason, reserved);
#endif
    return TRUE;
}

#if !defined(_WIN32)
// A shared object has no entry routine; its constructor and destructor stand in
// for process attach and detach.
namespace {
__attribute__((constructor)) void LibraryLoaded() { DllEntryPoint(nullptr, DLL_PROCESS_ATTACH, nullptr); }
__attribute__((destructor)) void LibraryUnloaded() { DllEntryPoint(nullptr, DLL_PROCESS_DETACH, nullptr); }
}  // namespace
#endif
