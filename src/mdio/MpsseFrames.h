// The MPSSE MDIO frame engine: turns MDIO operations into MPSSE command bytes
// appended to a PHY's command buffer, and, on execute, sends that buffer in one
// USB write, reads every reply in one USB read and decodes the values in queue
// order. Free functions; the only state is the process-wide reply buffer.
//
// Frames are IEEE 802.3 Clause 45 and Clause 22 management frames, plus a
// 32-bit register frame of our own (Clause 22 start, the unassigned OP 00).
#pragma once

#include <cstdint>

#include "mdio/MDIO.h"

namespace FTDI {
class Device;
}

namespace FTDI::MdioFrames {

// Builders: each appends one frame to `commands` and, for a read, its reply
// size to `replySizes`. They return 0, or -1 when the preamble length is over
// 64 bits (a message goes to standard output and nothing is appended).

// op: kClause45Address, kClause45Write, kClause45ReadIncrement or kClause45Read.
// `value` is the register address (op 0) or the data (op 1); reads ignore it.
std::int32_t appendClause45Frame(std::uint8_t op, std::uint8_t preambleBits,
                                 std::uint32_t portAddress, std::uint32_t deviceAddress,
                                 std::uint16_t value, Bytes& commands, Values& replySizes);

// op: kClause22Read reads; any other op builds a write of `value`.
std::int32_t appendClause22Frame(std::uint8_t op, std::uint8_t preambleBits,
                                 std::uint32_t phyAddress, std::uint32_t registerAddress,
                                 std::uint16_t value, Bytes& commands, Values& replySizes);

// kind: one of the kRegister32 kinds; `address` is used by kinds 0 and 4,
// `data` by the write kinds.
std::int32_t appendRegister32Frame(std::uint8_t kind, std::uint8_t preambleBits,
                                   std::uint32_t phyAddress, std::uint32_t address,
                                   std::uint32_t data, Bytes& commands, Values& replySizes);

// Sends `commands` (plus send-immediate when something is to be read, and the
// final idle) in one locked write of `device`, reads the replies in one locked
// read and returns the values in queue order. Both lists are empty on return.
// The caller holds the USB lock: the reply buffer is shared by every adapter.
// A failed write leaves the command buffer (with its trailer) and the reply
// sizes in place; a failed read leaves only the reply sizes.
Values executeFrames(Device& device, Bytes& commands, Values& replySizes);

// The process-wide buffer replies are read into. It grows to the largest
// reply seen and never shrinks, so steady-state executes allocate nothing.
Bytes& scratchReplyBuffer();

}  // namespace FTDI::MdioFrames
