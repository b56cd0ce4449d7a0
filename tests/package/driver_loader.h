// A driver library loaded as a host or the registration program loads it.
#pragma once

#include <dlfcn.h>

#include <cstdio>

#include "asio/iasio.h"
#include "com.h"
#include "device/identity.h"

namespace package_test {

// The driver's class id, read from its registry spelling.
inline CLSID DriverClassId() {
    CLSID id{};
    unsigned d4[8];
    std::sscanf(device::kDriverClassIdString, "{%8x-%4hx-%4hx-%2x%2x-%2x%2x%2x%2x%2x%2x}", &id.Data1, &id.Data2,
                &id.Data3, &d4[0], &d4[1], &d4[2], &d4[3], &d4[4], &d4[5], &d4[6], &d4[7]);
    for (int i = 0; i < 8; ++i) id.Data4[i] = static_cast<uint8_t>(d4[i]);
    return id;
}

class DriverLibrary {
public:
    explicit DriverLibrary(const char* path) : handle_(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {}
    ~DriverLibrary() {
        if (handle_ != nullptr) dlclose(handle_);
    }
    DriverLibrary(const DriverLibrary&) = delete;
    DriverLibrary& operator=(const DriverLibrary&) = delete;

    bool Loaded() const { return handle_ != nullptr; }

    template <class Function>
    Function Export(const char* name) const {
        return handle_ != nullptr ? reinterpret_cast<Function>(dlsym(handle_, name)) : nullptr;
    }

    // A new driver object through the class factory, as a host creates it; null
    // when any step fails. The caller releases it.
    IASIO* CreateDriver() const {
        auto getClassObject = Export<HRESULT (*)(REFCLSID, REFIID, void**)>("DllGetClassObject");
        if (getClassObject == nullptr) return nullptr;
        const CLSID id = DriverClassId();
        void* factory = nullptr;
        if (getClassObject(id, IID_IClassFactory, &factory) != S_OK) return nullptr;
        void* object = nullptr;
        const HRESULT created = static_cast<IClassFactory*>(factory)->CreateInstance(nullptr, id, &object);
        static_cast<IClassFactory*>(factory)->Release();
        return created == S_OK ? static_cast<IASIO*>(object) : nullptr;
    }

private:
    void* handle_;
};

}  // namespace package_test
