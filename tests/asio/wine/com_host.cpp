// An ASIO host as real hosts reach the driver, for the Windows builds under
// Wine: COM initialised for an apartment, the driver created by
// CoCreateInstance from its registration with the class id doubling as the
// interface id, the result taken as IASIO. The driver must be registered (the
// check script runs regsvr32 first) and no kernel driver is present.
//
//   wine com_host.exe Mxsb4410.dll          the object without a unit
//   wine com_host.exe Mxsb4410.dll panel    also controlPanel (the settings
//                                           program must be on the search path)
//
// One line per check; exit code 0 when every answer is as expected.
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

using CanUnloadNowFn = HRESULT(WINAPI*)();

// The export of the module COM loaded, as the host's process sees it.
CanUnloadNowFn FindCanUnloadNow(const char* file) {
    HMODULE module = GetModuleHandleA(file);
    if (module == nullptr) return nullptr;
    return reinterpret_cast<CanUnloadNowFn>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || (argc == 3 && std::strcmp(argv[2], "panel") != 0)) {
        std::printf("usage: com_host <driver file name> [panel]\n");
        return 2;
    }
    const bool panel = argc == 3;
    Check(SUCCEEDED(CoInitialize(nullptr)), "CoInitialize");

    void* pointer = nullptr;
    const HRESULT created = CoCreateInstance(kDriverClassId, nullptr, CLSCTX_INPROC_SERVER, kDriverClassId, &pointer);
    Check(created == S_OK && pointer != nullptr, "CoCreateInstance with the class id as interface id");
    auto* asio = static_cast<IASIO*>(pointer);
    const CanUnloadNowFn canUnloadNow = FindCanUnloadNow(argv[1]);
    Check(canUnloadNow != nullptr, "the registered library is loaded and exports DllCanUnloadNow");

    if (asio != nullptr) {
        Check(asio->init(GetDesktopWindow()) == ASIOFalse, "init without a unit");
        char message[124] = {};
        asio->getErrorMessage(message);
        Check(std::strcmp(message, "Can not found a device. Please connect the device.") == 0, "getErrorMessage");
        if (canUnloadNow != nullptr) Check(canUnloadNow() == S_FALSE, "DllCanUnloadNow while the object lives");
        if (panel) Check(asio->controlPanel() == ASE_OK, "controlPanel");
        Check(asio->Release() == 0, "the last release");
    }
    if (canUnloadNow != nullptr) Check(canUnloadNow() == S_OK, "DllCanUnloadNow after the release");

    CoUninitialize();
    std::printf("%d failure(s)\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}
