#include "ftdi/d2xx/DriverSearch.h"

#include "ftdi/d2xx/SharedLibraryDriver.h"

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

namespace FTDI::D2xx {

std::vector<std::string> defaultDriverFiles() {
#if defined(_WIN32)
    return {kDefaultDriverFile};
#else
    return {kDefaultDriverFile, ownDirectory() + kOpenDriverFile};
#endif
}

#if defined(_WIN32)

std::string ownDirectory() {
    return {};
}

std::string fileHolding(void*, const std::string& fallback) {
    return fallback;
}

#else

std::string ownDirectory() {
    // Any function of ours names the file it was loaded from: libmdiohost.so
    // for hosts, the test program itself when linked statically.
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ownDirectory), &info) == 0 || info.dli_fname == nullptr)
        return {};
    const std::string file = info.dli_fname;
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

std::string fileHolding(void* symbol, const std::string& fallback) {
    Dl_info info{};
    if (symbol == nullptr || dladdr(symbol, &info) == 0 || info.dli_fname == nullptr)
        return fallback;
    return info.dli_fname;
}

#endif

}  // namespace FTDI::D2xx
