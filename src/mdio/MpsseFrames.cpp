#include "mdio/MpsseFrames.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <span>

#include "mdio/MdioFramePieces.h"

namespace FTDI::MdioFrames {
namespace {

using Mpsse::ReplyKind;

// Assembles one frame in a buffer on the stack, sized for the largest frame,
// and hands it to the queue in one piece: no zero fill and no shrinking of
// the queue's buffer, one size check per frame however many pieces it has.
class FrameWriter {
  public:
    explicit FrameWriter(CommandQueue& commands) : queue(commands) {}
    ~FrameWriter() {
        queue.append(std::span<const std::uint8_t>(
            frame.data(), static_cast<std::size_t>(cursor - frame.data())));
    }
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    template <std::size_t N>
    FrameWriter& operator<<(const Piece<N>& piece) {
        cursor = std::copy(piece.begin(), piece.end(), cursor);
        return *this;
    }

  private:
    CommandQueue& queue;
    std::array<std::uint8_t, kLargestFrameBytes> frame;
    std::uint8_t* cursor = frame.data();
};

bool preambleAccepted(std::uint8_t preambleBits) {
    if (preambleBits <= kMaxPreambleBits) return true;
    std::printf("The preamble value %d is invalid. Valid values are between 0 && 64.\n",
                preambleBits);
    std::fflush(stdout);
    return false;
}

// Line idle high, then the preamble in groups of at most eight one-bits.
void putIdleAndPreamble(FrameWriter& frame, unsigned preambleBits) {
    frame << kLineIdleHigh;
    for (unsigned remaining = preambleBits; remaining > 0;) {
        const unsigned group = std::min(remaining, kBitsPerGroup);
        frame << preambleGroup(group);
        remaining -= group;
    }
}

// The frames of both clauses that carry 16 bits: start, op, two 5-bit address
// fields, then a read's turnaround and value in or a write's turnaround and
// value out.
std::int32_t appendSixteenBitFrame(const Piece<3>& start, std::uint8_t op, bool read,
                                   std::uint8_t preambleBits, std::uint32_t firstAddress,
                                   std::uint32_t secondAddress, std::uint16_t value,
                                   CommandQueue& queue) {
    if (!preambleAccepted(preambleBits)) return -1;
    {
        FrameWriter frame(queue);
        putIdleAndPreamble(frame, preambleBits);
        frame << kLineLow << start << opField(op) << addressField(firstAddress)
              << addressField(secondAddress);
        if (read) {
            frame << kReadTurnaround << kValue16In;
        } else {
            frame << kWriteTurnaround << value16Out(value);
        }
    }
    if (read) queue.expect({ReplyKind::Mdio16, kReply16Bytes, queue.newValue()});
    return 0;
}

}  // namespace

std::int32_t appendClause45Frame(std::uint8_t op, std::uint8_t preambleBits,
                                 std::uint32_t portAddress, std::uint32_t deviceAddress,
                                 std::uint16_t value, CommandQueue& queue) {
    // OP 1x reads (with or without post-increment), 0x sends the address or data.
    const bool read = (op & 0x2u) != 0;
    return appendSixteenBitFrame(kStartClause45, op, read, preambleBits, portAddress, deviceAddress,
                                 value, queue);
}

std::int32_t appendClause22Frame(std::uint8_t op, std::uint8_t preambleBits,
                                 std::uint32_t phyAddress, std::uint32_t registerAddress,
                                 std::uint16_t value, CommandQueue& queue) {
    return appendSixteenBitFrame(kStartClause22, op, op == kClause22Read, preambleBits, phyAddress,
                                 registerAddress, value, queue);
}

std::int32_t appendRegister32Frame(std::uint8_t kind, std::uint8_t preambleBits,
                                   std::uint32_t phyAddress, std::uint32_t address,
                                   std::uint32_t data, CommandQueue& queue) {
    if (!preambleAccepted(preambleBits)) return -1;
    const unsigned kindBits = kind & 0x7u;
    const bool write = (kindBits & kRegister32WriteBit) != 0;
    const bool carriesAddress = (kindBits & ~unsigned{kRegister32WriteBit}) == 0;
    {
        FrameWriter frame(queue);
        putIdleAndPreamble(frame, preambleBits);
        frame << kLineLow << kStartClause22 << opField(kRegister32Op) << addressField(phyAddress)
              << kindField(kind);
        if (carriesAddress) frame << value32Out(address);
        if (write) {
            frame << kWriteTurnaround << value32Out(data);
        } else {
            // At an address, the read turnaround follows the address directly.
            frame << kReadTurnaround << kValue32In;
        }
    }
    if (!write) queue.expect({ReplyKind::Mdio32, kReply32Bytes, queue.newValue()});
    return 0;
}

}  // namespace FTDI::MdioFrames
