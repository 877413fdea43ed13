// Mpsse::CommandQueue: the one queue every engine sends through. Command bytes
// are appended as operations are queued; each read declares at the same time
// the reply slot its bytes go to. sendAndCollect then makes one USB write of
// the whole queue and one USB read of every reply, and scatters the replies to
// their slots: register values (by index, in queue order), I2C data bytes and
// I2C acknowledge bits. Values stay in the queue until taken, so an early
// execute of a queue too large for one transfer simply collects part of them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <vector>

#include "mpsse/ByteBuffer.h"
#include "mpsse/ReplySlot.h"

namespace FTDI::Mpsse {

class Link;

using Bytes = std::vector<std::uint8_t>;
using Values = std::vector<std::uint32_t>;

// How a queue's transfer is closed, and when it must go early.
struct Framing {
    // Send-immediate goes after the commands when replies are due.
    bool sendImmediateWhenReading = false;
    // Appended to every non-empty write (the lines' rest levels).
    std::span<const std::uint8_t> closing;
    // A queue is due for an early execute when one more operation of
    // `commandHeadroom` bytes would take it past `commandLimit`, or when its
    // replies have reached `replyLimit` bytes.
    std::size_t commandHeadroom = 0;
    std::size_t commandLimit = std::numeric_limits<std::size_t>::max();
    std::uint32_t replyLimit = std::numeric_limits<std::uint32_t>::max();
};

class CommandQueue {
  public:
    // --- queueing
    void append(std::uint8_t byte) { commands.push(byte); }
    void append(std::span<const std::uint8_t> bytes) {
        commands.append(bytes.data(), bytes.size());
    }
    template <std::size_t N>
    void append(const std::array<std::uint8_t, N>& piece) {
        append(std::span<const std::uint8_t>(piece));
    }
    // Appends a prebuilt image and returns where its copy starts, so the
    // caller can patch the fields that vary (valid until the next append).
    std::uint8_t* appendImage(const std::vector<std::uint8_t>& image) {
        std::uint8_t* at = commands.grow(image.size());
        std::memcpy(at, image.data(), image.size());
        return at;
    }
    // The next value a read will fill: values come back in the order these
    // were handed out.
    std::uint32_t newValue() { return valueCount++; }
    // The next `slot.bytes` reply bytes go to `slot`.
    void expect(ReplySlot slot) {
        replyBytes += slot.bytes;
        // The acknowledges of a run of written bytes form one slot.
        if (slot.kind == ReplyKind::Acknowledge && !slots.empty() &&
            slots.back().kind == ReplyKind::Acknowledge) {
            slots.back().bytes += slot.bytes;
            return;
        }
        slots.push_back(slot);
    }
    // Queues restart with these bytes after every write and every clear.
    void setHeader(std::span<const std::uint8_t> bytes);
    void reserve(std::size_t commandBytes) { commands.reserve(commandBytes); }

    // --- sending
    bool dueForEarlyExecute(const Framing& framing) const {
        return commands.size() + framing.commandHeadroom > framing.commandLimit ||
               replyBytes >= framing.replyLimit;
    }
    // One write of the commands (closed as `framing` says), one read of every
    // expected reply byte, replies scattered. Nothing is written when no
    // command is queued, nothing read when no reply is due. A failed write
    // leaves the commands (with their closing) and the slots; a failed read
    // leaves the slots, so the replies can still be collected.
    void sendAndCollect(Link& link, const Framing& framing);

    // --- results
    // The values collected since the last take, in queue order.
    Values takeValues();
    // The same, swapped into `into`: its storage comes back to the queue,
    // so a caller that keeps one list allocates nothing in steady state.
    void takeValues(Values& into);
    // The I2C data bytes collected since the last take, in bus order.
    Bytes takeData();
    // The acknowledge reply bytes collected since the last clear.
    const Bytes& acknowledgeBytes() const { return acknowledges; }
    // Forgets the values collected so far (by earlier early executes) and
    // keeps the slots still waiting for replies, renumbered from 0.
    void dropCollectedValues();
    // Empties the commands (back to the header), slots and results.
    void clear();

    // --- what is queued, for tests and the early-execute check
    std::span<const std::uint8_t> commandBytes() const { return commands.bytes(); }
    Bytes queuedCommands() const { return commands.copy(); }
    const std::vector<ReplySlot>& replySlots() const { return slots; }
    std::uint32_t expectedReplyBytes() const { return replyBytes; }
    // Values queued or collected and not yet taken.
    std::uint32_t valuesPending() const { return valueCount; }

  private:
    void scatter(const std::uint8_t* replies);
    void restart();

    ByteBuffer commands;
    Bytes header;
    std::vector<ReplySlot> slots;
    std::uint32_t replyBytes = 0;
    std::uint32_t valueCount = 0;
    Values values;
    Bytes data;
    Bytes acknowledges;
    // Where one transfer's replies land; kept, so steady batches allocate nothing.
    Bytes replyBuffer;
};

}  // namespace FTDI::Mpsse
