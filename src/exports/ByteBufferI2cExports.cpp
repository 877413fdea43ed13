// Raw I2C with plain byte buffers: the transactions of i2c_WriteAdapter and
// i2c_ReadAdapter for hosts that cannot build a C++ vector. Unlike those two,
// an adapter without raw I2C is a failure here: a caller with a buffer to
// fill must not be left with bytes nobody read.
#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Guard.h"
#include "boards/Device.h"
#include "ftdi/BoardTraits.h"
#include "ftdi/I2cBusPieces.h"
#include "mdiohost_ext.h"
#include "registry/TalvikControl.h"

using mdiohost::Echo;
using mdiohost::guarded;

namespace {

constexpr int kDone = 0;
constexpr int kFailed = -1;

// Checked before any byte is copied from or to the host's buffer, so a bad
// count never reads or writes past it.
void checkBuffer(const void* buffer, std::uint32_t count, const char* what) {
    if (buffer == nullptr && count != 0) {
        throw std::invalid_argument(std::string("I2C ") + what + " of " + std::to_string(count) +
                                    " bytes with no buffer (null pointer).");
    }
    if (count > FTDI::I2c::kMaxTransactionBytes) {
        throw std::invalid_argument(std::string("I2C ") + what + " of " + std::to_string(count) +
                                    " bytes refused; at most " +
                                    std::to_string(FTDI::I2c::kMaxTransactionBytes) +
                                    " go in one transfer.");
    }
}

// The open adapter, when it is a K8 I2C adapter: only those carry raw
// transactions.
void checkRawI2c(std::uint32_t adapter) {
    const FTDI::Device& device = registry().openAdapterAt(adapter);
    const FTDI::BoardTraits& board = device.traits();
    if (board.family != FTDI::BoardFamily::K8 || board.protocol != FTDI::Protocol::I2c) {
        throw std::invalid_argument(device.name +
                                    ": no raw I2C on this adapter (only K8 adapters whose "
                                    "protocol is I2C have it).");
    }
}

// i2c_ReadAdapter takes a byte; the engine sends at most four anyway.
std::uint8_t registerLengthByte(std::uint32_t registerLength) {
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(registerLength, 0xFF));
}

}  // namespace

extern "C" {

MDIOHOST_API int mdiohost_i2c_write(uint32_t adapter, uint32_t address, const uint8_t* bytes,
                                    uint32_t count) {
    return guarded(Echo::ToStderr, kFailed, [&] {
        checkBuffer(bytes, count, "write");
        checkRawI2c(adapter);
        const std::vector<std::uint8_t> transaction(bytes, bytes + count);
        registry().i2cWrite(adapter, address, transaction);
        return kDone;
    });
}

MDIOHOST_API int mdiohost_i2c_read(uint32_t adapter, uint32_t address, uint32_t registerAddress,
                                   uint32_t registerLength, uint8_t* data, uint32_t count) {
    return guarded(Echo::ToStderr, kFailed, [&] {
        checkBuffer(data, count, "read");
        checkRawI2c(adapter);
        const std::vector<std::uint8_t> received = registry().i2cRead(
            adapter, address, registerAddress, registerLengthByte(registerLength), count);
        if (received.size() != count) {
            throw std::runtime_error("I2C read of " + std::to_string(count) + " bytes gave " +
                                     std::to_string(received.size()) + ".");
        }
        std::copy(received.begin(), received.end(), data);
        return kDone;
    });
}

MDIOHOST_API int mdiohost_i2c_acknowledged(uint32_t adapter) {
    return guarded(Echo::ToStderr, kFailed, [&] {
        checkRawI2c(adapter);
        return registry().i2cLastTransferAcknowledged(adapter) ? 1 : 0;
    });
}

}  // extern "C"
