// The wires behind the eight pins of an FTDI chip's low byte. Every wire has
// a pull-up: it is high unless the chip or a listener drives it low (a chip
// pin driving high and a PHY driving low resolve to low). Some pins may be
// joined to one wire: on a K8 board the MDIO line reaches both the chip's
// data output (pin 1) and its data input (pin 2).
#pragma once

#include <cstdint>
#include <vector>

#include "LineListener.h"

namespace mdiosim {

class Lines {
  public:
    explicit Lines(std::uint8_t joinedPins = 0) : joined(joinedPins) {}

    // The chip's output latch and direction (1 = output) for the eight pins.
    void drive(std::uint8_t value, std::uint8_t direction) {
        chipLow = static_cast<std::uint8_t>(direction & ~value);
        // Most changes of the chip's pins move no wire (a pin already at its
        // level, an input's latch): only a moved wire calls the listeners.
        const std::uint8_t next = resolve(chipLow | listenersLow);
        if (next == level) return;
        // Most moves (falling clock edges, data changes) interest no listener.
        const auto rising = static_cast<std::uint8_t>(next & ~level);
        const auto falling = static_cast<std::uint8_t>(level & ~next);
        const std::uint8_t previous = level;
        level = next;
        if ((rising & watchedRising) | (falling & watchedFalling)) {
            if (notify(previous, next)) resettle();
        }
    }
    std::uint8_t levels() const { return level; }
    void attach(LineListener& listener);
    // Call when listeners changed what they pull outside a notification (a
    // PHY was added or removed).
    void settle();

  private:
    // A listener that answers a change by changing its own drive makes the
    // wires change again; this many rounds settle any sane listener, and stop
    // one that oscillates.
    static constexpr unsigned kMaxSettleRounds = 8;

    // Tells the listeners that watch this move; returns whether any of them
    // changed what it pulls low.
    bool notify(std::uint8_t previous, std::uint8_t current) {
        const auto rising = static_cast<std::uint8_t>(current & ~previous);
        const auto falling = static_cast<std::uint8_t>(previous & ~current);
        bool drivesChanged = false;
        for (LineListener* listener : listeners) {
            if ((rising & listener->watchesRising()) | (falling & listener->watchesFalling())) {
                drivesChanged = listener->linesChanged(previous, current) || drivesChanged;
            }
        }
        return drivesChanged;
    }
    // Listeners pulled wires in answer to a move: the wires move again.
    void resettle();
    std::uint8_t gatherListeners() const;

    std::uint8_t resolve(std::uint8_t pulledLow) const {
        if (pulledLow & joined) pulledLow |= joined;
        return static_cast<std::uint8_t>(~pulledLow);
    }

    std::uint8_t joined;
    std::uint8_t chipLow = 0;
    std::uint8_t listenersLow = 0;   // what the listeners pulled after the last change
    std::uint8_t watchedRising = 0;  // edges any listener watches
    std::uint8_t watchedFalling = 0;
    std::uint8_t level = 0xFF;
    std::vector<LineListener*> listeners;
};

}  // namespace mdiosim
