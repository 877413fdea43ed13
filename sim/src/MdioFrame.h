// The fields of MDIO management frames as they appear on the line, MSB first:
//   IEEE 802.3 Clause 45: PRE ST=00 OP(2) PRTAD(5) DEVAD(5) TA(2) DATA(16)
//   IEEE 802.3 Clause 22: PRE ST=01 OP(2) PHYAD(5) REGAD(5) TA(2) DATA(16)
//   32-bit register frame: PRE ST=01 OP=00 PHYAD(5) KIND(3) [ADDRESS(33)] TA(2) DATA(33)
// where a 33-bit field is 16 bits, one 0 bit, 16 bits. Clause 22 leaves
// OP 00 unassigned, which is where the 32-bit frame lives.
#pragma once

#include <cstdint>

namespace mdiosim::mdio {

// Second start bit: 0 for Clause 45, 1 for Clause 22 and the 32-bit frame.
inline constexpr unsigned kStartClause22 = 1;

// Clause 45 OP codes.
inline constexpr unsigned kClause45Address = 0b00;
inline constexpr unsigned kClause45Write = 0b01;
inline constexpr unsigned kClause45ReadIncrement = 0b10;
inline constexpr unsigned kClause45Read = 0b11;

// Clause 22 OP codes, and the code the 32-bit frame uses.
inline constexpr unsigned kClause22Write = 0b01;
inline constexpr unsigned kClause22Read = 0b10;
inline constexpr unsigned kRegister32Frame = 0b00;

// 32-bit frame kinds: 0..2 read, 4..6 write; 3 and 7 are unassigned.
inline constexpr unsigned kRegister32WriteBit = 0b100;
inline constexpr unsigned kRegister32AtAddress = 0;
inline constexpr unsigned kRegister32ReadAtAddress = 0;
inline constexpr unsigned kRegister32ReadIncrement = 1;
inline constexpr unsigned kRegister32ReadCurrent = 2;
inline constexpr unsigned kRegister32WriteAtAddress = 4;
inline constexpr unsigned kRegister32Unassigned = 3;  // the low bits of kinds 3 and 7

// Field widths.
inline constexpr unsigned kFieldBits = 5;  // PRTAD, DEVAD, PHYAD, REGAD
inline constexpr unsigned kKindBits = 3;
inline constexpr unsigned kTurnaroundBits = 2;
inline constexpr unsigned kDataBits = 16;
inline constexpr unsigned kData32Bits = 33;    // 16 bits, one 0 bit, 16 bits
inline constexpr unsigned kPreambleBits = 32;  // IEEE 802.3 22.2.4.5.1
// Bits after the first start bit up to the end of the header.
inline constexpr unsigned kHeaderBitsClause = 1 + 2 + kFieldBits + kFieldBits;  // ST, OP, 2 fields
inline constexpr unsigned kHeaderBitsRegister32 = 1 + 2 + kFieldBits + kKindBits;
// Start bit, OP: what tells the frame kinds apart.
inline constexpr unsigned kClassifyBits = 3;

// Splits a 33-bit field into its 32-bit value (the middle bit is dropped).
constexpr std::uint32_t joinHalves(std::uint64_t field33) {
    return static_cast<std::uint32_t>(((field33 >> 17) & 0xFFFF) << 16 | (field33 & 0xFFFF));
}

// A 32-bit value as the 33 bits that carry it.
constexpr std::uint64_t splitHalves(std::uint32_t value) {
    return (static_cast<std::uint64_t>(value >> 16) << 17) | (value & 0xFFFF);
}

}  // namespace mdiosim::mdio
