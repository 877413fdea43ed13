#include "boards/LED.h"

#include <cstdio>
#include <string>

#include "ftdi/AdapterPort.h"
#include "ftdi/K8Board.h"
#include "mpsse/MpsseCommands.h"

namespace FTDI::K8 {
namespace {

constexpr unsigned kChannels = 3;
constexpr unsigned kChannelBits = 2;
constexpr unsigned kLevelMask = 0x3;

unsigned levelOf(Colour colour, unsigned channel) {
    return (colour >> (channel * kChannelBits)) & kLevelMask;
}

// Levels wrap modulo 4; steps are at least -3, so adding 4 keeps them positive.
unsigned stepLevel(unsigned level, int step) {
    return static_cast<unsigned>(static_cast<int>(level) + step + kChannelLevels) % kChannelLevels;
}

}  // namespace

LED::LED(FTDI::AdapterPort* owner) : device(owner) {}

LED::~LED() {
    LED::stop();
}

void LED::addStatus(StatusCode code) {
    std::lock_guard lock(mutex);
    if (activeCodes.insert(code).second) {
        activeChanged = true;
        wakeup.notify_one();
    }
}

void LED::removeStatus(StatusCode code) {
    std::lock_guard lock(mutex);
    if (activeCodes.erase(code) != 0) {
        activeChanged = true;
        wakeup.notify_one();
    }
}

void LED::flashStatus(StatusCode code) {
    std::lock_guard lock(mutex);
    if (flashCodes.insert(code).second) {
        flashChanged = true;
        wakeup.notify_one();
    }
}

void LED::start() {
    stop();
    stopRequested = false;
    stopped = false;
    thread = std::thread([this] {
        run();
        stopped = true;
    });
}

void LED::stop() {
    if (!stopped) {
        // No notify: the thread sees the request when its current wait ends.
        stopRequested = true;
#if defined(FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION)
        // Except in a fuzzing build, which closes boards thousands of times
        // and cannot wait up to a second each time for the blink to end.
        // Under the mutex, so the thread cannot be between its check of the
        // request and its wait.
        {
            std::lock_guard lock(mutex);
            wakeup.notify_all();
        }
#endif
        try {
            if (thread.joinable()) thread.join();
        } catch (...) {
        }
        stopped = true;
    }
    std::lock_guard lock(mutex);
    flashCodes.clear();
    activeCodes.clear();
}

void LED::setColour(Colour colour) {
    // A set colour bit drives its pin low (segment on); a clear bit leaves the
    // pin an input, so the value byte is the inverted colour.
    const std::uint8_t command[] = {Mpsse::kSetDataBitsHigh,
                                    static_cast<std::uint8_t>(~colour & kLedPins),
                                    static_cast<std::uint8_t>(colour & kLedPins)};
    try {
        device->writeBytes(command, sizeof command);
    } catch (...) {
        const std::string message = device->serialNumber + ": Problem setting led...\n";
        std::fputs(message.c_str(), stderr);
        std::fflush(stderr);
    }
}

Colour LED::pulseColour(Colour colour, unsigned step) {
    const unsigned column = step % kAnimationSteps;
    unsigned result = 0;
    for (unsigned channel = 0; channel < kChannels; ++channel) {
        const unsigned level = levelOf(colour, channel);
        result |= stepLevel(level, pulseSteps[level][column]) << (channel * kChannelBits);
    }
    return static_cast<Colour>(result);
}

Colour LED::fadeColour(Colour from, Colour to, unsigned step) {
    const unsigned column = step % kAnimationSteps;
    unsigned result = 0;
    for (unsigned channel = 0; channel < kChannels; ++channel) {
        const unsigned start = levelOf(from, channel);
        const int difference = static_cast<int>(levelOf(to, channel)) - static_cast<int>(start);
        const int fadeStep =
            fadeSteps[static_cast<std::size_t>(difference + kFadeRowOffset)][column];
        result |= stepLevel(start, fadeStep) << (channel * kChannelBits);
    }
    return static_cast<Colour>(result);
}

}  // namespace FTDI::K8
