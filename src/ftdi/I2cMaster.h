// The I2C frame engine of K8 I2C boards: the FTDI chip's MPSSE as a bit-level
// I2C master. Builders append whole bus conditions and byte transfers to a
// command queue; transactions also append a pair to a reply list, so that one
// execute can send many transactions in one USB write, read every reply byte
// in one USB read and hand back just the data bytes. Acknowledge bits are read
// (the chip clocks them in either way) but not judged: a silent slave reads as
// whatever the released bus gives.
#pragma once

#include <cstdint>
#include <vector>

namespace FTDI {
class Device;
}

namespace FTDI::I2c {

using Bytes = std::vector<std::uint8_t>;
// Pairs (acknowledge bytes, data bytes or a half tag), one per transaction.
using Replies = std::vector<std::uint32_t>;

// --- Bus conditions and byte transfers (no reply-list entry).
void appendI2cIdle(Bytes& queue);
// SDA falls while SCL is high, then SCL falls. Also the repeated START.
void appendI2cStart(Bytes& queue);
// Both low, SCL rises, then SDA rises while SCL is high.
void appendI2cStop(Bytes& queue);
// One byte out and the slave's acknowledge in: one reply byte.
void appendI2cWriteByte(Bytes& queue, std::uint8_t byte);
// One byte in, then the master's acknowledge (`more`) or not: one reply byte.
void appendI2cReadByte(Bytes& queue, bool more);

// --- Whole transactions, each with its own START and STOP.
// START, address with the write bit, the bytes, STOP; pair (bytes + 1, 0).
void appendI2cWrite(std::uint8_t address, const Bytes& bytes, Bytes& queue, Replies& replies);
// [idle,] START, address with the read bit, `count` bytes read (the last one
// not acknowledged), STOP; pair (1, count).
void appendI2cRead(std::uint8_t address, std::uint32_t count, Bytes& queue, Replies& replies,
                   bool idleFirst);

// What the data entry of a reply pair may hold. Only the I2C-to-MDIO bridge's
// queues use the half tags; a raw transaction's data entry is always a byte
// count, so a raw read of 102 or 202 bytes is never taken for a tag.
enum class DataEntries { Counts, CountsOrHalfTags };

// Sends `queue` (plus send-immediate when replies are due, and the idle
// lines) in one locked write of `device`, reads every reply byte in one locked
// read and returns the data bytes in bus order. The queue is empty afterwards;
// the reply list is left for the caller to empty. Throws std::bad_cast unless
// `device` is a K8 device. The caller holds the USB lock: the reply buffer is
// shared by every adapter.
Bytes executeI2c(Device& device, Bytes& queue, Replies& replies, DataEntries entries);

// Total reply bytes a reply list stands for. Acknowledge entries are always
// counts, whatever their value (a 101-byte write acknowledges 102 bytes).
std::uint64_t replyTotal(const Replies& replies, DataEntries entries);

}  // namespace FTDI::I2c
