#include "mdio/MpsseFrames.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "ftdi/Device.h"
#include "mdio/MdioFramePieces.h"

namespace FTDI::MdioFrames {
namespace {

// Appends pieces to a command buffer through a cursor. It makes room for the
// largest frame once and trims to what was written when it goes out of scope,
// so a frame costs one size check however many pieces it has.
class FrameWriter {
  public:
    explicit FrameWriter(Bytes& commands) : buffer(commands) {
        const std::size_t start = buffer.size();
        buffer.resize(start + kLargestFrameBytes);
        cursor = buffer.data() + start;
    }
    ~FrameWriter() { buffer.resize(static_cast<std::size_t>(cursor - buffer.data())); }
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    template <std::size_t N>
    FrameWriter& operator<<(const Piece<N>& piece) {
        cursor = std::copy(piece.begin(), piece.end(), cursor);
        return *this;
    }

  private:
    Bytes& buffer;
    std::uint8_t* cursor;
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

void putRead16(FrameWriter& frame, Values& replySizes) {
    replySizes.push_back(kReply16Bytes);
    frame << kReadTurnaround << kValue16In;
}

void putWrite16(FrameWriter& frame, std::uint16_t value) {
    frame << kWriteTurnaround << value16Out(value);
}

// The frames of both clauses that carry 16 bits: start, op, two 5-bit address
// fields, then a read's turnaround and value in or a write's turnaround and
// value out.
std::int32_t appendSixteenBitFrame(const Piece<3>& start, std::uint8_t op, bool read,
                                   std::uint8_t preambleBits, std::uint32_t firstAddress,
                                   std::uint32_t secondAddress, std::uint16_t value,
                                   Bytes& commands, Values& replySizes) {
    if (!preambleAccepted(preambleBits)) return -1;
    FrameWriter frame(commands);
    putIdleAndPreamble(frame, preambleBits);
    frame << kLineLow << start << opField(op) << addressField(firstAddress)
          << addressField(secondAddress);
    if (read) {
        putRead16(frame, replySizes);
    } else {
        putWrite16(frame, value);
    }
    return 0;
}

}  // namespace

std::int32_t appendClause45Frame(std::uint8_t op, std::uint8_t preambleBits,
                                 std::uint32_t portAddress, std::uint32_t deviceAddress,
                                 std::uint16_t value, Bytes& commands, Values& replySizes) {
    // OP 1x reads (with or without post-increment), 0x sends the address or data.
    const bool read = (op & 0x2u) != 0;
    return appendSixteenBitFrame(kStartClause45, op, read, preambleBits, portAddress, deviceAddress,
                                 value, commands, replySizes);
}

std::int32_t appendClause22Frame(std::uint8_t op, std::uint8_t preambleBits,
                                 std::uint32_t phyAddress, std::uint32_t registerAddress,
                                 std::uint16_t value, Bytes& commands, Values& replySizes) {
    return appendSixteenBitFrame(kStartClause22, op, op == kClause22Read, preambleBits, phyAddress,
                                 registerAddress, value, commands, replySizes);
}

std::int32_t appendRegister32Frame(std::uint8_t kind, std::uint8_t preambleBits,
                                   std::uint32_t phyAddress, std::uint32_t address,
                                   std::uint32_t data, Bytes& commands, Values& replySizes) {
    if (!preambleAccepted(preambleBits)) return -1;
    FrameWriter frame(commands);
    putIdleAndPreamble(frame, preambleBits);
    frame << kLineLow << kStartClause22 << opField(kRegister32Op) << addressField(phyAddress)
          << kindField(kind);
    const unsigned kindBits = kind & 0x7u;
    const bool write = (kindBits & kRegister32WriteBit) != 0;
    const bool carriesAddress = (kindBits & ~unsigned{kRegister32WriteBit}) == 0;
    if (carriesAddress) frame << value32Out(address);
    if (write) {
        frame << kWriteTurnaround << value32Out(data);
    } else {
        // At an address, the read turnaround follows the address directly.
        replySizes.push_back(kReply32Bytes);
        frame << kReadTurnaround << kValue32In;
    }
    return 0;
}

Bytes& scratchReplyBuffer() {
    static Bytes replies;
    return replies;
}

namespace {

// Reply layouts. A 16-bit read: [turnaround][high][low]. A 32-bit read:
// [turnaround][b31..24][b23..16][middle bit][b15..8][b7..0].
std::uint32_t decode16(const std::uint8_t* reply) {
    return static_cast<std::uint32_t>(reply[1]) << 8 | reply[2];
}

std::uint32_t decode32(const std::uint8_t* reply) {
    return static_cast<std::uint32_t>(reply[1]) << 24 | static_cast<std::uint32_t>(reply[2]) << 16 |
           static_cast<std::uint32_t>(reply[4]) << 8 | reply[5];
}

}  // namespace

Values executeFrames(Device& device, Bytes& commands, Values& replySizes) {
    if (!replySizes.empty())
        commands.insert(commands.end(), kSendImmediate.begin(), kSendImmediate.end());
    if (!commands.empty()) {
        commands.insert(commands.end(), kFinalIdle.begin(), kFinalIdle.end());
        device.writeBytes(commands.data(), static_cast<std::uint32_t>(commands.size()));
        commands.clear();
    }
    Values values;
    if (replySizes.empty()) return values;

    const std::uint32_t total = std::accumulate(replySizes.begin(), replySizes.end(), 0u);
    Bytes& replies = scratchReplyBuffer();
    if (replies.size() < total) replies.resize(total);
    device.readBytes(replies.data(), total);

    values.reserve(replySizes.size());
    std::size_t position = 0;
    for (const std::uint32_t size : replySizes) {
        if (size == kReply16Bytes) {
            values.push_back(decode16(replies.data() + position));
        } else if (size == kReply32Bytes) {
            values.push_back(decode32(replies.data() + position));
        } else {
            std::puts("Invalid MDIO read count!");
            std::fflush(stdout);
            values.push_back(0);
            continue;
        }
        position += size;
    }
    replySizes.clear();
    return values;
}

}  // namespace FTDI::MdioFrames
