// An MDIO master that clocks whole Clause 45 frames onto a pair of wires, as
// a board controller's own MDIO port does: 32 preamble ones, then the frame,
// data changing while MDC is low and sampled on the rising edge, the line
// released for the turnaround and data of a read.
#pragma once

#include <cstdint>

#include "Lines.h"
#include "mdiosim/Counters.h"

namespace mdiosim {

class MdioBitBanger {
  public:
    // MDC at 2.5 MHz, the highest rate IEEE 802.3 22.2.2.13 allows.
    static constexpr double kMdcHz = 2500000.0;

    MdioBitBanger(Lines& wires, std::uint8_t mdcPin, std::uint8_t mdioPin, Counters& counters);

    void clause45Address(unsigned port, unsigned mmd, std::uint16_t registerAddress);
    void clause45Write(unsigned port, unsigned mmd, std::uint16_t value);
    std::uint16_t clause45Read(unsigned port, unsigned mmd);

  private:
    void frame(unsigned opcode, unsigned port, unsigned mmd);
    void sendBits(std::uint32_t bits, unsigned count);
    std::uint32_t receiveBits(unsigned count);
    bool clock(bool drive, bool level);

    Lines* wires;
    std::uint8_t mdc;
    std::uint8_t mdio;
    Counters* counters;
};

}  // namespace mdiosim
