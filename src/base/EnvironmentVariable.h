// Reads the library's configuration from the process environment: the D2XX
// library to load (MDIOHOST_D2XX) and the clock rates of K8 adapters
// (I2C_CLOCK_HZ, MDIO_CLOCK_HZ, JTAG_CLOCK_HZ), each read when it is needed.
//
// On Windows the C runtime's getenv reads the runtime's own copy of the
// environment, taken when the runtime started; it misses every change a host
// makes through the Win32 API or through another C runtime (a program built
// with Visual C++, a .NET or Python host). Those all change the process
// environment, which is what this reads there.
#pragma once

#include <optional>
#include <string>

namespace FTDI {

// The variable's value, or nothing when it is not set.
std::optional<std::string> environmentVariable(const char* name);

}  // namespace FTDI
