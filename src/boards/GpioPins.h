// FTDI::K8::GpioPins: the spare pins of a K8 board without status LEDs as
// general-purpose inputs and outputs. Pins 0..7 are the chip's low byte
// (ADBUS0..7), pins 8..15 its high byte (ACBUS0..7); pins 0..2 carry the
// serial engine's clock and data lines and are never set from here. The
// object remembers the direction and output level of both bytes, because the
// set-data-bits commands always write a whole byte, and lets a pin be set
// only when the board's layout made it an output.
#pragma once

#include <cstdint>

namespace FTDI {
class AdapterPort;
}

namespace FTDI::K8 {

// Directions (a set bit is an output) and start levels of both pin bytes.
// Both layouts repeat what bring-up set on ADBUS0 and ADBUS1 (outputs, high),
// so rewriting the low byte leaves the serial lines as they are.
struct PinLayout {
    std::uint8_t lowDirections;
    std::uint8_t lowLevels;
    std::uint8_t highDirections;
    std::uint8_t highLevels;
};

// Any board: only the serial lines are outputs.
inline constexpr PinLayout kDefaultPinLayout{0x03, 0x03, 0x00, 0x00};
// Boards whose adapter name begins with "aa" (any case): ADBUS4..6 and
// ACBUS1, ACBUS5..7 are outputs, ACBUS1 starts high.
inline constexpr PinLayout kAaPinLayout{0x73, 0x03, 0xE2, 0x02};
inline constexpr char kAaPrefix[] = "aa";

inline constexpr std::uint8_t kLowestSettablePin = 3;
inline constexpr std::uint8_t kHighestPin = 15;
inline constexpr std::uint8_t kPinsPerByte = 8;

class GpioPins {
  public:
    explicit GpioPins(FTDI::AdapterPort* owner);

    // Picks the layout by the device's lower-case name and writes the high
    // byte's levels and directions. False when the write fails.
    bool initPins();
    // Drives an output pin (3..15) low for level 0, high otherwise. Returns
    // true; throws std::runtime_error "Invalid pin number", "This pin isn't
    // set as output." or "FTDI Write Error". The remembered level stays
    // changed after a failed write.
    bool setPin(std::uint8_t pin, std::uint8_t level);
    // Reads both pin bytes and stores pin's level (0 or 1). Returns true;
    // throws std::runtime_error "Invalid pin number" for pins above 15
    // (before anything is sent) or "FTDI Transaction Error".
    bool getPin(std::uint8_t pin, std::uint8_t& level);

    FTDI::AdapterPort* device;  // the owner; not owned
    std::uint8_t lowDirections = kDefaultPinLayout.lowDirections;
    std::uint8_t lowLevels = kDefaultPinLayout.lowLevels;
    std::uint8_t highDirections = kDefaultPinLayout.highDirections;
    std::uint8_t highLevels = kDefaultPinLayout.highLevels;
};

}  // namespace FTDI::K8
