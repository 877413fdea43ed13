// The pieces the fast modes add to MdioFramePieces.h: a run of whole bytes
// clocked by one byte command, and the clean end of a transfer. The compact
// encoding clocks the same bits as the plain frames, MSB first on the falling
// MDC edge, only with fewer and longer commands.
#pragma once

#include <cstddef>
#include <cstdint>

#include "mdio/MdioFramePieces.h"

namespace FTDI::MdioFrames {

// Clock `count` whole bytes out (1 to 65536): the length field is count - 1,
// low byte first; the bytes follow the command.
constexpr Piece<3> bytesOut(std::size_t count) {
    return {kWriteBytesFallingMsb, static_cast<std::uint8_t>((count - 1) & 0xFF),
            static_cast<std::uint8_t>(((count - 1) >> 8) & 0xFF)};
}

// One idle bit: MDIO high through a whole MDC period.
inline constexpr Piece<3> kIdleBitOut = bitsOut(1, 0b1);

// How a transfer ends in the fast modes. The plain final idle (80 03 03)
// raises MDC and MDIO at the same instant; after a 0 bit that edge has no
// setup, and a PHY that takes frames without preamble may count it as a bit
// of its next frame. Here MDIO is driven high while MDC is low, one idle bit
// holds it there for half a period before MDC rises, and only then do the
// lines go to rest: every rising edge the PHY sees carries a settled 1.
inline constexpr Piece<9> kCleanFinalIdle{kLineIdleHigh[0], kLineIdleHigh[1], kLineIdleHigh[2],
                                          kIdleBitOut[0],   kIdleBitOut[1],   kIdleBitOut[2],
                                          kFinalIdle[0],    kFinalIdle[1],    kFinalIdle[2]};

// The longest run a compact operation clocks out in one go: an address frame
// and the next frame's header, or two whole frames, each with the longest
// preamble.
inline constexpr unsigned kFrameBitsAfterPreamble = 32;  // ST, OP, two addresses, TA, 16 bits
inline constexpr std::size_t kLongestRunBytes =
    2 * (kMaxPreambleBits + kFrameBitsAfterPreamble) / kBitsPerGroup;

}  // namespace FTDI::MdioFrames
