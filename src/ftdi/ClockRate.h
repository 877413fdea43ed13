// Clock rates of K8 adapters come from environment variables read at every
// bring-up: "I2C_CLOCK_HZ" for I2C adapters, the protocol name followed by
// "_CLOCK_HZ" (MDIO_CLOCK_HZ, JTAG_CLOCK_HZ) for the others.
#pragma once

#include <cstdint>
#include <string>

namespace FTDI::K8 {

// The variable's value as an unsigned 32-bit decimal number (leading blanks
// and a sign accepted, parsing stops at the first non-digit), or
// `defaultRate` when it is unset. A value without digits or too large for 32
// bits is ignored with a one-line warning on standard error.
std::uint32_t clockRateFromEnvironment(const std::string& variableName, std::uint32_t defaultRate);

}  // namespace FTDI::K8
