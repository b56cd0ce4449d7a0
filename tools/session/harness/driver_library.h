// The driver library loaded the way a host loads an in-process COM server: the
// library by its file name, the class object by its export, the driver object
// from the class factory with the class id doubling as the interface id.
#pragma once

#include <string>

#include "asio/iasio.h"
#include "com.h"

namespace session {

// The driver's class id, parsed from the registry spelling a host reads.
const CLSID& DriverClassId();
// Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; false for anything else.
bool ParseGuid(const char* text, GUID* guid);

class DriverLibrary {
public:
    DriverLibrary() = default;
    ~DriverLibrary() { Unload(); }
    DriverLibrary(const DriverLibrary&) = delete;
    DriverLibrary& operator=(const DriverLibrary&) = delete;

    // Loads the library and finds its five exports; on failure says why.
    bool Load(const char* path, std::string* error);
    // Unloads the library; a host does so only once DllCanUnloadNow allows it.
    void Unload();
    bool Loaded() const { return m_handle != nullptr; }

    // DllGetClassObject for IClassFactory, CreateInstance without an outer
    // object and with the class id as interface id, the factory released again.
    // *driver is null unless S_OK.
    HRESULT CreateDriver(IASIO** driver);
    HRESULT CanUnloadNow();

private:
    // The exports' calling convention (stdcall on 32-bit Windows).
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

    void* m_handle = nullptr;  // HMODULE on Windows, the dlopen handle elsewhere
    GetClassObjectFn m_getClassObject = nullptr;
    CanUnloadNowFn m_canUnloadNow = nullptr;
};

}  // namespace session
