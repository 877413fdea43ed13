// Clause 45 access tunnelled through Clause 22 registers 13 (MMD access
// control) and 14 (MMD access address/data), IEEE 802.3 annex 22D: for PHYs
// behind an adapter or bus that only carries Clause 22 frames. The Clause 22
// accesses are guarded and not traced.
#pragma once

#include <cstdint>

#include "chip/ChipAccess.h"

namespace mdiohost::chip {

class Clause45OverClause22 {
  public:
    explicit Clause45OverClause22(const ChipPort& target) : port(target) {}

    std::uint32_t read(std::uint32_t mmd, std::uint32_t registerAddress);
    void write(std::uint32_t mmd, std::uint32_t registerAddress, std::uint32_t value);

  private:
    // Register 13 := function "address" and the MMD, register 14 := the
    // register address, then register 13 := function "data" and the MMD, so
    // that register 14 now reads and writes the register itself.
    void selectRegister(std::uint32_t mmd, std::uint32_t registerAddress);

    ChipPort port;
};

}  // namespace mdiohost::chip
