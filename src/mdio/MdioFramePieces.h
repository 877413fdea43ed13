// The pieces every MPSSE-clocked MDIO frame is assembled from. Each piece is
// a short run of MPSSE commands on the low byte: ADBUS0 is MDC, ADBUS1 drives
// MDIO, and the data input samples MDIO while the PHY drives it. Fields go out
// MSB first, changing on the falling MDC edge; replies are sampled on the
// rising edge, as IEEE 802.3 Clause 22.2.4.5 and Clause 45.3 time them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "ftdi/K8Board.h"
#include "mpsse/MpsseCommands.h"

namespace FTDI::MdioFrames {

using Mpsse::kReadBitsRisingMsb;
using Mpsse::kReadBytesRisingMsb;
using Mpsse::kSetDataBitsLow;
using Mpsse::kWriteBitsFallingMsb;
using Mpsse::kWriteBytesFallingMsb;

template <std::size_t N>
using Piece = std::array<std::uint8_t, N>;

// --- Operation codes and field widths.

// Clause 45 OP field.
inline constexpr std::uint8_t kClause45Address = 0;
inline constexpr std::uint8_t kClause45Write = 1;
inline constexpr std::uint8_t kClause45ReadIncrement = 2;
inline constexpr std::uint8_t kClause45Read = 3;
// Clause 22 OP field.
inline constexpr std::uint8_t kClause22Write = 1;
inline constexpr std::uint8_t kClause22Read = 2;
// The 32-bit register frame reuses Clause 22's unassigned OP code 00 and
// follows the PHY address with a 3-bit kind: bit 2 set for a write, and only
// kinds 0 and 4 carry an address.
inline constexpr std::uint8_t kRegister32Op = 0;
inline constexpr std::uint8_t kRegister32ReadAtAddress = 0;
inline constexpr std::uint8_t kRegister32ReadPreIncrement = 1;
inline constexpr std::uint8_t kRegister32ReadCurrent = 2;
inline constexpr std::uint8_t kRegister32WriteAtAddress = 4;
inline constexpr std::uint8_t kRegister32WritePreIncrement = 5;
inline constexpr std::uint8_t kRegister32WriteCurrent = 6;
inline constexpr std::uint8_t kRegister32WriteBit = 0x04;

inline constexpr unsigned kStartBits = 2;
inline constexpr unsigned kOpBits = 2;
inline constexpr unsigned kAddressBits = 5;  // PRTAD/DEVAD (Clause 45), PHYAD/REGAD (Clause 22)
inline constexpr unsigned kKindBits = 3;
inline constexpr unsigned kTurnaroundBits = 2;

// Preamble: up to 64 one-bits; IEEE 802.3 asks for 32, PHYs that support
// preamble suppression accept fewer.
inline constexpr unsigned kMaxPreambleBits = 64;
inline constexpr unsigned kBitsPerGroup = 8;  // one clock-bits-out command carries at most 8

// Reply bytes of one read: a 16-bit read returns the turnaround bits in one
// byte and the value in two; a 32-bit read adds one byte for the middle bit
// and two for the second half.
inline constexpr std::uint32_t kReply16Bytes = 3;
inline constexpr std::uint32_t kReply32Bytes = 6;

// --- Builders of the variable pieces.

// Clock out the low `count` bits of `field` (1 to 8), MSB first: the command
// sends the top bits of its data byte, so the field is left-aligned.
constexpr Piece<3> bitsOut(unsigned count, unsigned field) {
    return {kWriteBitsFallingMsb, static_cast<std::uint8_t>(count - 1),
            static_cast<std::uint8_t>((field << (8 - count)) & 0xFF)};
}

// A preamble group: `count` one-bits (1 to 8). The data byte is all ones
// whatever the count; the chip sends only its top `count` bits.
constexpr Piece<3> preambleGroup(unsigned count) {
    return {kWriteBitsFallingMsb, static_cast<std::uint8_t>(count - 1), 0xFF};
}

constexpr Piece<3> opField(std::uint8_t op) {
    return bitsOut(kOpBits, op & 0x3u);
}
constexpr Piece<3> addressField(std::uint32_t address) {
    return bitsOut(kAddressBits, address & 0x1Fu);
}
constexpr Piece<3> kindField(std::uint8_t kind) {
    return bitsOut(kKindBits, kind & 0x7u);
}

// Clock two bytes out MSB first: length field 1 (two bytes), low byte first.
inline constexpr Piece<3> kTwoBytesOut{kWriteBytesFallingMsb, 0x01, 0x00};
constexpr Piece<5> value16Out(std::uint16_t value) {
    return {kTwoBytesOut[0], kTwoBytesOut[1], kTwoBytesOut[2],
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value & 0xFF)};
}

// One 0 bit between the two 16-bit halves of a 32-bit field.
inline constexpr Piece<3> kMiddleBitOut = bitsOut(1, 0);

// A 32-bit field: its high half, the middle bit, its low half.
constexpr Piece<13> value32Out(std::uint32_t value) {
    const Piece<5> high = value16Out(static_cast<std::uint16_t>(value >> 16));
    const Piece<5> low = value16Out(static_cast<std::uint16_t>(value & 0xFFFF));
    Piece<13> piece{};
    std::size_t at = 0;
    for (std::uint8_t byte : high)
        piece[at++] = byte;
    for (std::uint8_t byte : kMiddleBitOut)
        piece[at++] = byte;
    for (std::uint8_t byte : low)
        piece[at++] = byte;
    return piece;
}

// --- Fixed pieces.

// MDC low, MDIO driven high: the line rests here before the preamble.
inline constexpr Piece<3> kLineIdleHigh{kSetDataBitsLow, K8::kDataOutPin, K8::kDriveClockAndData};
// MDC and MDIO low, both driven: the level the start bits begin from.
inline constexpr Piece<3> kLineLow{kSetDataBitsLow, 0x00, K8::kDriveClockAndData};
// ST field: 00 for Clause 45, 01 for Clause 22 and the 32-bit frame.
inline constexpr Piece<3> kStartClause45 = bitsOut(kStartBits, 0b00);
inline constexpr Piece<3> kStartClause22 = bitsOut(kStartBits, 0b01);
// Write turnaround: the station keeps driving and sends 10.
inline constexpr Piece<3> kWriteTurnaround = bitsOut(kTurnaroundBits, 0b10);
// Read turnaround: release MDIO (only MDC stays an output) and clock the two
// turnaround bits in; the PHY drives the second one low.
inline constexpr Piece<5> kReadTurnaround{kSetDataBitsLow, 0x00, K8::kDriveClockOnly,
                                          kReadBitsRisingMsb, kTurnaroundBits - 1};
// Clock two bytes in: the 16-bit value of a read.
inline constexpr Piece<3> kValue16In{kReadBytesRisingMsb, 0x01, 0x00};
// A 32-bit value in: 16 bits, the middle bit, 16 bits.
inline constexpr Piece<8> kValue32In{kReadBytesRisingMsb, 0x01, 0x00, kReadBitsRisingMsb, 0x00,
                                     kReadBytesRisingMsb, 0x01, 0x00};
// MDC and MDIO high, both driven: the line rests here between transfers.
inline constexpr Piece<3> kFinalIdle{kSetDataBitsLow, K8::kClockAndDataHigh,
                                     K8::kDriveClockAndData};

// The longest frame: a 32-bit write at an address with a 64-bit preamble.
inline constexpr std::size_t kMaxPreambleBytes =
    (kMaxPreambleBits / kBitsPerGroup) * preambleGroup(kBitsPerGroup).size();
inline constexpr std::size_t kFrameHeaderBytes = kLineLow.size() + kStartClause22.size() +
                                                 opField(0).size() + addressField(0).size() +
                                                 kindField(0).size();
inline constexpr std::size_t kLargestFrameBytes = kLineIdleHigh.size() + kMaxPreambleBytes +
                                                  kFrameHeaderBytes + value32Out(0).size() +
                                                  kWriteTurnaround.size() + value32Out(0).size();
static_assert(kLargestFrameBytes == 71);

}  // namespace FTDI::MdioFrames
