#include "Lines.h"

namespace mdiosim {

void Lines::attach(LineListener& listener) {
    listeners.push_back(&listener);
    watchedRising |= listener.watchesRising();
    watchedFalling |= listener.watchesFalling();
    settle();
}

std::uint8_t Lines::gatherListeners() const {
    std::uint8_t pulledLow = 0;
    for (const LineListener* listener : listeners)
        pulledLow |= listener->pullsLow();
    return pulledLow;
}

void Lines::settle() {
    listenersLow = gatherListeners();
    const std::uint8_t next = resolve(chipLow | listenersLow);
    if (next != level) move(next);
}

void Lines::move(std::uint8_t next) {
    for (unsigned round = 0; round < kMaxSettleRounds && next != level; ++round) {
        const std::uint8_t previous = level;
        level = next;
        const auto rising = static_cast<std::uint8_t>(next & ~previous);
        const auto falling = static_cast<std::uint8_t>(previous & ~next);
        bool drivesChanged = false;
        for (LineListener* listener : listeners) {
            if ((rising & listener->watchesRising()) | (falling & listener->watchesFalling())) {
                drivesChanged = listener->linesChanged(previous, next) || drivesChanged;
            }
        }
        if (!drivesChanged) return;
        listenersLow = gatherListeners();
        next = resolve(chipLow | listenersLow);
    }
}

}  // namespace mdiosim
