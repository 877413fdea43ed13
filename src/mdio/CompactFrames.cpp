#include "mdio/CompactFrames.h"

#include <array>
#include <span>

#include "mdio/FastFramePieces.h"

namespace FTDI::MdioFrames {
namespace {

using Mpsse::ReplyKind;

// The bits of one operation, MSB first, then clocked out with as few
// commands as the MPSSE allows: the whole bytes with one byte command, the
// bits left over with one bit command. The commands are assembled on the
// stack and handed to the queue in one piece.
class BitRun {
  public:
    explicit BitRun(Mpsse::CommandQueue& commands) : queue(commands) { put(kLineIdleHigh); }
    ~BitRun() { queue.append(std::span<const std::uint8_t>(commandBytes.data(), commandCount)); }
    BitRun(const BitRun&) = delete;
    BitRun& operator=(const BitRun&) = delete;

    void ones(unsigned count) {
        for (; count > kMaxFieldBits; count -= kMaxFieldBits)
            field(~std::uint32_t{0}, kMaxFieldBits);
        field(~std::uint32_t{0}, count);
    }
    // The low `width` bits of `value` (up to 32), MSB first.
    void field(std::uint32_t value, unsigned width) {
        pending = (pending << width) | (value & ((std::uint64_t{1} << width) - 1));
        pendingBits += width;
        for (; pendingBits >= kBitsPerGroup; pendingBits -= kBitsPerGroup)
            runBytes[byteCount++] =
                static_cast<std::uint8_t>(pending >> (pendingBits - kBitsPerGroup));
    }
    // Clocks out what was collected, then appends `piece` after it.
    template <std::size_t N>
    void thenPiece(const Piece<N>& piece) {
        clockOut();
        put(piece);
    }
    void clockOut() {
        if (byteCount != 0) {
            put(bytesOut(byteCount));
            for (std::size_t i = 0; i < byteCount; ++i)
                commandBytes[commandCount++] = runBytes[i];
        }
        if (pendingBits != 0) {
            put(bitsOut(pendingBits, static_cast<unsigned>(pending & ((1u << pendingBits) - 1))));
        }
        pending = 0;
        pendingBits = 0;
        byteCount = 0;
    }

  private:
    template <std::size_t N>
    void put(const Piece<N>& piece) {
        for (std::uint8_t byte : piece)
            commandBytes[commandCount++] = byte;
    }

    static constexpr unsigned kMaxFieldBits = 32;
    // The longest operation: the line idle, a run of whole bytes, a bit
    // command, the read turnaround and the value in.
    static constexpr std::size_t kLongestOperation = kLineIdleHigh.size() + bytesOut(1).size() +
                                                     kLongestRunBytes + bitsOut(1, 0).size() +
                                                     kReadTurnaround.size() + kValue16In.size();

    Mpsse::CommandQueue& queue;
    // Bits not yet a whole byte (fewer than 8 between fields), and the whole
    // bytes of the run so far.
    std::uint64_t pending = 0;
    unsigned pendingBits = 0;
    std::array<std::uint8_t, kLongestRunBytes> runBytes;
    std::size_t byteCount = 0;
    std::array<std::uint8_t, kLongestOperation> commandBytes;
    std::size_t commandCount = 0;
};

bool isRead45(std::uint8_t op) {
    return (op & 0x2u) != 0;  // OP 1x reads, with or without post-increment
}

// Preamble, ST, OP and the two 5-bit addresses: everything up to the turnaround.
void putHeader(BitRun& run, unsigned preambleBits, unsigned start, std::uint8_t op,
               std::uint32_t firstAddress, std::uint32_t secondAddress) {
    run.ones(preambleBits);
    run.field(start, kStartBits);
    run.field(op, kOpBits);
    run.field(firstAddress, kAddressBits);
    run.field(secondAddress, kAddressBits);
}

// A write's turnaround (10) and its 16 bits, or a read's turnaround and value in.
void putTail(BitRun& run, bool read, std::uint16_t value, Mpsse::CommandQueue& queue) {
    if (!read) {
        run.field(0b10, kTurnaroundBits);
        run.field(value, 16);
        return;
    }
    run.thenPiece(kReadTurnaround);
    run.thenPiece(kValue16In);
    queue.expect({ReplyKind::Mdio16, kReply16Bytes, queue.newValue()});
}

constexpr unsigned kStart45 = 0b00;
constexpr unsigned kStart22 = 0b01;

}  // namespace

void appendCompactClause45Access(std::uint8_t dataOp, std::uint8_t preambleBits,
                                 std::uint32_t portAddress, std::uint32_t deviceAddress,
                                 std::uint16_t registerAddress, std::uint16_t value,
                                 Mpsse::CommandQueue& queue) {
    BitRun run(queue);
    putHeader(run, preambleBits, kStart45, kClause45Address, portAddress, deviceAddress);
    putTail(run, false, registerAddress, queue);
    putHeader(run, preambleBits, kStart45, dataOp, portAddress, deviceAddress);
    putTail(run, isRead45(dataOp), value, queue);
    run.clockOut();
}

void appendCompactClause45Frame(std::uint8_t op, std::uint8_t preambleBits,
                                std::uint32_t portAddress, std::uint32_t deviceAddress,
                                std::uint16_t value, Mpsse::CommandQueue& queue) {
    BitRun run(queue);
    putHeader(run, preambleBits, kStart45, op, portAddress, deviceAddress);
    putTail(run, isRead45(op), value, queue);
    run.clockOut();
}

void appendCompactClause22Frame(std::uint8_t op, std::uint8_t preambleBits,
                                std::uint32_t phyAddress, std::uint32_t registerAddress,
                                std::uint16_t value, Mpsse::CommandQueue& queue) {
    BitRun run(queue);
    putHeader(run, preambleBits, kStart22, op, phyAddress, registerAddress);
    putTail(run, op == kClause22Read, value, queue);
    run.clockOut();
}

}  // namespace FTDI::MdioFrames
