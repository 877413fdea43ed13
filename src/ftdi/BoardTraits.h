// What an adapter's board has, decided once when the board is recognised:
// its family, the protocol of the adapter, and whether a status LED takes
// the spare pins (a K8 board without one offers them as GPIO pins). Code that
// needs one of these facts reads it here instead of testing an object's type.
#pragma once

#include <cstdint>
#include <string>

namespace FTDI {

enum class BoardFamily : std::uint8_t {
    None,         // a bare device, as unit tests make them
    K8,           // MPSSE boards, one adapter per protocol
    OlderFamily,  // a byte pipe to a board controller
};

enum class Protocol : std::uint8_t { None, Mdio, I2c, Jtag };

// The protocol an adapter's protocol name stands for; only its first letter
// is looked at ("MDIO", "I2C", "JTAG").
inline Protocol protocolNamed(const std::string& name) {
    if (name.starts_with('M')) return Protocol::Mdio;
    if (name.starts_with('I')) return Protocol::I2c;
    if (name.starts_with('J')) return Protocol::Jtag;
    return Protocol::None;
}

struct BoardTraits {
    BoardFamily family = BoardFamily::None;
    Protocol protocol = Protocol::None;
    bool statusLed = false;

    bool hasGpio() const { return family == BoardFamily::K8 && !statusLed; }
};

}  // namespace FTDI
