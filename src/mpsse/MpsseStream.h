// A decoder of MPSSE command streams, built on the one opcode table of
// MpsseCommands.h: where each command of a byte stream ends, how many bytes
// the chip answers it with, and its name. The simulated chip splits the
// streams it receives with it; tests print a stream as named commands, so a
// failed comparison shows which command differs rather than which byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>

#include "mpsse/MpsseCommands.h"

namespace FTDI::Mpsse {

struct StreamCommand {
    std::uint8_t opcode;
    std::size_t length;  // the opcode, its operands and its data out
    unsigned replyBytes;
    bool known;  // false: the chip answers FA and the opcode
};

// The command at the start of `bytes`, or nothing when it is cut short (the
// rest is still to come). An opcode outside the table is one byte long.
constexpr std::optional<StreamCommand> commandAt(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return std::nullopt;
    const std::uint8_t opcode = bytes[0];
    if (isShiftCommand(opcode)) {
        const bool bitMode = (opcode & kShiftBitMode) != 0;
        if (bytes.size() < (bitMode ? 2u : 3u)) return std::nullopt;
        // A bit count says 1 to 8 bits in its low three bits.
        const unsigned lengthField = bitMode ? (bytes[1] & 0x07u) : (bytes[1] | (bytes[2] << 8u));
        const ShiftSizes sizes = shiftCommandSizes(opcode, lengthField);
        const std::size_t length = 1 + sizes.lengthOperandBytes + sizes.dataOutBytes;
        if (bytes.size() < length) return std::nullopt;
        return StreamCommand{opcode, length, sizes.replyBytes, true};
    }
    const std::optional<CommandInfo> info = findCommand(opcode);
    if (!info) return StreamCommand{opcode, 1, 2, false};
    const std::size_t length = 1u + info->operandBytes;
    if (bytes.size() < length) return std::nullopt;
    return StreamCommand{opcode, length, info->replyBytes, true};
}

// WRITE_BITS_NVE_MSB, READ_BYTES_PVE_MSB, ... for the shifting commands; the
// table's name for the others; "BAD_COMMAND" outside the table.
inline std::string commandName(std::uint8_t opcode) {
    if (isShiftCommand(opcode)) {
        const bool writes = (opcode & kShiftWritesData) != 0;
        const bool reads = (opcode & kShiftReadsData) != 0;
        std::string name = writes && reads ? "RW" : writes ? "WRITE" : reads ? "READ" : "CLOCK";
        name += (opcode & kShiftBitMode) != 0 ? "_BITS" : "_BYTES";
        if (writes) name += (opcode & kShiftWriteFalling) != 0 ? "_NVE" : "_PVE";
        if (reads) name += (opcode & kShiftReadFalling) != 0 ? "_NVE" : "_PVE";
        name += (opcode & kShiftLsbFirst) != 0 ? "_LSB" : "_MSB";
        return name;
    }
    const std::optional<CommandInfo> info = findCommand(opcode);
    return info ? info->name : "BAD_COMMAND";
}

// One command per line: its name, then its bytes in hex. A command cut short
// at the end is shown as such.
inline std::string describeStream(std::span<const std::uint8_t> bytes) {
    std::string text;
    char hex[4];
    while (!bytes.empty()) {
        const std::optional<StreamCommand> command = commandAt(bytes);
        const std::size_t length = command ? command->length : bytes.size();
        text += command ? commandName(bytes[0]) : commandName(bytes[0]) + " (cut short)";
        for (std::size_t i = 0; i < length; ++i) {
            std::snprintf(hex, sizeof hex, " %02X", bytes[i]);
            text += hex;
        }
        text += '\n';
        bytes = bytes.subspan(length);
    }
    return text;
}

}  // namespace FTDI::Mpsse
