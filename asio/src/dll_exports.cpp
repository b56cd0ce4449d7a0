// The five exports of the driver library: class objects, unloading, the two
// registration entries and the library's main routine.
#include <new>

#include "build_variant.h"
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

namespace {

// Process attach and detach as this module sees them.
void NotifyModule(HINSTANCE instance, DWORD reason) {
    if (reason == DLL_PROCESS_ATTACH) {
        // No thread of the host needs to pass through here.
        DisableThreadLibraryCalls(instance);
        PrepareDevicePort();
        for (int i = 0; i < g_cTemplates; ++i)
            if (g_Templates[i].m_lpfnInit != nullptr) g_Templates[i].m_lpfnInit(TRUE, g_Templates[i].m_ClsID);
    } else if (reason == DLL_PROCESS_DETACH) {
        for (int i = 0; i < g_cTemplates; ++i)
            if (g_Templates[i].m_lpfnInit != nullptr) g_Templates[i].m_lpfnInit(FALSE, g_Templates[i].m_ClsID);
    }
}

}  // namespace

#if defined(_WIN32)
// DllEntryPoint is the library's entry point. The C runtime's own entry must
// still set the runtime up before our work and tear it down after; it calls
// DllEntryPoint back itself, and those nested calls have nothing to do. The
// loader serialises entry calls, so a plain flag tells them apart.
extern "C" BOOL WINAPI DllMainCRTStartup(HANDLE instance, DWORD reason, LPVOID reserved);

namespace {
bool g_inRuntimeEntry = false;

BOOL RuntimeEntry(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    g_inRuntimeEntry = true;
    const BOOL ok = DllMainCRTStartup(instance, reason, reserved);
    g_inRuntimeEntry = false;
    return ok;
}
}  // namespace

BOOL WINAPI DllEntryPoint(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (g_inRuntimeEntry) return TRUE;
    if (reason == DLL_PROCESS_ATTACH && !RuntimeEntry(instance, reason, reserved)) return FALSE;
    NotifyModule(instance, reason);
    if (reason == DLL_PROCESS_DETACH) RuntimeEntry(instance, reason, reserved);
    return TRUE;
}
#else
BOOL WINAPI DllEntryPoint(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    NotifyModule(instance, reason);
    return TRUE;
}

// A shared object has no entry routine; its constructor and destructor stand in
// for process attach and detach.
namespace {
__attribute__((constructor)) void LibraryLoaded() { DllEntryPoint(nullptr, DLL_PROCESS_ATTACH, nullptr); }
__attribute__((destructor)) void LibraryUnloaded() { DllEntryPoint(nullptr, DLL_PROCESS_DETACH, nullptr); }
}  // namespace
#endif
