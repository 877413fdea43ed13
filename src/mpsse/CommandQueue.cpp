#include "mpsse/CommandQueue.h"

#include <algorithm>
#include <utility>

#include "mpsse/Link.h"
#include "mpsse/MpsseCommands.h"

namespace FTDI::Mpsse {
namespace {

std::uint32_t bigEndian16(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) << 8 | bytes[1];
}

bool carriesValue(ReplyKind kind) {
    return kind != ReplyKind::I2cData && kind != ReplyKind::Acknowledge;
}

std::uint32_t littleEndian(const std::uint8_t* bytes, std::uint32_t count) {
    std::uint32_t value = 0;
    for (std::uint32_t i = 0; i < count && i < 4; ++i)
        value |= std::uint32_t{bytes[i]} << (8 * i);
    return value;
}

}  // namespace

void CommandQueue::setHeader(std::span<const std::uint8_t> bytes) {
    header.assign(bytes.begin(), bytes.end());
    restart();
}

void CommandQueue::restart() {
    // clear() keeps the capacity: a queue fills again without allocating.
    commands.clear();
    commands.append(header.data(), header.size());
}

void CommandQueue::sendAndCollect(Link& link, const Framing& framing) {
    if (framing.sendImmediateWhenReading && replyBytes != 0) append(kSendImmediate);
    if (!commands.empty()) {
        append(framing.closing);
        link.send(commands.data(), static_cast<std::uint32_t>(commands.size()));
        restart();
    }
    if (slots.empty()) return;
    if (replyBuffer.size() < replyBytes) replyBuffer.resize(replyBytes);
    link.receive(replyBuffer.data(), replyBytes);
    scatter(replyBuffer.data());
    slots.clear();
    replyBytes = 0;
}

void CommandQueue::scatter(const std::uint8_t* replies) {
    // The value storage only grows: a queue that keeps being refilled with
    // the same work resizes (and zero-fills) nothing per transfer.
    if (values.size() < valueCount) values.resize(valueCount);
    filled = valueCount;
    for (const ReplySlot& slot : slots) {
        switch (slot.kind) {
            case ReplyKind::Mdio16:
                values[slot.value] = bigEndian16(replies + 1);
                break;
            case ReplyKind::Mdio32:
                values[slot.value] = bigEndian16(replies + 1) << 16 | bigEndian16(replies + 4);
                break;
            case ReplyKind::LowHalf:
                values[slot.value] = (values[slot.value] & 0xFFFF0000u) | littleEndian(replies, 2);
                break;
            case ReplyKind::HighHalf:
                values[slot.value] = (values[slot.value] & 0x0000FFFFu) | littleEndian(replies, 2)
                                                                              << 16;
                break;
            case ReplyKind::LittleEndian:
                values[slot.value] = littleEndian(replies, slot.bytes);
                break;
            case ReplyKind::I2cData:
                data.insert(data.end(), replies, replies + slot.bytes);
                break;
            case ReplyKind::Acknowledge:
                acknowledges.insert(acknowledges.end(), replies, replies + slot.bytes);
                break;
            case ReplyKind::Controller16:
                values[slot.value] = littleEndian(replies + 1, 2);
                break;
            case ReplyKind::BoardRegister8:
                values[slot.value] = replies[1];
                break;
        }
        replies += slot.bytes;
    }
}

Values CommandQueue::takeValues() {
    Values taken;
    takeValues(taken);
    return taken;
}

void CommandQueue::takeValues(Values& into) {
    // Copied rather than handed over: the queue keeps its storage, and a
    // caller that keeps its list has the room already (and, reading one
    // value at a time, the right size too).
    if (into.size() != filled) into.resize(filled);
    if (filled == 1)
        into[0] = values[0];  // a single access: no library copy call for one value
    else
        std::copy_n(values.data(), filled, into.data());
    filled = 0;
    valueCount = 0;
    data.clear();
    acknowledges.clear();
}

Bytes CommandQueue::takeData() {
    Bytes taken = std::move(data);
    data.clear();
    return taken;
}

void CommandQueue::dropCollectedValues() {
    // Values are numbered in queue order, so every slot still waiting fills
    // a later value than any already collected.
    std::uint32_t firstPending = valueCount;
    for (const ReplySlot& slot : slots) {
        if (carriesValue(slot.kind)) firstPending = std::min(firstPending, slot.value);
    }
    for (ReplySlot& slot : slots) {
        if (carriesValue(slot.kind)) slot.value -= firstPending;
    }
    const std::uint32_t dropped = std::min(firstPending, filled);
    values.erase(values.begin(), values.begin() + dropped);
    filled -= dropped;
    valueCount -= firstPending;
}

void CommandQueue::clear() {
    restart();
    slots.clear();
    replyBytes = 0;
    valueCount = 0;
    filled = 0;
    data.clear();
    acknowledges.clear();
}

}  // namespace FTDI::Mpsse
