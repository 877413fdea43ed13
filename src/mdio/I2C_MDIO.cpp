#include "mdio/I2C_MDIO.h"

#include <stdexcept>
#include <string>

#include "ftdi/I2cBusPieces.h"
#include "ftdi/K8Device.h"
#include "ftdi/UsbLock.h"
#include "mdio/I2cBridgeFrames.h"

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

void appendMostSignificantFirst(Bytes& bytes, std::uint32_t value) {
    for (unsigned i = kValueBytes; i-- > 0;)
        bytes.push_back(byteAt(value, i));
}
void appendLeastSignificantFirst(Bytes& bytes, std::uint32_t value) {
    for (unsigned i = 0; i < kValueBytes; ++i)
        bytes.push_back(byteAt(value, i));
}

void checkTransactionSize(const FTDI::Device& device, std::uint64_t bytes) {
    if (bytes > kMaxTransactionBytes) {
        throw std::runtime_error(device.name + ": I2C transaction of " + std::to_string(bytes) +
                                 " bytes refused; at most " + std::to_string(kMaxTransactionBytes) +
                                 " go in one transfer.");
    }
}

}  // namespace

void appendBridgeFrame(std::uint8_t operation, std::uint32_t address, std::uint8_t field,
                       std::uint16_t data, Bytes& queue, Replies& replies) {
    const auto writeAddress = static_cast<std::uint8_t>(address << 1 | kWriteBit);
    appendI2cIdle(queue);
    appendI2cStart(queue);
    appendI2cWriteByte(queue, writeAddress);
    appendI2cWriteByte(queue, opByte(operation, field));
    if ((operation & kReadingOperation) == 0) {
        appendI2cWriteByte(queue, static_cast<std::uint8_t>(data & 0xFF));
        appendI2cWriteByte(queue, static_cast<std::uint8_t>(data >> 8));
        appendI2cStop(queue);
        replies.insert(replies.end(), {4, 0});
        return;
    }
    // Repeated START: the bridge keeps the op byte and answers the read.
    appendI2cIdle(queue);
    appendI2cStart(queue);
    appendI2cWriteByte(queue, static_cast<std::uint8_t>(writeAddress | kReadBit));
    appendI2cReadByte(queue, true);
    appendI2cReadByte(queue, false);
    appendI2cStop(queue);
    std::uint32_t data16 = kHalfBytes;
    if (operation == kReadHalf)
        data16 = (field & kFieldMask) != kLowHalf ? kHighHalfTag : kLowHalfTag;
    replies.insert(replies.end(), {3, data16});
}

Values decodeBridgeReplies(const Replies& replies, const Bytes& bytes) {
    Values values;
    std::size_t offset = 0;
    std::uint32_t pendingLowHalf = 0;
    auto take = [&](std::uint32_t count) {
        if (offset + count > bytes.size())
            throw std::logic_error("I2C reply shorter than its list");
        std::uint32_t value = 0;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (i < kValueBytes) value |= std::uint32_t{bytes[offset + i]} << (kBitsPerByte * i);
        }
        offset += count;
        return value;
    };
    for (std::size_t pair = 0; pair + 1 < replies.size(); pair += 2) {
        const std::uint32_t entry = replies[pair + 1];
        if (entry == 0) continue;
        if (entry == kLowHalfTag) {
            pendingLowHalf = take(kHalfBytes);
        } else if (entry == kHighHalfTag) {
            values.push_back(take(kHalfBytes) << 16 | pendingLowHalf);
        } else {
            values.push_back(take(entry));
        }
    }
    return values;
}

I2C_MDIO::I2C_MDIO(Device* owner) : MDIO(owner, kHighestI2cAddress), i2cReplies(kRawI2cQueue + 1) {
    commands.resize(kRawI2cQueue + 1);
}

I2C_MDIO::~I2C_MDIO() = default;

void I2C_MDIO::queueWrite(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress,
                          std::uint16_t value) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    appendBridgeFrame(kSetAddress, phyId, mmd, registerAddress, commands[phyId], i2cReplies[phyId]);
    appendBridgeFrame(kWrite, phyId, mmd, value, commands[phyId], i2cReplies[phyId]);
}

void I2C_MDIO::queueRead(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    appendBridgeFrame(kSetAddress, phyId, mmd, registerAddress, commands[phyId], i2cReplies[phyId]);
    appendBridgeFrame(kRead, phyId, mmd, 0, commands[phyId], i2cReplies[phyId]);
}

void I2C_MDIO::queueWrite32(std::uint32_t phyId, std::uint32_t address, std::uint32_t data) {
    if (deviceParameter == 1) {
        queueRaw32(phyId, address, &data);
        return;
    }
    checkPhyId(phyId);
    flushIfFull(phyId);
    Bytes& queue = commands[phyId];
    Replies& replies = i2cReplies[phyId];
    appendBridgeFrame(kSetAddressHalf, phyId, kHighHalf, highHalf(address), queue, replies);
    appendBridgeFrame(kSetAddressHalf, phyId, kLowHalf, lowHalf(address), queue, replies);
    appendBridgeFrame(kWriteHalf, phyId, kHighHalf, highHalf(data), queue, replies);
    appendBridgeFrame(kWriteHalf, phyId, kLowHalf, lowHalf(data), queue, replies);
}

void I2C_MDIO::queueRead32(std::uint32_t phyId, std::uint32_t address) {
    if (deviceParameter == 1) {
        queueRaw32(phyId, address, nullptr);
        return;
    }
    checkPhyId(phyId);
    flushIfFull(phyId);
    Bytes& queue = commands[phyId];
    Replies& replies = i2cReplies[phyId];
    appendBridgeFrame(kSetAddressHalf, phyId, kHighHalf, highHalf(address), queue, replies);
    appendBridgeFrame(kSetAddressHalf, phyId, kLowHalf, lowHalf(address), queue, replies);
    // Low half first: the high-half tag completes the value.
    appendBridgeFrame(kReadHalf, phyId, kLowHalf, 0, queue, replies);
    appendBridgeFrame(kReadHalf, phyId, kHighHalf, 0, queue, replies);
}

// Raw mode: the address goes out most significant byte first, the value
// least significant first. A write is one transaction; a read writes the
// address, then reads four bytes in a transaction of its own. No early
// execute here: these transactions are as short as a bridge frame.
void I2C_MDIO::queueRaw32(std::uint32_t phyId, std::uint32_t address, const std::uint32_t* data) {
    checkPhyId(phyId);
    const auto i2cAddress = static_cast<std::uint8_t>(phyId);
    Bytes bytes;
    appendMostSignificantFirst(bytes, address);
    if (data != nullptr) appendLeastSignificantFirst(bytes, *data);
    appendI2cWrite(i2cAddress, bytes, commands[phyId], i2cReplies[phyId]);
    if (data == nullptr) {
        appendI2cRead(i2cAddress, kValueBytes, commands[phyId], i2cReplies[phyId], false);
    }
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

Values I2C_MDIO::execute(std::uint32_t phyId) {
    UsbLockGuard lock(usbLock());
    checkPhyId(phyId);
    k8Device->syncCheck(false, true);
    const Bytes bytes =
        executeI2c(*k8Device, commands[phyId], i2cReplies[phyId], DataEntries::CountsOrHalfTags);
    Values values = decodeBridgeReplies(i2cReplies[phyId], bytes);
    i2cReplies[phyId].clear();
    Values& saved = savedResults[phyId];
    if (autoFlushing || saved.empty()) return values;
    values.insert(values.begin(), saved.begin(), saved.end());
    saved.clear();
    return values;
}

void I2C_MDIO::clear(std::uint32_t phyId) {
    MDIO::clear(phyId);
    if (phyId <= maxPhyId) i2cReplies[phyId].clear();
}

Bytes I2C_MDIO::runRawI2c() {
    UsbLockGuard lock(usbLock());
    Bytes& queue = commands[kRawI2cQueue];
    Replies& replies = i2cReplies[kRawI2cQueue];
    try {
        k8Device->syncCheck(false, true);
        Bytes data = executeI2c(*k8Device, queue, replies, DataEntries::Counts);
        replies.clear();
        return data;
    } catch (...) {
        queue.clear();
        replies.clear();
        throw;
    }
}

void I2C_MDIO::i2cWrite(std::uint8_t address, const Bytes& bytes) {
    checkTransactionSize(*device, bytes.size());
    appendI2cWrite(address, bytes, commands[kRawI2cQueue], i2cReplies[kRawI2cQueue]);
    runRawI2c();
}

Bytes I2C_MDIO::i2cRead(std::uint8_t address, std::uint32_t registerAddress,
                        std::uint8_t registerLength, std::uint32_t count) {
    checkTransactionSize(*device, count);
    const unsigned length = registerLength < kValueBytes ? registerLength : kValueBytes;
    Bytes registerBytes;
    for (unsigned i = 0; i < length; ++i)
        registerBytes.push_back(byteAt(registerAddress, i));
    appendI2cWrite(address, registerBytes, commands[kRawI2cQueue], i2cReplies[kRawI2cQueue]);
    appendI2cRead(address, count, commands[kRawI2cQueue], i2cReplies[kRawI2cQueue], false);
    return runRawI2c();
}

}  // namespace FTDI::K8
