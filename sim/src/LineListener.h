// Something on the board that watches the wires of an FTDI chip's low byte
// and may pull some of them low: an MDIO bus, later an I2C bus. Several
// listeners watch the same wires, each decoding only what is meant for it.
#pragma once

#include <cstdint>

namespace mdiosim {

class LineListener {
  public:
    virtual ~LineListener() = default;
    // Called when a wire this listener watches moves the way it asked for
    // (see the masks below); one bit per pin, 1 is high. Returns whether the
    // listener changed what it pulls low.
    virtual bool linesChanged(std::uint8_t previous, std::uint8_t current) = 0;
    // The pins this listener pulls low right now.
    std::uint8_t pullsLow() const { return low; }
    // Pins whose rising and falling edges this listener wants to see. An MDIO
    // bus needs only the rising edges of MDC: the wires move on every clock
    // edge and data change, and most of those would be wasted calls.
    std::uint8_t watchesRising() const { return rising; }
    std::uint8_t watchesFalling() const { return falling; }

  protected:
    LineListener(std::uint8_t risingEdges, std::uint8_t fallingEdges)
        : rising(risingEdges), falling(fallingEdges) {}

    std::uint8_t low = 0;

  private:
    std::uint8_t rising;
    std::uint8_t falling;
};

}  // namespace mdiosim
