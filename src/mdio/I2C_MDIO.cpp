#include "mdio/I2C_MDIO.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "ftdi/AdapterPort.h"
#include "ftdi/I2cBusPieces.h"
#include "ftdi/UsbLock.h"
#include "mdio/I2cBridgeFrames.h"
#include "mdio/K8MDIO.h"

namespace FTDI::K8 {

using namespace I2c;
using namespace I2cBridge;

namespace {

constexpr unsigned kBitsPerByte = 8;
constexpr unsigned kValueBytes = 4;  // a 32-bit address or value

std::uint16_t highHalf(std::uint32_t value) {
    return static_cast<std::uint16_t>(value >> 16);
}
std::uint16_t lowHalf(std::uint32_t value) {
    return static_cast<std::uint16_t>(value & 0xFFFF);
}
std::uint8_t byteAt(std::uint32_t value, unsigned index) {
    return static_cast<std::uint8_t>(value >> (kBitsPerByte * index));
}

using Mpsse::ReplyKind;

void appendMostSignificantFirst(Bytes& bytes, std::uint32_t value) {
    for (unsigned i = kValueBytes; i-- > 0;)
        bytes.push_back(byteAt(value, i));
}
void appendLeastSignificantFirst(Bytes& bytes, std::uint32_t value) {
    for (unsigned i = 0; i < kValueBytes; ++i)
        bytes.push_back(byteAt(value, i));
}

void checkTransactionSize(const FTDI::AdapterPort& device, std::uint64_t bytes) {
    if (bytes > kMaxTransactionBytes) {
        throw std::runtime_error(device.name + ": I2C transaction of " + std::to_string(bytes) +
                                 " bytes refused; at most " + std::to_string(kMaxTransactionBytes) +
                                 " go in one transfer.");
    }
}

// The bridge's transfers end as every I2C transfer does, and go early at the
// MDIO engine's limits.
Mpsse::Framing bridgeFraming() {
    Mpsse::Framing framing = i2cFraming();
    framing.commandHeadroom = kCommandHeadroom;
    framing.commandLimit = kCommandLimit;
    framing.replyLimit = kReplyLimit;
    return framing;
}

// Acknowledges of a bridge transaction that sets or writes: address, op
// byte, two data bytes; of one that reads: address, op byte, read address.
constexpr std::uint32_t kSetAcknowledges = 4;
constexpr std::uint32_t kReadAcknowledges = 3;

}  // namespace

void appendBridgeFrame(std::uint8_t operation, std::uint32_t address, std::uint8_t field,
                       std::uint16_t data, Mpsse::CommandQueue& queue, Mpsse::ReplySlot readInto) {
    const auto writeAddress = static_cast<std::uint8_t>(address << 1 | kWriteBit);
    appendI2cIdle(queue);
    appendI2cStart(queue);
    appendI2cWriteByte(queue, writeAddress);
    appendI2cWriteByte(queue, opByte(operation, field));
    if ((operation & kReadingOperation) == 0) {
        appendI2cWriteByte(queue, static_cast<std::uint8_t>(data & 0xFF));
        appendI2cWriteByte(queue, static_cast<std::uint8_t>(data >> 8));
        appendI2cStop(queue);
        queue.expect({ReplyKind::Acknowledge, kSetAcknowledges, 0});
        return;
    }
    // Repeated START: the bridge keeps the op byte and answers the read.
    appendI2cIdle(queue);
    appendI2cStart(queue);
    appendI2cWriteByte(queue, static_cast<std::uint8_t>(writeAddress | kReadBit));
    appendI2cReadByte(queue, true);
    appendI2cReadByte(queue, false);
    appendI2cStop(queue);
    queue.expect({ReplyKind::Acknowledge, kReadAcknowledges, 0});
    queue.expect(readInto);
}

I2C_MDIO::I2C_MDIO(FTDI::AdapterPort* owner)
    : FTDI::MDIO(owner, kHighestI2cAddress, bridgeFraming()) {
    addQueues(1);  // the raw queue
}

I2C_MDIO::~I2C_MDIO() = default;

void I2C_MDIO::queueWrite(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress,
                          std::uint16_t value) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    Mpsse::CommandQueue& queue = queueFor(phyId);
    appendBridgeFrame(kSetAddress, phyId, mmd, registerAddress, queue);
    appendBridgeFrame(kWrite, phyId, mmd, value, queue);
}

void I2C_MDIO::queueRead(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    Mpsse::CommandQueue& queue = queueFor(phyId);
    appendBridgeFrame(kSetAddress, phyId, mmd, registerAddress, queue);
    appendBridgeFrame(kRead, phyId, mmd, 0, queue,
                      {ReplyKind::LittleEndian, Mpsse::kHalfReplyBytes, queue.newValue()});
}

void I2C_MDIO::queueWrite32(std::uint32_t phyId, std::uint32_t address, std::uint32_t data) {
    if (deviceParameter() == 1) {
        queueRaw32(phyId, address, &data);
        return;
    }
    checkPhyId(phyId);
    flushIfFull(phyId);
    Mpsse::CommandQueue& queue = queueFor(phyId);
    appendBridgeFrame(kSetAddressHalf, phyId, kHighHalf, highHalf(address), queue);
    appendBridgeFrame(kSetAddressHalf, phyId, kLowHalf, lowHalf(address), queue);
    appendBridgeFrame(kWriteHalf, phyId, kHighHalf, highHalf(data), queue);
    appendBridgeFrame(kWriteHalf, phyId, kLowHalf, lowHalf(data), queue);
}

void I2C_MDIO::queueRead32(std::uint32_t phyId, std::uint32_t address) {
    if (deviceParameter() == 1) {
        queueRaw32(phyId, address, nullptr);
        return;
    }
    checkPhyId(phyId);
    flushIfFull(phyId);
    Mpsse::CommandQueue& queue = queueFor(phyId);
    appendBridgeFrame(kSetAddressHalf, phyId, kHighHalf, highHalf(address), queue);
    appendBridgeFrame(kSetAddressHalf, phyId, kLowHalf, lowHalf(address), queue);
    // Low half, then high half: both fill the one value.
    const std::uint32_t value = queue.newValue();
    appendBridgeFrame(kReadHalf, phyId, kLowHalf, 0, queue,
                      {ReplyKind::LowHalf, Mpsse::kHalfReplyBytes, value});
    appendBridgeFrame(kReadHalf, phyId, kHighHalf, 0, queue,
                      {ReplyKind::HighHalf, Mpsse::kHalfReplyBytes, value});
}

// Raw mode: the address goes out most significant byte first, the value
// least significant first. A write is one transaction; a read writes the
// address, then reads four bytes in a transaction of its own. No early
// execute here: these transactions are as short as a bridge frame.
void I2C_MDIO::queueRaw32(std::uint32_t phyId, std::uint32_t address, const std::uint32_t* data) {
    checkPhyId(phyId);
    const auto i2cAddress = static_cast<std::uint8_t>(phyId);
    Mpsse::CommandQueue& queue = queueFor(phyId);
    Bytes bytes;
    appendMostSignificantFirst(bytes, address);
    if (data != nullptr) appendLeastSignificantFirst(bytes, *data);
    appendI2cWrite(i2cAddress, bytes, queue);
    if (data != nullptr) return;
    // The four bytes read are the value, least significant first.
    appendI2cRead(i2cAddress, kValueBytes, queue, false, queue.newValue());
}

void I2C_MDIO::refuse(const char* operation) const {
    throw std::runtime_error(device->name + ": " + operation +
                             " has no form on the I2C-to-MDIO bridge; nothing was sent.");
}

void I2C_MDIO::queueWriteC22(std::uint32_t, std::uint8_t, std::uint16_t) {
    refuse("Clause 22 write");
}
void I2C_MDIO::queueReadC22(std::uint32_t, std::uint8_t) {
    refuse("Clause 22 read");
}
void I2C_MDIO::queueWrite32PreIncrementAddress(std::uint32_t, std::uint32_t) {
    refuse("32-bit write at the pre-incremented address");
}
void I2C_MDIO::queueWrite32CurrentAddress(std::uint32_t, std::uint32_t) {
    refuse("32-bit write at the current address");
}
void I2C_MDIO::queueRead32PreIncrementAddress(std::uint32_t) {
    refuse("32-bit read at the pre-incremented address");
}
void I2C_MDIO::queueRead32CurrentAddress(std::uint32_t) {
    refuse("32-bit read at the current address");
}

Bytes I2C_MDIO::runRawI2c() {
    Mpsse::CommandQueue& queue = queueFor(kRawI2cQueue);
    rawAcknowledged = false;
    try {
        transfer(kRawI2cQueue);
    } catch (...) {
        queue.clear();
        throw;
    }
    const Bytes& acknowledges = queue.acknowledgeBytes();
    rawAcknowledged = std::all_of(acknowledges.begin(), acknowledges.end(), Mpsse::acknowledged);
    Bytes data = queue.takeData();
    queue.clear();
    return data;
}

void I2C_MDIO::i2cWrite(std::uint8_t address, const Bytes& bytes) {
    checkTransactionSize(*device, bytes.size());
    appendI2cWrite(address, bytes, queueFor(kRawI2cQueue));
    runRawI2c();
}

Bytes I2C_MDIO::i2cRead(std::uint8_t address, std::uint32_t registerAddress,
                        std::uint8_t registerLength, std::uint32_t count) {
    checkTransactionSize(*device, count);
    const unsigned length = registerLength < kValueBytes ? registerLength : kValueBytes;
    Bytes registerBytes;
    for (unsigned i = 0; i < length; ++i)
        registerBytes.push_back(byteAt(registerAddress, i));
    appendI2cWrite(address, registerBytes, queueFor(kRawI2cQueue));
    appendI2cRead(address, count, queueFor(kRawI2cQueue), false);
    return runRawI2c();
}

}  // namespace FTDI::K8
