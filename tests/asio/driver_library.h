// The driver library loaded as a host loads it: dlopen and the five exports.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "com.h"
#include "win32.h"

namespace asiotest {

class DriverLibrary {
public:
    explicit DriverLibrary(const char* path) {
        m_handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        EXPECT_NE(m_handle, nullptr) << dlerror();
        if (m_handle == nullptr) return;
        GetClassObject = reinterpret_cast<decltype(GetClassObject)>(dlsym(m_handle, "DllGetClassObject"));
        CanUnloadNow = reinterpret_cast<decltype(CanUnloadNow)>(dlsym(m_handle, "DllCanUnloadNow"));
        RegisterServer = reinterpret_cast<decltype(RegisterServer)>(dlsym(m_handle, "DllRegisterServer"));
        UnregisterServer = reinterpret_cast<decltype(UnregisterServer)>(dlsym(m_handle, "DllUnregisterServer"));
        EntryPoint = reinterpret_cast<decltype(EntryPoint)>(dlsym(m_handle, "DllEntryPoint"));
    }
    ~DriverLibrary() {
        if (m_handle != nullptr) dlclose(m_handle);
    }
    bool Loaded() const {
        return GetClassObject && CanUnloadNow && RegisterServer && UnregisterServer && EntryPoint;
    }
    void* Symbol(const char* name) const { return m_handle != nullptr ? dlsym(m_handle, name) : nullptr; }

    HRESULT (*GetClassObject)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT (*CanUnloadNow)() = nullptr;
    HRESULT (*RegisterServer)() = nullptr;
    HRESULT (*UnregisterServer)() = nullptr;
    BOOL (*EntryPoint)(HINSTANCE, DWORD, LPVOID) = nullptr;

private:
    void* m_handle = nullptr;
};

}  // namespace asiotest
