// The I2C-to-MDIO bridge protocol. Every bridge transaction starts with the
// bridge's I2C address (write) and an op byte: the operation in bits 7..5 and
// a 5-bit field in bits 4..0, the MMD for MDIO operations or the half
// selector for 32-bit ones. Operations that set or write something carry two
// data bytes, low byte first, and end with STOP; operations that read turn
// the bus around with a repeated START and read two bytes, low byte first.
#pragma once

#include <cstdint>

namespace FTDI::I2cBridge {

inline constexpr std::uint8_t kSetAddress = 0;      // Clause 45 register address
inline constexpr std::uint8_t kWrite = 1;           // Clause 45 write
inline constexpr std::uint8_t kRead = 3;            // Clause 45 read
inline constexpr std::uint8_t kSetAddressHalf = 4;  // one half of a 32-bit address
inline constexpr std::uint8_t kWriteHalf = 5;       // one half of a 32-bit value
inline constexpr std::uint8_t kReadHalf = 7;        // one half of a 32-bit value

// Operations with this bit set read.
inline constexpr std::uint8_t kReadingOperation = 0x02;

inline constexpr unsigned kOperationShift = 5;
inline constexpr std::uint8_t kFieldMask = 0x1F;

// Half selector of the 32-bit operations.
inline constexpr std::uint8_t kLowHalf = 0;   // bits 15..0
inline constexpr std::uint8_t kHighHalf = 1;  // bits 31..16

constexpr std::uint8_t opByte(std::uint8_t operation, std::uint8_t field) {
    return static_cast<std::uint8_t>((operation << kOperationShift) | (field & kFieldMask));
}

}  // namespace FTDI::I2cBridge
