#include "ftdi/I2cMaster.h"

#include "ftdi/I2cBusPieces.h"

namespace FTDI::I2c {
namespace {

using Mpsse::ReplyKind;

// A bus state held for kHoldCount command cycles.
void hold(CommandQueue& queue, std::uint8_t levels) {
    for (unsigned i = 0; i < kHoldCount; ++i)
        queue.append(lines(levels));
}

std::uint8_t addressByte(std::uint8_t address, std::uint8_t readWrite) {
    return static_cast<std::uint8_t>((address << 1) | readWrite);
}

}  // namespace

Mpsse::Framing i2cFraming() {
    Mpsse::Framing framing;
    framing.sendImmediateWhenReading = true;
    framing.closing = kIdle;
    return framing;
}

void appendI2cIdle(CommandQueue& queue) {
    queue.append(kIdle);
}

void appendI2cStart(CommandQueue& queue) {
    hold(queue, kSdaLowSclHigh);
    hold(queue, kBothLow);
}

void appendI2cStop(CommandQueue& queue) {
    hold(queue, kBothLow);
    hold(queue, kSdaLowSclHigh);
    hold(queue, kBothReleased);
}

void appendI2cWriteByte(CommandQueue& queue, std::uint8_t byte) {
    queue.append(kByteOutHeader);
    queue.append(byte);
    queue.append(kReleaseSda);
    queue.append(kAcknowledgeIn);
}

void appendI2cReadByte(CommandQueue& queue, bool more) {
    queue.append(kByteIn);
    queue.append(kAcknowledgeOutHeader);
    queue.append(more ? kAcknowledge : kNoAcknowledge);
    queue.append(kReleaseSda);
}

void appendI2cWrite(std::uint8_t address, const Bytes& bytes, CommandQueue& queue) {
    appendI2cStart(queue);
    appendI2cWriteByte(queue, addressByte(address, kWriteBit));
    for (const std::uint8_t byte : bytes)
        appendI2cWriteByte(queue, byte);
    appendI2cStop(queue);
    queue.expect({ReplyKind::Acknowledge, static_cast<std::uint32_t>(bytes.size()) + 1, 0});
}

void appendI2cRead(std::uint8_t address, std::uint32_t count, CommandQueue& queue, bool idleFirst,
                   std::optional<std::uint32_t> intoValue) {
    if (idleFirst) appendI2cIdle(queue);
    appendI2cStart(queue);
    appendI2cWriteByte(queue, addressByte(address, kReadBit));
    for (std::uint32_t i = 0; i < count; ++i)
        appendI2cReadByte(queue, i + 1 < count);
    appendI2cStop(queue);
    queue.expect({ReplyKind::Acknowledge, 1, 0});
    if (count == 0) return;
    if (intoValue) {
        queue.expect({ReplyKind::LittleEndian, count, *intoValue});
    } else {
        queue.expect({ReplyKind::I2cData, count, 0});
    }
}

}  // namespace FTDI::I2c
