// The SERDES control register bridge: MMD 27 registers, which plain MDIO
// cannot reach, through registers of MMD 30. The host enables the bridge,
// gives the SERDES register address (and data for a write) and reads the
// bridge status once, right after the data phase; there is no polling.
//
// A bridge error is printed on standard error only; it is not a failure of
// the call. Every access is traced with the caller's adapter and PHY.
#pragma once

#include <cstdint>

#include "chip/ChipAccess.h"

namespace mdiohost::chip {

class SerdesBridge {
  public:
    explicit SerdesBridge(const ChipPort& target) : port(target) {}

    // The SERDES register's content, or 0 when the bridge reports an error.
    std::uint32_t read(std::uint32_t registerAddress);
    void write(std::uint32_t registerAddress, std::uint32_t value);

  private:
    ChipPort port;
};

}  // namespace mdiohost::chip
