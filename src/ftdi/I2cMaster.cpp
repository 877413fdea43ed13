#include "ftdi/I2cMaster.h"

#include <typeinfo>

#include "ftdi/I2cBusPieces.h"
#include "ftdi/K8Device.h"

namespace FTDI::I2c {
namespace {

template <std::size_t N>
void put(Bytes& queue, const Piece<N>& piece) {
    queue.insert(queue.end(), piece.begin(), piece.end());
}

// A bus state held for kHoldCount command cycles.
void hold(Bytes& queue, std::uint8_t levels) {
    for (unsigned i = 0; i < kHoldCount; ++i)
        put(queue, lines(levels));
}

std::uint8_t addressByte(std::uint8_t address, std::uint8_t readWrite) {
    return static_cast<std::uint8_t>((address << 1) | readWrite);
}

// Replies are read into one buffer that grows to the largest reply and is
// kept, so steady-state transfers allocate nothing but their result.
Bytes& scratchReplyBuffer() {
    static Bytes replies;
    return replies;
}

}  // namespace

void appendI2cIdle(Bytes& queue) {
    put(queue, kIdle);
}

void appendI2cStart(Bytes& queue) {
    hold(queue, kSdaLowSclHigh);
    hold(queue, kBothLow);
}

void appendI2cStop(Bytes& queue) {
    hold(queue, kBothLow);
    hold(queue, kSdaLowSclHigh);
    hold(queue, kBothReleased);
}

void appendI2cWriteByte(Bytes& queue, std::uint8_t byte) {
    put(queue, kByteOutHeader);
    queue.push_back(byte);
    put(queue, kReleaseSda);
    put(queue, kAcknowledgeIn);
}

void appendI2cReadByte(Bytes& queue, bool more) {
    put(queue, kByteIn);
    put(queue, kAcknowledgeOutHeader);
    queue.push_back(more ? kAcknowledge : kNoAcknowledge);
    put(queue, kReleaseSda);
}

void appendI2cWrite(std::uint8_t address, const Bytes& bytes, Bytes& queue, Replies& replies) {
    appendI2cStart(queue);
    appendI2cWriteByte(queue, addressByte(address, kWriteBit));
    for (const std::uint8_t byte : bytes)
        appendI2cWriteByte(queue, byte);
    appendI2cStop(queue);
    replies.push_back(static_cast<std::uint32_t>(bytes.size()) + 1);
    replies.push_back(0);
}

void appendI2cRead(std::uint8_t address, std::uint32_t count, Bytes& queue, Replies& replies,
                   bool idleFirst) {
    if (idleFirst) appendI2cIdle(queue);
    appendI2cStart(queue);
    appendI2cWriteByte(queue, addressByte(address, kReadBit));
    for (std::uint32_t i = 0; i < count; ++i)
        appendI2cReadByte(queue, i + 1 < count);
    appendI2cStop(queue);
    replies.push_back(1);
    replies.push_back(count);
}

namespace {
std::uint32_t dataEntryBytes(std::uint32_t entry, DataEntries entries) {
    return entries == DataEntries::CountsOrHalfTags ? dataBytes(entry) : entry;
}
}  // namespace

std::uint64_t replyTotal(const Replies& replies, DataEntries entries) {
    std::uint64_t total = 0;
    for (std::size_t pair = 0; pair + 1 < replies.size(); pair += 2)
        total += replies[pair] + std::uint64_t{dataEntryBytes(replies[pair + 1], entries)};
    return total;
}

Bytes executeI2c(Device& device, Bytes& queue, Replies& replies, DataEntries entries) {
    K8::Device& k8Device = dynamic_cast<K8::Device&>(device);
    const std::uint64_t total = replyTotal(replies, entries);
    if (total != 0) put(queue, kSendImmediate);
    if (!queue.empty()) {
        put(queue, kIdle);
        k8Device.writeBytes(queue.data(), static_cast<std::uint32_t>(queue.size()));
        queue.clear();
    }
    Bytes data;
    if (total == 0) return data;

    Bytes& buffer = scratchReplyBuffer();
    if (buffer.size() < total) buffer.resize(total);
    k8Device.readBytes(buffer.data(), static_cast<std::uint32_t>(total));

    // Acknowledge bytes are skipped; data bytes are kept in bus order.
    std::size_t offset = 0;
    for (std::size_t pair = 0; pair + 1 < replies.size(); pair += 2) {
        offset += replies[pair];
        const std::uint32_t count = dataEntryBytes(replies[pair + 1], entries);
        data.insert(data.end(), buffer.begin() + static_cast<std::ptrdiff_t>(offset),
                    buffer.begin() + static_cast<std::ptrdiff_t>(offset + count));
        offset += count;
    }
    return data;
}

}  // namespace FTDI::I2c
