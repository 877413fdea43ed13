// The pieces every MPSSE-clocked I2C transaction is assembled from. On a K8
// I2C board ADBUS0 is SCL, ADBUS1 drives SDA and ADBUS2 reads SDA back (both
// wired to the one bus line). Bring-up makes ADBUS0..2 drive only zeros on
// the FT232H, so writing a 1 releases a line and the pull-ups raise it: the
// bus is open-drain as I2C needs, although both outputs stay outputs here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "mpsse/MpsseCommands.h"

namespace FTDI::I2c {

template <std::size_t N>
using Piece = std::array<std::uint8_t, N>;

// --- Pins of the low byte.
inline constexpr std::uint8_t kSclPin = 0x01;     // ADBUS0
inline constexpr std::uint8_t kSdaOutPin = 0x02;  // ADBUS1
inline constexpr std::uint8_t kSdaInPin = 0x04;   // ADBUS2, an input
// Direction byte of every set-data-bits-low command: SCL and SDA out are
// outputs, SDA in is an input.
inline constexpr std::uint8_t kI2cDirections = kSclPin | kSdaOutPin;

// --- Line levels (the value byte of set-data-bits-low).
inline constexpr std::uint8_t kBothReleased = kSclPin | kSdaOutPin;
inline constexpr std::uint8_t kSdaLowSclHigh = kSclPin;
inline constexpr std::uint8_t kBothLow = 0x00;
inline constexpr std::uint8_t kSclLowSdaReleased = kSdaOutPin;

// Each bus state of a START or STOP is repeated this many times, so that it
// lasts four command cycles: long enough for the set-up and hold times of
// START and STOP at any clock the divisor allows.
inline constexpr unsigned kHoldCount = 4;

// The acknowledge bit a master sends after a byte it read: SDA low asks for
// another byte, SDA released (all ones) ends the read.
inline constexpr std::uint8_t kAcknowledge = 0x00;
inline constexpr std::uint8_t kNoAcknowledge = 0xFF;

// The read/write bit after the 7-bit address.
inline constexpr std::uint8_t kWriteBit = 0x00;
inline constexpr std::uint8_t kReadBit = 0x01;

// Length fields of the shifting commands: one byte (length - 1, low then
// high), or one bit (bit count - 1).
inline constexpr std::uint8_t kOneByteLow = 0x00;
inline constexpr std::uint8_t kOneByteHigh = 0x00;
inline constexpr std::uint8_t kOneBit = 0x00;

// --- Fixed pieces.

constexpr Piece<3> lines(std::uint8_t levels) {
    return {Mpsse::kSetDataBitsLow, levels, kI2cDirections};
}

// SCL and SDA released: the bus at rest.
inline constexpr Piece<3> kIdle = lines(kBothReleased);
// Clock a byte out, MSB first, changing on the falling edge; the data byte follows.
inline constexpr Piece<3> kByteOutHeader{Mpsse::kWriteBytesFallingMsb, kOneByteLow, kOneByteHigh};
// SCL low with SDA released, so the slave can drive its acknowledge (or,
// after a read, the next data bit).
inline constexpr Piece<3> kReleaseSda = lines(kSclLowSdaReleased);
// Clock the slave's acknowledge bit in on the rising edge.
inline constexpr Piece<2> kAcknowledgeIn{Mpsse::kReadBitsRisingMsb, kOneBit};
// Clock a byte in, MSB first, sampled on the rising edge.
inline constexpr Piece<3> kByteIn{Mpsse::kReadBytesRisingMsb, kOneByteLow, kOneByteHigh};
// Clock the master's acknowledge bit out on the falling edge; the bit follows.
inline constexpr Piece<2> kAcknowledgeOutHeader{Mpsse::kWriteBitsFallingMsb, kOneBit};
// The most bytes one raw transaction may carry either way. A byte on the bus
// costs nine command bytes; this keeps one raw transfer's write near half a
// megabyte and its reply within what one execute reads.
inline constexpr std::uint32_t kMaxTransactionBytes = 65535;

}  // namespace FTDI::I2c
