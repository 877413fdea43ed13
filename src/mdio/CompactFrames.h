// The compact encoding of MDIO frames: the same bits on the same MDC edges as
// the frame builders of MpsseFrames.h, but every bit the station drives from
// the start of an operation up to its read turnaround (or its end) goes out
// in one byte command and one bit command, instead of a command per field. A
// Clause 45 read becomes 30 command bytes and 6 commands instead of 76 and
// 25, so a transfer holds more than twice as many.
//
// Each operation starts as a plain frame does, by driving MDIO high with MDC
// low (the previous operation may have left it released after a read), and
// ends as a plain frame does: a read releases MDIO for the turnaround and
// clocks its 16 bits in.
#pragma once

#include <cstdint>

#include "mpsse/CommandQueue.h"

namespace FTDI::MdioFrames {

// `preambleBits` must be at most 64 (the plain builders report longer ones).

// An address frame to `registerAddress`, then the frame of `dataOp`:
// kClause45Write of `value`, kClause45Read, or kClause45ReadIncrement.
void appendCompactClause45Access(std::uint8_t dataOp, std::uint8_t preambleBits,
                                 std::uint32_t portAddress, std::uint32_t deviceAddress,
                                 std::uint16_t registerAddress, std::uint16_t value,
                                 Mpsse::CommandQueue& queue);

// One Clause 45 frame of `op`, as appendClause45Frame queues it.
void appendCompactClause45Frame(std::uint8_t op, std::uint8_t preambleBits,
                                std::uint32_t portAddress, std::uint32_t deviceAddress,
                                std::uint16_t value, Mpsse::CommandQueue& queue);

// One Clause 22 frame, as appendClause22Frame queues it: kClause22Read reads,
// any other op writes `value`.
void appendCompactClause22Frame(std::uint8_t op, std::uint8_t preambleBits,
                                std::uint32_t phyAddress, std::uint32_t registerAddress,
                                std::uint16_t value, Mpsse::CommandQueue& queue);

}  // namespace FTDI::MdioFrames
