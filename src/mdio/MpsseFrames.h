// The MPSSE MDIO frame builders: each turns one MDIO operation into MPSSE
// command bytes appended to a PHY's command queue and, for a read, declares
// the reply slot its value comes from. The queue sends and decodes.
//
// Frames are IEEE 802.3 Clause 45 and Clause 22 management frames, plus a
// 32-bit register frame of our own (Clause 22 start, the unassigned OP 00).
#pragma once

#include <cstdint>

#include "mpsse/CommandQueue.h"

namespace FTDI::MdioFrames {

using Mpsse::CommandQueue;

// Each returns 0, or -1 when the preamble length is over 64 bits (a message
// goes to standard output and nothing is queued).

// op: kClause45Address, kClause45Write, kClause45ReadIncrement or kClause45Read.
// `value` is the register address (op 0) or the data (op 1); reads ignore it.
std::int32_t appendClause45Frame(std::uint8_t op, std::uint8_t preambleBits,
                                 std::uint32_t portAddress, std::uint32_t deviceAddress,
                                 std::uint16_t value, CommandQueue& queue);

// op: kClause22Read reads; any other op builds a write of `value`.
std::int32_t appendClause22Frame(std::uint8_t op, std::uint8_t preambleBits,
                                 std::uint32_t phyAddress, std::uint32_t registerAddress,
                                 std::uint16_t value, CommandQueue& queue);

// kind: one of the kRegister32 kinds; `address` is used by kinds 0 and 4,
// `data` by the write kinds.
std::int32_t appendRegister32Frame(std::uint8_t kind, std::uint8_t preambleBits,
                                   std::uint32_t phyAddress, std::uint32_t address,
                                   std::uint32_t data, CommandQueue& queue);

}  // namespace FTDI::MdioFrames
