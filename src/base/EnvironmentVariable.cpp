#include "base/EnvironmentVariable.h"

#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace FTDI {

#if defined(_WIN32)

std::optional<std::string> environmentVariable(const char* name) {
    // The first call asks for the size including the terminating zero; the
    // value may change between the two calls, hence the loop.
    DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    while (size != 0) {
        std::string value(size, '\0');
        const DWORD length = GetEnvironmentVariableA(name, value.data(), size);
        if (length < size) {
            value.resize(length);
            return value;
        }
        size = length;
    }
    return std::nullopt;
}

#else

std::optional<std::string> environmentVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

#endif

}  // namespace FTDI
