#include "boards/LED_4BitRGB.h"

#include <algorithm>

namespace FTDI::K8 {
namespace {

using std::chrono::milliseconds;

// Codes whose colours the LED rotates through while any of them is active.
bool isCycledCode(StatusCode code) {
    return code == 4 || code == 8 || code == 13;
}

constexpr StatusCode kIdleCode = 0;
constexpr unsigned kLastStep = 5;  // steps 0..5; the sixth step is held

constexpr milliseconds kPulseStep{40};
constexpr milliseconds kFadeStep{100};
constexpr milliseconds kCycleFadeStep{75};
constexpr milliseconds kHold{1000};
constexpr milliseconds kCycleHold{500};
constexpr milliseconds kCyclePulseHold{550};
constexpr milliseconds kFlash{100};

}  // namespace

LED_4BitRGB::~LED_4BitRGB() {
    LED::stop();
}

void LED_4BitRGB::run() {
    Animation animation;
    animation.deadline = Clock::now();
    const Colour idle = ledColour(kIdleCode);
    setColour(idle);
    animation.shown = animation.from = animation.target = animation.lastTarget = idle;
    while (waitForTick(animation))
        tick(animation);
    setColour(idle);
}

bool LED_4BitRGB::waitForTick(Animation& animation) {
    do {
        bool changed = false;
        {
            std::unique_lock lock(mutex);
            // A change made while the thread was busy is not lost: the flags
            // stay set until the thread has seen them.
            wakeup.wait_until(lock, animation.deadline,
                              [this] { return activeChanged || flashChanged || stopRequested; });
            if (stopRequested) return false;
            if (activeChanged) {
                activeChanged = false;
                if (activeCodes != animation.active) {
                    animation.active = activeCodes;
                    changed = true;
                }
            }
            if (flashChanged) {
                flashChanged = false;
                animation.pendingFlashes.merge(flashCodes);
                flashCodes.clear();
            }
        }
        if (changed) chooseTarget(animation);
    } while (animation.target == animation.lastTarget && Clock::now() < animation.deadline);
    return true;
}

void LED_4BitRGB::chooseTarget(Animation& animation) {
    animation.cycleList.clear();
    for (const StatusCode code : animation.active) {
        if (!isCycledCode(code)) continue;
        animation.cycleList.push_back(code);
        if (!animation.cycling) {
            // Cycling starts at the first cycled code and never stops.
            animation.target = ledColour(code);
            animation.step = 0;
            animation.cycling = true;
            animation.from = animation.shown;
        }
    }
    if (!animation.cycling) {
        // With no code left the LED keeps its last colour.
        if (animation.active.empty()) return;
        if (animation.step != 0) animation.from = animation.shown;
        animation.target = ledColour(*animation.active.begin());
        animation.step = 0;
    } else if (animation.cycleIndex > animation.cycleList.size() && !animation.cycleList.empty()) {
        animation.cycleIndex = 0;
        animation.target = ledColour(animation.cycleList.front());
        animation.step = 0;
        animation.from = animation.shown;
    }
}

void LED_4BitRGB::rotate(Animation& animation) {
    animation.step = 0;
    if (animation.cycleList.empty()) return;
    if (++animation.cycleIndex >= animation.cycleList.size()) animation.cycleIndex = 0;
    animation.target = ledColour(animation.cycleList[animation.cycleIndex]);
}

void LED_4BitRGB::tick(Animation& animation) {
    const unsigned step = animation.step++;
    milliseconds delay{};
    if (animation.from == animation.target) {
        animation.shown = pulseColour(animation.from, step);
        if (step < kLastStep) {
            delay = kPulseStep;
        } else if (animation.cycling) {
            delay = kCyclePulseHold;
            rotate(animation);
        } else {
            animation.step = 0;
            delay = kHold;
        }
    } else {
        animation.shown = fadeColour(animation.from, animation.target, step);
        if (step < kLastStep) {
            delay = animation.cycling ? kCycleFadeStep : kFadeStep;
        } else {
            animation.from = animation.target;
            if (animation.cycling) {
                delay = kCycleHold;
                rotate(animation);
            } else {
                animation.step = 0;
                delay = kHold;
            }
        }
    }

    if (animation.cycling) {
        animation.pendingFlashes.clear();
        setColour(animation.shown);
        animation.deadline = Clock::now() + delay;
    } else if (!animation.pendingFlashes.empty()) {
        // The flash takes this step's place; the same step is computed again next time.
        const auto first = animation.pendingFlashes.begin();
        setColour(ledColour(*first));
        animation.pendingFlashes.erase(first);
        if (animation.step > 0) --animation.step;
        animation.deadline = Clock::now() + kFlash;
    } else {
        setColour(animation.shown);
        animation.deadline = Clock::now() + delay;
    }
    animation.lastTarget = animation.target;
}

}  // namespace FTDI::K8
