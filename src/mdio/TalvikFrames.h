// The command frames of the older board family's controller. The FTDI chip on
// these boards is a plain byte pipe (no MPSSE); the controller behind it runs
// the MDIO cycles itself and takes fixed five-byte frames, back to back:
//
//   byte 0  operation code in bits 7..5, ORed with a 5-bit field in bits 4..0
//           (the MMD of an MDIO frame, 0 otherwise)
//   byte 1  address, low byte
//   byte 2  address, high byte
//   byte 3  data, low byte
//   byte 4  data, high byte
//
// Every read frame is answered with three bytes: byte 0 carries nothing, bytes
// 1 and 2 the 16-bit MDIO value, low byte first; a board register read uses
// byte 1 alone.
#pragma once

#include <array>
#include <cstdint>

namespace FTDI::Talvik::Frames {

inline constexpr std::uint32_t kFrameSize = 5;
inline constexpr std::uint32_t kReplySize = 3;

// Byte 0: operation codes (bits 7..5).
inline constexpr std::uint8_t kOpInit = 0x00;
inline constexpr std::uint8_t kOpMdioWrite = 0x40;
inline constexpr std::uint8_t kOpMdioRead = 0x60;
inline constexpr std::uint8_t kOpBoardRegisterWrite = 0xC0;
inline constexpr std::uint8_t kOpBoardRegisterRead = 0xE0;

// Board register 5 holds the PHY address the controller sends the following
// MDIO frames to; writing it is the "port select" frame.
inline constexpr std::uint8_t kPortSelectRegister = 0x05;

// Unused address and data bytes are sent as zero.
inline constexpr std::uint8_t kUnusedByte = 0x00;

// Positions in a three-byte reply.
inline constexpr std::uint32_t kReplyValueLow = 1;
inline constexpr std::uint32_t kReplyValueHigh = 2;
inline constexpr std::uint32_t kReplyBoardValue = 1;

// One USB transfer, either way, carries at most this many bytes: a batch is
// at most 13107 frames, its select frame included.
inline constexpr std::uint32_t kMaxTransferBytes = 65535;

// One command frame, as it goes on the wire.
using Frame = std::array<std::uint8_t, kFrameSize>;

constexpr std::uint8_t lowByte(std::uint16_t value) {
    return static_cast<std::uint8_t>(value);
}
constexpr std::uint8_t highByte(std::uint16_t value) {
    return static_cast<std::uint8_t>(value >> 8);
}

// Tells the controller to start over; answered with nothing.
constexpr Frame initFrame() {
    return {kOpInit, kUnusedByte, kUnusedByte, kUnusedByte, kUnusedByte};
}

// The MMD is ORed into byte 0 as it is; byte 0 keeps the low 8 bits.
constexpr Frame mdioWriteFrame(std::uint8_t mmd, std::uint16_t registerAddress,
                               std::uint16_t value) {
    return {static_cast<std::uint8_t>(kOpMdioWrite | mmd), lowByte(registerAddress),
            highByte(registerAddress), lowByte(value), highByte(value)};
}

constexpr Frame mdioReadFrame(std::uint8_t mmd, std::uint16_t registerAddress) {
    return {static_cast<std::uint8_t>(kOpMdioRead | mmd), lowByte(registerAddress),
            highByte(registerAddress), kUnusedByte, kUnusedByte};
}

constexpr Frame boardRegisterWriteFrame(std::uint8_t boardRegister, std::uint8_t value) {
    return {kOpBoardRegisterWrite, boardRegister, kUnusedByte, value, kUnusedByte};
}

constexpr Frame boardRegisterReadFrame(std::uint8_t boardRegister) {
    return {kOpBoardRegisterRead, boardRegister, kUnusedByte, kUnusedByte, kUnusedByte};
}

// The MDIO frames that follow go to `phyAddress`.
constexpr Frame portSelectFrame(std::uint8_t phyAddress) {
    return boardRegisterWriteFrame(kPortSelectRegister, phyAddress);
}

}  // namespace FTDI::Talvik::Frames
