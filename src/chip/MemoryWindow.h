// The memory window MMD (MMD 10): the chip's 32-bit memory, 16 bits at a
// time, through registers of MMD 30. MMD 10 register r is the 16-bit half at
// byte address 0x3FFE0480 + 2 r; the window moves whole 32-bit words, so a
// write reads the word first and writes it back with one half replaced.
//
// The window gives up silently when the chip stays busy. Every access is
// traced (default adapter, PHY id as the caller gave it).
#pragma once

#include <cstdint>

#include "chip/ChipAccess.h"

namespace mdiohost::chip {

class MemoryWindow {
  public:
    explicit MemoryWindow(const ChipPort& target) : port(target) {}

    // 0 when the chip stays busy.
    std::uint32_t read(std::uint32_t registerAddress);
    void write(std::uint32_t registerAddress, std::uint32_t value);

  private:
    void setAddress(std::uint32_t byteAddress);
    // Starts a word read at the byte address and waits for it; false when
    // the busy bit is still set after the last poll.
    bool loadWord(std::uint32_t byteAddress);

    ChipPort port;
};

}  // namespace mdiohost::chip
