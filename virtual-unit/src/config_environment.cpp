// Reading the unit set from the process environment.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "virtual_unit/unit_config.h"
#include "win32.h"

namespace vu {

namespace {
constexpr size_t kMaxConfigurationChars = 64 * 1024;
}

UnitSet UnitsFromEnvironment(const char* defaultText) {
    std::vector<char> text;
#ifdef _WIN32
    // The process environment itself, not the C runtime's copy: a host may set
    // the variable just before it loads a driver library.
    ::SetLastError(ERROR_SUCCESS);
    const DWORD needed = ::GetEnvironmentVariableA(kUnitsEnvironmentVariable, nullptr, 0);
    if (needed == 0) {
        if (::GetLastError() != ERROR_ENVVAR_NOT_FOUND) return UnitSet{};  // empty: no unit
        text.assign(defaultText, defaultText + std::strlen(defaultText) + 1);
    } else {
        if (needed > kMaxConfigurationChars) return UnitSet{};
        text.assign(needed, '\0');
        const DWORD copied = ::GetEnvironmentVariableA(kUnitsEnvironmentVariable, text.data(), needed);
        if (copied == 0 || copied >= needed) return UnitSet{};
    }
#else
    const char* value = std::getenv(kUnitsEnvironmentVariable);
    if (value == nullptr) value = defaultText;
    const size_t length = std::strlen(value);
    if (length >= kMaxConfigurationChars) return UnitSet{};
    text.assign(value, value + length + 1);
#endif
    UnitSet parsed;
    if (text.size() <= 1 || !ParseUnitSet(text.data(), &parsed)) return UnitSet{};
    return parsed;
}

}  // namespace vu
