// Something outside the FTDI chip that pulls some of its low-byte pins low: a
// switch or a jumper on a GPIO input. Tests set it to see input levels read
// back through the chip.
#pragma once

#include <cstdint>

#include "LineListener.h"

namespace mdiosim {

class ExternalPins final : public LineListener {
  public:
    ExternalPins() : LineListener(0, 0) {}
    void pullLow(std::uint8_t pins) { low = pins; }
    bool linesChanged(std::uint8_t, std::uint8_t) override { return false; }
};

}  // namespace mdiosim
