// FTDI MPSSE command bytes, named from the host's point of view, and one table
// that says for each command how many operand bytes follow it and how many
// bytes the chip sends back. The MDIO and I2C encoders, the simulated chip and
// the readable dump of a byte stream all read the same table, so a command
// cannot mean one thing to the encoder and another to its checker.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace FTDI::Mpsse {

// Data shifting family 0x10..0x3F. The opcode is a bit field:
//   bit 0  write data changes on the falling (-ve) clock edge
//   bit 1  length counts bits instead of bytes
//   bit 2  read data is sampled on the falling (-ve) clock edge
//   bit 3  LSB first instead of MSB first
//   bit 4  data goes out on TDI/DO
//   bit 5  data comes in from TDO/DI
inline constexpr std::uint8_t kShiftWriteFalling = 0x01;
inline constexpr std::uint8_t kShiftBitMode = 0x02;
inline constexpr std::uint8_t kShiftReadFalling = 0x04;
inline constexpr std::uint8_t kShiftLsbFirst = 0x08;
inline constexpr std::uint8_t kShiftWritesData = 0x10;
inline constexpr std::uint8_t kShiftReadsData = 0x20;

inline constexpr std::uint8_t kWriteBytesFallingMsb = 0x11;  // clock bytes out, -ve edge
inline constexpr std::uint8_t kWriteBitsFallingMsb = 0x13;   // clock bits out, -ve edge
inline constexpr std::uint8_t kReadBytesRisingMsb = 0x20;    // clock bytes in, +ve edge
inline constexpr std::uint8_t kReadBitsRisingMsb = 0x22;     // clock bits in, +ve edge

// Pin, clock and flow commands.
inline constexpr std::uint8_t kSetDataBitsLow = 0x80;    // value, direction of ADBUS0..7
inline constexpr std::uint8_t kReadDataBitsLow = 0x81;   // replies one byte
inline constexpr std::uint8_t kSetDataBitsHigh = 0x82;   // value, direction of ACBUS0..7
inline constexpr std::uint8_t kReadDataBitsHigh = 0x83;  // replies one byte
inline constexpr std::uint8_t kLoopbackOn = 0x84;
inline constexpr std::uint8_t kLoopbackOff = 0x85;
inline constexpr std::uint8_t kSetClockDivisor = 0x86;  // divisor low, divisor high
inline constexpr std::uint8_t kSendImmediate = 0x87;
inline constexpr std::uint8_t kWaitOnIoHigh = 0x88;
inline constexpr std::uint8_t kWaitOnIoLow = 0x89;
inline constexpr std::uint8_t kDisableClockDivideBy5 = 0x8A;  // 60 MHz master clock
inline constexpr std::uint8_t kEnableClockDivideBy5 = 0x8B;   // 12 MHz master clock
inline constexpr std::uint8_t kEnableThreePhaseClocking = 0x8C;
inline constexpr std::uint8_t kDisableThreePhaseClocking = 0x8D;
inline constexpr std::uint8_t kClockBitsNoData = 0x8E;   // bit count - 1
inline constexpr std::uint8_t kClockBytesNoData = 0x8F;  // length - 1, 16 bits
inline constexpr std::uint8_t kEnableAdaptiveClocking = 0x96;
inline constexpr std::uint8_t kDisableAdaptiveClocking = 0x97;
inline constexpr std::uint8_t kDriveOnlyZero = 0x9E;  // low-byte mask, high-byte mask

// The chip answers a command it does not know with this byte followed by the
// command. The sync check sends kSyncProbe, which no chip implements.
inline constexpr std::uint8_t kBadCommandReply = 0xFA;
inline constexpr std::uint8_t kSyncProbe = 0xAB;

// Master clock after kDisableClockDivideBy5; the MPSSE clock is
// kMasterClockHz / (2 * (divisor + 1)).
inline constexpr std::uint32_t kMasterClockHz = 60000000;
// Master clock after kEnableClockDivideBy5, the chip's power-on setting.
inline constexpr std::uint32_t kMasterClockDivideBy5Hz = 12000000;

// Low-byte pins with a fixed MPSSE role (ADBUS0..7).
inline constexpr std::uint8_t kPinClock = 0x01;     // ADBUS0, TCK/SK: the shift clock
inline constexpr std::uint8_t kPinDataOut = 0x02;   // ADBUS1, TDI/DO: shifted-out data
inline constexpr std::uint8_t kPinDataIn = 0x04;    // ADBUS2, TDO/DI: sampled data
inline constexpr std::uint8_t kPinWaitOnIo = 0x20;  // ADBUS5, GPIOL1: what 0x88/0x89 wait on

struct CommandInfo {
    std::uint8_t opcode;
    const char* name;
    std::uint8_t operandBytes;  // fixed operand bytes after the opcode
    std::uint8_t replyBytes;    // bytes the chip returns
};

// The non-shifting commands. Shifting commands (0x10..0x3F) have operands and
// replies that depend on their length field; see shiftCommandSizes below.
inline constexpr std::array<CommandInfo, 19> kCommands{{
    {kSetDataBitsLow, "SET_BITS_LOW", 2, 0},
    {kReadDataBitsLow, "GET_BITS_LOW", 0, 1},
    {kSetDataBitsHigh, "SET_BITS_HIGH", 2, 0},
    {kReadDataBitsHigh, "GET_BITS_HIGH", 0, 1},
    {kLoopbackOn, "LOOPBACK_ON", 0, 0},
    {kLoopbackOff, "LOOPBACK_OFF", 0, 0},
    {kSetClockDivisor, "SET_TCK_DIVISOR", 2, 0},
    {kSendImmediate, "SEND_IMMEDIATE", 0, 0},
    {kWaitOnIoHigh, "WAIT_ON_HIGH", 0, 0},
    {kWaitOnIoLow, "WAIT_ON_LOW", 0, 0},
    {kDisableClockDivideBy5, "DISABLE_CLK_DIV5", 0, 0},
    {kEnableClockDivideBy5, "ENABLE_CLK_DIV5", 0, 0},
    {kEnableThreePhaseClocking, "ENABLE_CLK_3PHASE", 0, 0},
    {kDisableThreePhaseClocking, "DISABLE_CLK_3PHASE", 0, 0},
    {kClockBitsNoData, "CLK_BITS_NO_DATA", 1, 0},
    {kClockBytesNoData, "CLK_BYTES_NO_DATA", 2, 0},
    {kEnableAdaptiveClocking, "ENABLE_CLK_ADAPTIVE", 0, 0},
    {kDisableAdaptiveClocking, "DISABLE_CLK_ADAPTIVE", 0, 0},
    {kDriveOnlyZero, "DRIVE_ZERO", 2, 0},
}};

constexpr std::optional<CommandInfo> findCommand(std::uint8_t opcode) {
    for (const CommandInfo& info : kCommands) {
        if (info.opcode == opcode) return info;
    }
    return std::nullopt;
}

constexpr bool isShiftCommand(std::uint8_t opcode) {
    return opcode >= 0x10 && opcode <= 0x3F;
}

// Sizes of a shifting command once its length field is known. `lengthField`
// is the raw value sent (bytes - 1 or bits - 1).
struct ShiftSizes {
    unsigned lengthOperandBytes;  // 1 for bit mode, 2 for byte mode
    unsigned dataOutBytes;        // bytes of data that follow the length
    unsigned replyBytes;          // bytes the chip returns
    unsigned clockCycles;         // MPSSE clock cycles the command takes
};

constexpr ShiftSizes shiftCommandSizes(std::uint8_t opcode, unsigned lengthField) {
    const bool bits = (opcode & kShiftBitMode) != 0;
    const unsigned units = lengthField + 1;  // bytes, or bits (at most 8)
    const unsigned bytes = bits ? 1 : units;
    return ShiftSizes{bits ? 1u : 2u, (opcode & kShiftWritesData) ? bytes : 0,
                      (opcode & kShiftReadsData) ? bytes : 0, bits ? units : units * 8};
}

}  // namespace FTDI::Mpsse
