// A minimal ASIO host for the Windows builds, run under Wine by hand or by CI:
// loads the driver library, creates the driver object through its class
// factory, makes the calls that need no unit, releases it, registers and
// unregisters the driver in the registry of the Wine prefix (leaving it as it
// was, apart from SOFTWARE\ASIO) and unloads the library. Exit code 0 when every
// answer is as expected.
//
//   wine driver_host.exe Mxsb4410.dll
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

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

bool KeyExists(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A string value, or "" when it cannot be read.
std::string Value(HKEY root, const char* path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
    char buffer[400] = {};
    DWORD size = sizeof buffer - 1;
    const LSTATUS status = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? buffer : "";
}

bool EndsWithIgnoringCase(const std::string& text, const std::string& end) {
    if (text.size() < end.size()) return false;
    for (size_t i = 0; i < end.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - end.size() + i])) !=
            std::tolower(static_cast<unsigned char>(end[i])))
            return false;
    return true;
}

// The registration against the real registry: both entries, a second
// registration, and unregistering, which leaves SOFTWARE\ASIO.
void CheckRegistration(HMODULE library, const char* file) {
    using ServerFn = HRESULT(WINAPI*)();
    auto registerServer =
        reinterpret_cast<ServerFn>(reinterpret_cast<void*>(GetProcAddress(library, "DllRegisterServer")));
    auto unregisterServer =
        reinterpret_cast<ServerFn>(reinterpret_cast<void*>(GetProcAddress(library, "DllUnregisterServer")));
    Check(registerServer != nullptr && unregisterServer != nullptr, "the registration exports are found");
    if (registerServer == nullptr || unregisterServer == nullptr) return;
    const char* classKey = "CLSID\\{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}";
    const char* serverKey = "CLSID\\{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}\\InprocServer32";
    const char* driverKey = "SOFTWARE\\ASIO\\Calvera";
    for (int round = 1; round <= 2; ++round) {
        Check(registerServer() == S_OK, round == 1 ? "DllRegisterServer" : "DllRegisterServer again");
        Check(Value(HKEY_CLASSES_ROOT, classKey, nullptr) == "Calvera", "the class description");
        const std::string server = Value(HKEY_CLASSES_ROOT, serverKey, nullptr);
        Check(EndsWithIgnoringCase(server, std::string("\\system32\\") + file), "the class's file in the system directory");
        Check(Value(HKEY_CLASSES_ROOT, serverKey, "ThreadingModel") == "Apartment", "the threading model");
        Check(Value(HKEY_LOCAL_MACHINE, driverKey, "CLSID") == "{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}",
              "the ASIO entry's class id");
        Check(Value(HKEY_LOCAL_MACHINE, driverKey, "Description") == "Calvera", "the ASIO entry's description");
    }
    Check(unregisterServer() == S_OK, "DllUnregisterServer");
    Check(!KeyExists(HKEY_CLASSES_ROOT, classKey), "the class is gone");
    Check(!KeyExists(HKEY_LOCAL_MACHINE, driverKey), "the ASIO entry is gone");
    Check(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO"), "SOFTWARE\\ASIO stays");
    Check(unregisterServer() == S_OK, "DllUnregisterServer with nothing registered");
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
    const char* slash = std::strrchr(argv[1], '\\');
    const char* base = std::strrchr(argv[1], '/');
    const char* file = slash != nullptr ? slash + 1 : base != nullptr ? base + 1 : argv[1];
    CheckRegistration(library, file);
    Check(FreeLibrary(library) != FALSE, "the library unloads");
    std::printf("%d failure(s)\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}
