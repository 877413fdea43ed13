// Where the reply bytes of one queued read go. A read declares its slot when
// it is queued: how many reply bytes it expects and what they mean. After the
// transfer the queue walks the slots in order and scatters the bytes, so the
// decoder never has to guess a reply's kind from its size.
#pragma once

#include <cstdint>

namespace FTDI::Mpsse {

enum class ReplyKind : std::uint8_t {
    // An MPSSE-clocked MDIO read of 16 bits: the turnaround bits, then bits
    // 15..8 and 7..0 of the value.
    Mdio16,
    // A 32-bit register read: the turnaround bits, bits 31..24, 23..16, the
    // middle bit, bits 15..8 and 7..0.
    Mdio32,
    // Half of a 32-bit value read through the I2C-to-MDIO bridge, two bytes
    // least significant first: bits 15..0, or bits 31..16.
    LowHalf,
    HighHalf,
    // One to four bytes, least significant first: the whole value.
    LittleEndian,
    // Data bytes read from an I2C bus, kept in bus order.
    I2cData,
    // Acknowledge bits of the bytes written on an I2C bus, one reply byte each.
    Acknowledge,
    // The older family's controller answers a read frame with three bytes:
    // nothing, then the 16-bit value least significant byte first.
    Controller16,
    // The older family's controller answers a board register read with
    // three bytes: nothing, the register's 8-bit value, nothing.
    BoardRegister8,
};

struct ReplySlot {
    ReplyKind kind;
    std::uint32_t bytes;  // reply bytes the slot takes
    std::uint32_t value;  // index of the value it fills (value kinds only)

    friend bool operator==(const ReplySlot&, const ReplySlot&) = default;
};

// Reply bytes of the fixed-size kinds.
inline constexpr std::uint32_t kMdio16ReplyBytes = 3;
inline constexpr std::uint32_t kMdio32ReplyBytes = 6;
inline constexpr std::uint32_t kHalfReplyBytes = 2;
inline constexpr std::uint32_t kController16ReplyBytes = 3;
inline constexpr std::uint32_t kBoardRegister8ReplyBytes = 3;

// An acknowledge bit is clocked in MSB first as a single bit, so it lands in
// bit 0 of its reply byte; a slave acknowledges by pulling SDA low.
inline constexpr std::uint8_t kAcknowledgeBit = 0x01;
constexpr bool acknowledged(std::uint8_t replyByte) {
    return (replyByte & kAcknowledgeBit) == 0;
}

}  // namespace FTDI::Mpsse
