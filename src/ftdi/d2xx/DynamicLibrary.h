// The platform seam for loading a shared library at run time: dlopen on
// Linux, LoadLibrary on Windows. The only other platform-specific piece is
// the reading of environment variables (base/EnvironmentVariable.h).
#pragma once

#include <memory>
#include <string>

namespace FTDI::D2xx {

class DynamicLibrary {
  public:
    // Null when the library cannot be loaded; `error` then says why.
    static std::unique_ptr<DynamicLibrary> open(const std::string& path, std::string& error);

    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;
    // The library is never unloaded: hosts may still reach the driver from
    // their own static destructors, after ours have run.
    ~DynamicLibrary() = default;

    void* symbol(const char* name) const;
    // Windows only: a function exported by ordinal. Null elsewhere.
    void* symbolByOrdinal(unsigned ordinal) const;

  private:
    explicit DynamicLibrary(void* nativeHandle) : handle(nativeHandle) {}
    void* handle;
};

}  // namespace FTDI::D2xx
