#include "driver_library.h"

#ifdef _WIN32
#include "win32.h"
#else
#include <dlfcn.h>
#endif

#include "device/identity.h"

namespace session {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads `digits` hex digits at `text`; false when one is missing.
bool ReadHex(const char*& text, int digits, uint64_t* value) {
    uint64_t v = 0;
    for (int i = 0; i < digits; ++i) {
        const int d = HexDigit(text[i]);
        if (d < 0) return false;
        v = (v << 4) | static_cast<uint64_t>(d);
    }
    text += digits;
    *value = v;
    return true;
}

bool Expect(const char*& text, char c) {
    if (*text != c) return false;
    ++text;
    return true;
}

}  // namespace

bool ParseGuid(const char* text, GUID* guid) {
    if (text == nullptr || guid == nullptr) return false;
    GUID g{};
    uint64_t v = 0;
    const char* p = text;
    if (!Expect(p, '{') || !ReadHex(p, 8, &v)) return false;
    g.Data1 = static_cast<uint32_t>(v);
    if (!Expect(p, '-') || !ReadHex(p, 4, &v)) return false;
    g.Data2 = static_cast<uint16_t>(v);
    if (!Expect(p, '-') || !ReadHex(p, 4, &v)) return false;
    g.Data3 = static_cast<uint16_t>(v);
    if (!Expect(p, '-')) return false;
    for (int i = 0; i < 8; ++i) {
        if (i == 2 && !Expect(p, '-')) return false;
        if (!ReadHex(p, 2, &v)) return false;
        g.Data4[i] = static_cast<uint8_t>(v);
    }
    if (!Expect(p, '}') || *p != '\0') return false;
    *guid = g;
    return true;
}

const CLSID& DriverClassId() {
    static const CLSID id = [] {
        CLSID parsed{};
        ParseGuid(device::kDriverClassIdString, &parsed);
        return parsed;
    }();
    return id;
}

namespace {

// The library's own loader: LoadLibrary and GetProcAddress on Windows, as a
// host's COM runtime loads an in-process server; dlopen and dlsym elsewhere.
#ifdef _WIN32
void* OpenLibrary(const char* path, std::string* error) {
    HMODULE module = LoadLibraryA(path);
    if (module == nullptr && error != nullptr)
        *error = "LoadLibrary failed (error " + std::to_string(GetLastError()) + ")";
    return reinterpret_cast<void*>(module);
}
void* FindExport(void* handle, const char* name) {
    // Through void*: GetProcAddress answers a generic function pointer.
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void CloseLibrary(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }
#else
void* OpenLibrary(const char* path, std::string* error) {
    void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr && error != nullptr) {
        const char* why = dlerror();
        *error = why != nullptr ? why : "the library does not load";
    }
    return handle;
}
void* FindExport(void* handle, const char* name) { return dlsym(handle, name); }
void CloseLibrary(void* handle) { dlclose(handle); }
#endif

}  // namespace

bool DriverLibrary::Load(const char* path, std::string* error) {
    Unload();
    void* handle = OpenLibrary(path, error);
    if (handle == nullptr) return false;
    static const char* const kExports[] = {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer",
                                           "DllUnregisterServer", "DllEntryPoint"};
    for (const char* name : kExports) {
        if (FindExport(handle, name) == nullptr) {
            if (error != nullptr) *error = std::string("the library does not export ") + name;
            CloseLibrary(handle);
            return false;
        }
    }
    m_handle = handle;
    m_getClassObject = reinterpret_cast<GetClassObjectFn>(FindExport(handle, "DllGetClassObject"));
    m_canUnloadNow = reinterpret_cast<CanUnloadNowFn>(FindExport(handle, "DllCanUnloadNow"));
    return true;
}

void DriverLibrary::Unload() {
    if (m_handle == nullptr) return;
    CloseLibrary(m_handle);
    m_handle = nullptr;
    m_getClassObject = nullptr;
    m_canUnloadNow = nullptr;
}

HRESULT DriverLibrary::CreateDriver(IASIO** driver) {
    if (driver == nullptr) return E_POINTER;
    *driver = nullptr;
    if (m_getClassObject == nullptr) return E_UNEXPECTED;
    IClassFactory* factory = nullptr;
    HRESULT hr = m_getClassObject(DriverClassId(), IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    if (factory == nullptr) return E_POINTER;
    void* object = nullptr;
    hr = factory->CreateInstance(nullptr, DriverClassId(), &object);
    factory->Release();
    if (FAILED(hr)) return hr;
    if (object == nullptr) return E_POINTER;
    *driver = static_cast<IASIO*>(object);
    return S_OK;
}

HRESULT DriverLibrary::CanUnloadNow() { return m_canUnloadNow != nullptr ? m_canUnloadNow() : S_OK; }

}  // namespace session
