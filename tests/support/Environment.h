// Setting and removing environment variables in tests, on POSIX and on
// Windows (where the suite also runs, under Wine).
#pragma once

#include <cstdlib>
#include <string>

namespace testing_support {

inline void setEnvironment(const std::string& name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name.c_str(), value.c_str());
#else
    setenv(name.c_str(), value.c_str(), 1);
#endif
}

inline void unsetEnvironment(const std::string& name) {
#ifdef _WIN32
    // An empty value removes the variable.
    _putenv_s(name.c_str(), "");
#else
    unsetenv(name.c_str());
#endif
}

}  // namespace testing_support
