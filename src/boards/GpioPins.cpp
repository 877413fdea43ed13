#include "boards/GpioPins.h"

#include <array>
#include <stdexcept>
#include <string_view>

#include "ftdi/AdapterPort.h"
#include "mpsse/MpsseCommands.h"

namespace FTDI::K8 {
namespace {

constexpr const char* kInvalidPin = "Invalid pin number";
constexpr const char* kNotAnOutput = "This pin isn't set as output.";
constexpr const char* kWriteError = "FTDI Write Error";
constexpr const char* kTransactionError = "FTDI Transaction Error";

void writeCommand(FTDI::AdapterPort& device, std::uint8_t command, std::uint8_t levels,
                  std::uint8_t directions) {
    const std::array<std::uint8_t, 3> bytes{command, levels, directions};
    device.writeBytes(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

void setBit(std::uint8_t& byte, unsigned bit, bool on) {
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    byte = on ? static_cast<std::uint8_t>(byte | mask) : static_cast<std::uint8_t>(byte & ~mask);
}

}  // namespace

GpioPins::GpioPins(FTDI::AdapterPort* owner) : device(owner) {}

bool GpioPins::initPins() {
    const PinLayout& layout = std::string_view(device->lowerName).starts_with(kAaPrefix)
                                  ? kAaPinLayout
                                  : kDefaultPinLayout;
    lowDirections = layout.lowDirections;
    lowLevels = layout.lowLevels;
    highDirections = layout.highDirections;
    highLevels = layout.highLevels;
    // Only the high byte: bring-up already set the low one.
    try {
        writeCommand(*device, Mpsse::kSetDataBitsHigh, highLevels, highDirections);
    } catch (...) {
        return false;
    }
    return true;
}

bool GpioPins::setPin(std::uint8_t pin, std::uint8_t level) {
    // Pins 0..2 wrap around to large numbers here.
    if (static_cast<std::uint8_t>(pin - kLowestSettablePin) > kHighestPin - kLowestSettablePin) {
        throw std::runtime_error(kInvalidPin);
    }
    const bool low = pin < kPinsPerByte;
    const unsigned bit = low ? pin : pin - kPinsPerByte;
    std::uint8_t& levels = low ? lowLevels : highLevels;
    const std::uint8_t directions = low ? lowDirections : highDirections;
    if ((directions >> bit & 1u) == 0) throw std::runtime_error(kNotAnOutput);
    setBit(levels, bit, level != 0);
    try {
        writeCommand(*device, low ? Mpsse::kSetDataBitsLow : Mpsse::kSetDataBitsHigh, levels,
                     directions);
    } catch (...) {
        throw std::runtime_error(kWriteError);
    }
    return true;
}

bool GpioPins::getPin(std::uint8_t pin, std::uint8_t& level) {
    // A pin number past the two bytes has no level to read.
    if (pin > kHighestPin) throw std::runtime_error(kInvalidPin);
    const std::array<std::uint8_t, 2> command{Mpsse::kReadDataBitsLow, Mpsse::kReadDataBitsHigh};
    std::array<std::uint8_t, 2> pins{};
    try {
        device->writeBytes(command.data(), static_cast<std::uint32_t>(command.size()));
        device->readBytes(pins.data(), static_cast<std::uint32_t>(pins.size()));
    } catch (...) {
        throw std::runtime_error(kTransactionError);
    }
    const unsigned both = static_cast<unsigned>(pins[1]) << kPinsPerByte | pins[0];
    level = static_cast<std::uint8_t>(both >> pin & 1u);
    return true;
}

}  // namespace FTDI::K8
