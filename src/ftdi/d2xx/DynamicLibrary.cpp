#include "ftdi/d2xx/DynamicLibrary.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace FTDI::D2xx {

#if defined(_WIN32)

std::unique_ptr<DynamicLibrary> DynamicLibrary::open(const std::string& path, std::string& error) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) {
        error = "Windows error " + std::to_string(GetLastError());
        return nullptr;
    }
    return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(module));
}

void* DynamicLibrary::symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void* DynamicLibrary::symbolByOrdinal(unsigned ordinal) const {
    // An ordinal is passed in place of the name, in the low word of the pointer.
    return reinterpret_cast<void*>(
        GetProcAddress(static_cast<HMODULE>(handle), MAKEINTRESOURCEA(ordinal)));
}

#else

std::unique_ptr<DynamicLibrary> DynamicLibrary::open(const std::string& path, std::string& error) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : "unknown reason";
        return nullptr;
    }
    return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(module));
}

void* DynamicLibrary::symbol(const char* name) const {
    return dlsym(handle, name);
}

void* DynamicLibrary::symbolByOrdinal(unsigned) const {
    return nullptr;
}

#endif

}  // namespace FTDI::D2xx
