// The TGE register blocks: MMD 11 registers, reached through a command and a
// data register of MMD 29. An MMD 11 address carries a block id in bits
// 15..12 and an offset in bits 11..0. Block 0 (32 registers) is reached
// directly by command words; blocks 1 to 3 (128 registers each) through
// block-0 registers 0x14 (address word, storing it starts the access), 0x15
// (read data) and 0x17 (write data).
//
// Block ids 4 to 15 do not exist: they are reported on standard error and
// not accessed. Every access is traced with the caller's adapter and PHY.
#pragma once

#include <cstdint>

#include "chip/ChipAccess.h"

namespace mdiohost::chip {

class TgeBlocks {
  public:
    explicit TgeBlocks(const ChipPort& target) : port(target) {}

    std::uint32_t read(std::uint32_t registerAddress);
    void write(std::uint32_t registerAddress, std::uint32_t value);

  private:
    void command(std::uint32_t commandWord);
    void data(std::uint32_t value);

    ChipPort port;
};

}  // namespace mdiohost::chip
