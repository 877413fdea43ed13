// Setting and removing environment variables from tests, on POSIX and on
// Windows alike. On Windows _putenv_s changes both the C runtime's copy of the
// environment and the process environment that the Win32 API reads.
#pragma once

#include <cstdlib>

namespace testing_support {

inline void setEnvironment(const char* name, const char* value) {
#if defined(_WIN32)
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

inline void unsetEnvironment(const char* name) {
#if defined(_WIN32)
    // An empty value removes the variable on Windows.
    _putenv_s(name, "");
#else
    unsetenv(name);
#endif
}

}  // namespace testing_support
