// The paged MMD (MMD 28): registers reached through MMD 4, in two ways.
//
// Addresses 0x000..0x5FF: six pages of 256 registers behind a window. Bits
// 2..0 of MMD 4 register 0xC180 select the page (the rest of that register
// is kept: it is read and written back with only the page bits replaced),
// and MMD 4 register 0xC200 + i is register i of the selected page, read and
// written as a whole 16-bit register:
//     read 0xC180 -> v;  write 0xC180 := (v AND 0xFFF8) OR (address >> 8)
//     read or write 0xC200 + (address AND 0xFF)
//
// Addresses with bit 15 set (reads only): the compact selector. Page P (bits
// 11..8, 0..4) and index I (bits 7..0, 0..25) form S = P << 5 | I, which the
// chip takes bit-reversed in 0xC20B with the page bits of 0xC180 cleared; it
// answers a 12-bit value as a low byte in 0xC2EF and a high nibble in 0xC2FF.
//
// Anything else is left alone: a read returns 0, a write does nothing. Every
// access is traced (default adapter, PHY id as the caller gave it).
#pragma once

#include <cstdint>

#include "chip/ChipAccess.h"

namespace mdiohost::chip {

class PagedMmd {
  public:
    explicit PagedMmd(const ChipPort& target) : port(target) {}

    std::uint32_t read(std::uint32_t registerAddress);
    void write(std::uint32_t registerAddress, std::uint32_t value);

  private:
    std::uint32_t readSelector(std::uint32_t registerAddress);
    // Replaces the page bits of 0xC180, keeping the rest of the register.
    void selectPage(std::uint32_t page);
    static std::uint32_t windowRegister(std::uint32_t registerAddress);

    ChipPort port;
};

// The eight bits of `value` in reverse order (bit 0 becomes bit 7).
std::uint8_t reverseBits(std::uint8_t value);

}  // namespace mdiohost::chip
