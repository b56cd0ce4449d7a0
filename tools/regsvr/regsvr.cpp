// regsvr: registers or unregisters an in-process server library on Linux, the
// way the system's registration program does on Windows: it loads the library,
// calls its DllRegisterServer (or, with -u, DllUnregisterServer) and reports
// the outcome.
//
//   regsvr [-u] [-s] <library>
//
// -u unregisters, -s keeps quiet. The registry written is the one the platform
// library uses in this process (MX_REGISTRY_FILE chooses a shared file). The exit
// status follows the system program's: 0 done, 1 bad arguments, 3 the library
// did not load, 4 it lacks the entry point, 5 the entry point reported failure.
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

enum ExitStatus { kDone = 0, kBadArguments = 1, kLoadFailed = 3, kNoEntryPoint = 4, kCallFailed = 5 };

// HRESULT STDAPICALLTYPE DllRegisterServer(void), and its unregistering twin.
using ServerEntry = int32_t (*)();

struct Options {
    bool unregister = false;
    bool silent = false;
    const char* library = nullptr;
};

// Accepts the switches in both spellings, "-u" and "/u", in any order and case.
bool ParseArguments(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        if ((word[0] == '-' || word[0] == '/') && word[1] != '\0' && word[2] == '\0') {
            switch (word[1]) {
                case 'u': case 'U': options.unregister = true; continue;
                case 's': case 'S': options.silent = true; continue;
                default: return false;
            }
        }
        if (options.library != nullptr) return false;
        options.library = word;
    }
    return options.library != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseArguments(argc, argv, options)) {
        std::fprintf(stderr, "usage: regsvr [-u] [-s] <library>\n");
        return kBadArguments;
    }
    const char* entryName = options.unregister ? "DllUnregisterServer" : "DllRegisterServer";

    void* library = dlopen(options.library, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        if (!options.silent) std::fprintf(stderr, "regsvr: cannot load %s: %s\n", options.library, dlerror());
        return kLoadFailed;
    }
    ServerEntry entry = reinterpret_cast<ServerEntry>(dlsym(library, entryName));
    if (entry == nullptr) {
        if (!options.silent) std::fprintf(stderr, "regsvr: %s has no %s\n", options.library, entryName);
        dlclose(library);
        return kNoEntryPoint;
    }
    const int32_t result = entry();
    dlclose(library);
    if (result < 0) {
        if (!options.silent)
            std::fprintf(stderr, "regsvr: %s in %s failed (0x%08x)\n", entryName, options.library,
                         static_cast<unsigned>(result));
        return kCallFailed;
    }
    if (!options.silent) std::printf("%s in %s succeeded.\n", entryName, options.library);
    return kDone;
}
