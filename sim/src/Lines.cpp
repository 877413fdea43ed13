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
    if (next == level) return;
    const std::uint8_t previous = level;
    level = next;
    if (notify(previous, next)) resettle();
}

void Lines::resettle() {
    for (unsigned round = 0; round < kMaxSettleRounds; ++round) {
        listenersLow = gatherListeners();
        const std::uint8_t next = resolve(chipLow | listenersLow);
        if (next == level) return;
        const std::uint8_t previous = level;
        level = next;
        if (!notify(previous, next)) return;
    }
}

}  // namespace mdiosim
