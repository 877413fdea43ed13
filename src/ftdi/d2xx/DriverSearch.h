// Which driver files the library tries when MDIOHOST_D2XX is unset: the
// vendor's, then (on Linux) the driver over libftdi1 that is installed beside
// the library itself, so a machine without the vendor's file still reaches
// its adapters.
#pragma once

#include <string>
#include <vector>

namespace FTDI::D2xx {

// The libftdi1 driver's file name; it lives in the library's own directory.
inline constexpr const char* kOpenDriverFile = "libmdiohost-ftdi.so";

// The files to try, in order, when no file is named.
std::vector<std::string> defaultDriverFiles();

// The directory of the binary this code was linked into, with a trailing
// slash; empty when the platform cannot tell.
std::string ownDirectory();

// The path of the loaded file that holds `symbol`, or `fallback`.
std::string fileHolding(void* symbol, const std::string& fallback);

}  // namespace FTDI::D2xx
