// One decoded bus transaction, as a protocol analyser on the board's bus sees
// it: every MDIO frame on the line (whoever answered it) and every command
// frame the older family's board controller executed.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "mdiosim/Export.h"

namespace mdiosim {

enum class Bus : std::uint8_t { Mdio, BoardController };

enum class Operation : std::uint8_t {
    // MDIO frames (IEEE 802.3 Clause 45: start 00; Clause 22: start 01)
    Clause45Address,
    Clause45Write,
    Clause45ReadIncrement,
    Clause45Read,
    Clause22Write,
    Clause22Read,
    // The 32-bit register frame (start 01, op 00), by kind
    Register32Read,            // kind 0: at the address in the frame
    Register32ReadIncrement,   // kind 1: at the pre-incremented pointer
    Register32ReadCurrent,     // kind 2: at the pointer
    Register32Write,           // kind 4
    Register32WriteIncrement,  // kind 5
    Register32WriteCurrent,    // kind 6
    // Board controller command frames of the older family
    ControllerInit,
    BoardRegisterWrite,
    BoardRegisterRead,
};

struct Transaction {
    unsigned board = 0;  // index of the board in the bench
    Bus bus = Bus::Mdio;
    Operation operation = Operation::Clause45Address;
    std::uint8_t port = 0;  // PRTAD / PHYAD of an MDIO frame
    std::uint8_t mmd = 0;   // DEVAD of a Clause 45 frame
    // REGAD of a Clause 22 frame, the address field of a 32-bit frame (kinds 0
    // and 4), the register of a board controller frame.
    std::uint32_t registerAddress = 0;
    // The data field as it was on the line: the address of a Clause 45 address
    // frame, the value written or read.
    std::uint32_t value = 0;
    std::uint16_t preambleBits = 0;  // ones on the line before the start bits

    bool operator==(const Transaction&) const = default;
};

MDIOSIM_API const char* operationName(Operation operation);
// One line, e.g. "board 0 MDIO Clause45Read port 3 mmd 1 value 0x1234 preamble 32".
MDIOSIM_API std::string describe(const Transaction& transaction);
// gtest prints transactions with this.
MDIOSIM_API void PrintTo(const Transaction& transaction, std::ostream* stream);

}  // namespace mdiosim
