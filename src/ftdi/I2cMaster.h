// The I2C frame engine of K8 I2C boards: the FTDI chip's MPSSE as a bit-level
// I2C master. Builders append whole bus conditions and byte transfers to a
// command queue; transactions also declare their reply slots (the slave's
// acknowledge bit of every byte written, the data bytes read), so that one
// execute can send many transactions in one USB write and read every reply
// byte in one USB read. Acknowledge bits are collected but not judged here:
// a silent slave reads as whatever the released bus gives.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "mpsse/CommandQueue.h"

namespace FTDI::I2c {

using Bytes = std::vector<std::uint8_t>;
using Mpsse::CommandQueue;

// --- Bus conditions and byte transfers (commands only, no reply slot).
void appendI2cIdle(CommandQueue& queue);
// SDA falls while SCL is high, then SCL falls. Also the repeated START.
void appendI2cStart(CommandQueue& queue);
// Both low, SCL rises, then SDA rises while SCL is high.
void appendI2cStop(CommandQueue& queue);
// One byte out and the slave's acknowledge in: one reply byte.
void appendI2cWriteByte(CommandQueue& queue, std::uint8_t byte);
// One byte in, then the master's acknowledge (`more`) or not: one reply byte.
void appendI2cReadByte(CommandQueue& queue, bool more);

// --- Whole transactions, each with its own START and STOP.
// START, address with the write bit, the bytes, STOP; an acknowledge for the
// address and for every byte.
void appendI2cWrite(std::uint8_t address, const Bytes& bytes, CommandQueue& queue);
// [idle,] START, address with the read bit, `count` bytes read (the last one
// not acknowledged), STOP; the address's acknowledge, then `count` data
// bytes, or with `intoValue` one value of them, least significant first.
void appendI2cRead(std::uint8_t address, std::uint32_t count, CommandQueue& queue, bool idleFirst,
                   std::optional<std::uint32_t> intoValue = std::nullopt);

// How every I2C transfer ends: send-immediate when replies are due, and the
// bus released.
Mpsse::Framing i2cFraming();

}  // namespace FTDI::I2c
