// A minimal ASIO host for the Windows builds, run under Wine by hand or by CI:
// loads the driver library, creates the driver object through its class
// factory, makes the calls that need no unit, releases it and unloads the
// library. Exit code 0 when every answer is as expected.
//
//   wine driver_host.exe Mxsb4410.dll
#include <cstdio>
#include <cstring>

#include "asio/iasio.h"
#include "com.h"
#include "driver_ids.h"
#include "win32.h"

namespace {

int g_failures = 0;

void Check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok) ++g_failures;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: driver_host <driver.dll>\n");
        return 2;
    }
    HMODULE library = LoadLibraryA(argv[1]);
    Check(library != nullptr, "the library loads (its entry point ran)");
    if (library == nullptr) return 1;
    using GetClassObjectFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    using CanUnloadNowFn = HRESULT(WINAPI*)();
    // Through void*: GetProcAddress answers a generic function pointer.
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(library, "DllGetClassObject")));
    auto canUnloadNow =
        reinterpret_cast<CanUnloadNowFn>(reinterpret_cast<void*>(GetProcAddress(library, "DllCanUnloadNow")));
    Check(getClassObject != nullptr && canUnloadNow != nullptr, "the exports are found by their plain names");
    if (getClassObject == nullptr || canUnloadNow == nullptr) return 1;

    void* factoryPointer = nullptr;
    Check(getClassObject(kDriverClassId, IID_IClassFactory, &factoryPointer) == S_OK, "DllGetClassObject");
    auto* factory = static_cast<IClassFactory*>(factoryPointer);
    void* object = nullptr;
    Check(factory != nullptr && factory->CreateInstance(nullptr, kDriverClassId, &object) == S_OK, "CreateInstance");
    if (factory != nullptr) factory->Release();
    auto* asio = static_cast<IASIO*>(object);
    if (asio != nullptr) {
        Check(asio->AddRef() == 2 && asio->Release() == 1, "one reference");
        // No kernel driver here: the object exists and says why it cannot stream.
        Check(asio->init(nullptr) == ASIOFalse, "init without a unit");
        char message[124];
        asio->getErrorMessage(message);
        Check(std::strcmp(message, "Can not found a device. Please connect the device.") == 0, "getErrorMessage");
        char name[32];
        asio->getDriverName(name);
        Check(std::strcmp(name, "Calvera") == 0, "getDriverName");
        Check(asio->getDriverVersion() == 1, "getDriverVersion");
        Check(asio->future(kAsioCanInputMonitor, nullptr) == ASE_SUCCESS, "future");
        ASIOLong in = 5, out = 5;
        Check(asio->getChannels(&in, &out) == ASE_NotPresent && in == 0 && out == 0, "getChannels");
        Check(canUnloadNow() == S_FALSE, "DllCanUnloadNow while the object lives");
        Check(asio->Release() == 0, "the last release");
    }
    Check(canUnloadNow() == S_OK, "DllCanUnloadNow afterwards");
    Check(FreeLibrary(library) != FALSE, "the library unloads");
    std::printf("%d failure(s)\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}
