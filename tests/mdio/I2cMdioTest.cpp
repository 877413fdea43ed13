// The I2C-bridged MDIO engine: bridge frames of each operation in both access
// modes, decoding of an execute's replies, the operations the bridge has no
// form for, and the raw I2C transactions on queue 128.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>

#include "Failure.h"
#include "Hex.h"
#include "I2cBytes.h"
#include "ScriptedDriver.h"
#include "base/Exceptions.h"
#include "boards/K8Device.h"
#include "mdio/I2C_MDIO.h"

using namespace testing_support::i2c;
using testing_support::hex;
using testing_support::toCommands;
using testing_support::toHex;

using testing_support::failureOf;

namespace {

class I2cMdio : public testing::Test {
  protected:
    testing_support::ScriptedDriver& driver = testing_support::installScriptedDriver();
    FTDI::K8::Device device{"FT9:I2C", "FT9", "K8D I2C MDIO", "I2C"};
    FTDI::K8::I2C_MDIO& engine = makeEngine();

    FTDI::K8::I2C_MDIO& makeEngine() {
        device.engine = std::make_unique<FTDI::K8::I2C_MDIO>(&device);
        return static_cast<FTDI::K8::I2C_MDIO&>(*device.engine);
    }
    void noSyncDue() { device.lastSync = std::chrono::steady_clock::now() + std::chrono::hours(1); }
};

// A bridge transaction that sets or writes: op byte and two data bytes.
std::string setFrame(std::uint8_t address, std::uint8_t op, std::uint8_t low, std::uint8_t high) {
    return kIdle + kStart + writeByte(address * 2) + writeByte(op) + writeByte(low) +
           writeByte(high) + kStop;
}
// A bridge transaction that reads: op byte, repeated START, two bytes in.
std::string readFrame(std::uint8_t address, std::uint8_t op) {
    return kIdle + kStart + writeByte(address * 2) + writeByte(op) + kIdle + kStart +
           writeByte(address * 2 + 1) + readByte(true) + readByte(false) + kStop;
}

using Slots = std::vector<FTDI::Mpsse::ReplySlot>;
using Kind = FTDI::Mpsse::ReplyKind;
// The acknowledges of a run of transactions, one slot.
FTDI::Mpsse::ReplySlot acks(std::uint32_t count) {
    return {Kind::Acknowledge, count, 0};
}

}  // namespace

TEST_F(I2cMdio, EachOperationQueuesItsTransactions) {
    struct Case {
        const char* what;
        std::uint32_t mode;  // deviceParameter
        std::function<void(FTDI::K8::I2C_MDIO&)> queue;
        std::string bytes;
        Slots slots;
    };
    const std::vector<Case> cases{
        {"Clause 45 read",
         0,
         [](auto& e) { e.queueRead(0x10, 1, 0x0002); },
         setFrame(0x10, 0x01, 0x02, 0x00) + readFrame(0x10, 0x61),
         {acks(7), {Kind::LittleEndian, 2, 0}}},
        {"Clause 45 write",
         0,
         [](auto& e) { e.queueWrite(0x10, 30, 0x0000, 0x8001); },
         setFrame(0x10, 0x1E, 0x00, 0x00) + setFrame(0x10, 0x3E, 0x01, 0x80),
         {acks(8)}},
        {"32-bit write through the bridge",
         0,
         [](auto& e) { e.queueWrite32(0x10, 0x12345678, 0xAABBCCDD); },
         setFrame(0x10, 0x81, 0x34, 0x12) + setFrame(0x10, 0x80, 0x78, 0x56) +
             setFrame(0x10, 0xA1, 0xBB, 0xAA) + setFrame(0x10, 0xA0, 0xDD, 0xCC),
         {acks(16)}},
        {"32-bit read through the bridge",
         0,
         [](auto& e) { e.queueRead32(0x10, 0x12345678); },
         setFrame(0x10, 0x81, 0x34, 0x12) + setFrame(0x10, 0x80, 0x78, 0x56) +
             readFrame(0x10, 0xE0) + readFrame(0x10, 0xE1),
         {acks(11), {Kind::LowHalf, 2, 0}, acks(3), {Kind::HighHalf, 2, 0}}},
        {"32-bit write, raw",
         1,
         [](auto& e) { e.queueWrite32(0x10, 0x12345678, 0xAABBCCDD); },
         kStart + writeBytes({0x20, 0x12, 0x34, 0x56, 0x78, 0xDD, 0xCC, 0xBB, 0xAA}) + kStop,
         {acks(9)}},
        {"32-bit read, raw",
         1,
         [](auto& e) { e.queueRead32(0x10, 0x12345678); },
         kStart + writeBytes({0x20, 0x12, 0x34, 0x56, 0x78}) + kStop + kStart + writeByte(0x21) +
             times(readByte(true), 3) + readByte(false) + kStop,
         {acks(6), {Kind::LittleEndian, 4, 0}}},
    };
    for (const Case& operation : cases) {
        SCOPED_TRACE(operation.what);
        FTDI::K8::I2C_MDIO fresh(&device);
        fresh.setDeviceParameter(operation.mode);
        operation.queue(fresh);
        EXPECT_EQ(toCommands(fresh.queueOf(0x10).queuedCommands()),
                  toCommands(hex(operation.bytes)));
        EXPECT_EQ(fresh.queueOf(0x10).replySlots(), operation.slots);
    }
    EXPECT_TRUE(driver.calls.empty());  // queueing sends nothing
}

TEST_F(I2cMdio, ExecuteDecodesEveryReadInQueueOrder) {
    engine.queueRead(0x10, 1, 2);
    engine.queueWrite(0x10, 1, 2, 0x5555);
    engine.queueRead32(0x10, 0x100);
    const FTDI::Bytes frames = engine.queueOf(0x10).queuedCommands();
    driver.queueReply(
        hex("00 00 00 00  00 00 00  34 12"      // Clause 45 read
            "00 00 00 00  00 00 00 00"          // write: acknowledges only
            "00 00 00 00  00 00 00 00"          // 32-bit address halves
            "00 00 00  EF BE  00 00 00  FE CA"  // low half, high half
            ));
    EXPECT_EQ(engine.execute(0x10), (FTDI::Values{0x1234, 0xCAFEBEEF}));

    // The first execute syncs; then one write and one read.
    FTDI::Bytes expected = frames;
    const FTDI::Bytes trailer = hex(kTrailer);
    expected.insert(expected.end(), trailer.begin(), trailer.end());
    EXPECT_EQ(driver.writes(), (std::vector<FTDI::Bytes>{{0xAB}, expected}));
    EXPECT_EQ(driver.operations(),
              (std::vector<std::string>{"FT_Write", "FT_Read", "FT_Write", "FT_Read"}));
    EXPECT_TRUE(engine.queueOf(0x10).queuedCommands().empty());
    EXPECT_TRUE(engine.queueOf(0x10).replySlots().empty());

    // Raw mode: four bytes, least significant first.
    engine.setDeviceParameter(1);
    engine.queueRead32(0x10, 0x100);
    driver.queueReply(hex("00 00 00 00 00  00  DD CC BB AA"));
    EXPECT_EQ(engine.execute(0x10), FTDI::Values{0xAABBCCDD});
}

TEST_F(I2cMdio, OperationsWithoutABridgeFormAndAddressesAbove127AreRefused) {
    EXPECT_EQ(failureOf([&] { engine.queueReadC22(1, 2); }),
              "FT9:I2C: Clause 22 read has no form on the I2C-to-MDIO bridge; nothing was sent.");
    for (const auto& queue :
         std::vector<std::function<void()>>{[&] { engine.queueWriteC22(1, 2, 3); },
                                            [&] { engine.queueWrite32PreIncrementAddress(1, 3); },
                                            [&] { engine.queueWrite32CurrentAddress(1, 3); },
                                            [&] { engine.queueRead32PreIncrementAddress(1); },
                                            [&] { engine.queueRead32CurrentAddress(1); }}) {
        EXPECT_THROW(queue(), std::runtime_error);
    }
    EXPECT_TRUE(engine.queueOf(1).queuedCommands().empty());
    EXPECT_TRUE(engine.queueOf(1).replySlots().empty());

    for (const std::uint32_t mode : {0u, 1u}) {  // raw mode checks the address too
        engine.setDeviceParameter(mode);
        engine.queueRead32(127, 0);
        EXPECT_EQ(failureOf([&] { engine.queueRead32(128, 0); }),
                  "FT9: Phy id, 128, out of range: min = 0, max = 127");
    }
    EXPECT_TRUE(engine.rawQueue().queuedCommands().empty());  // the raw queue is no bridge address
}

TEST_F(I2cMdio, RawReadWritesTheRegisterThenReadsInASecondTransaction) {
    struct Case {
        std::uint8_t registerLength;
        std::uint32_t count;
        std::string registerBytes;
        std::string readBytes;
    };
    const std::vector<Case> cases{
        {2, 3, writeByte(0x34) + writeByte(0x12),
         readByte(true) + readByte(true) + readByte(false)},
        {0, 1, "", readByte(false)},                                    // address-only write
        {7, 1, writeBytes({0x34, 0x12, 0xCD, 0xAB}), readByte(false)},  // at most four
        {1, 0, writeByte(0x34), ""},  // count 0: address and STOP only
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(std::to_string(row.registerLength) + " register bytes, count " +
                     std::to_string(row.count));
        driver.forget();
        noSyncDue();
        const std::uint32_t acknowledges = std::min<std::uint32_t>(row.registerLength, 4) + 2;
        testing_support::Bytes reply(acknowledges, 0x00);
        for (std::uint32_t i = 0; i < row.count; ++i)
            reply.push_back(static_cast<std::uint8_t>(0xD0 + i));
        driver.queueReply(reply);

        const FTDI::I2c::Bytes data =
            engine.i2cRead(0x50, 0xABCD1234, row.registerLength, row.count);
        EXPECT_EQ(data, FTDI::I2c::Bytes(reply.begin() + acknowledges, reply.end()));
        EXPECT_EQ(toCommands(driver.written()),
                  toCommands(hex(kStart + writeByte(0xA0) + row.registerBytes + kStop + kStart +
                                 writeByte(0xA1) + row.readBytes + kStop + kTrailer)));
        EXPECT_EQ(driver.operations(), (std::vector<std::string>{"FT_Write", "FT_Read"}));
    }
}

TEST_F(I2cMdio, RawCountsOf102And202BytesAreStillByteCounts) {
    noSyncDue();
    // 101 bytes written acknowledge 102 bytes: all of them are read.
    driver.queueReply(testing_support::Bytes(102, 0x00));
    engine.i2cWrite(0x50, FTDI::I2c::Bytes(101, 0x5A));
    EXPECT_EQ(driver.calls.back().arguments[1], 102u);

    // A read of 202 bytes returns 202 bytes, after the two acknowledges.
    driver.forget();
    testing_support::Bytes reply(2, 0x00);
    for (unsigned i = 0; i < 202; ++i)
        reply.push_back(static_cast<std::uint8_t>(i));
    driver.queueReply(reply);
    const FTDI::I2c::Bytes data = engine.i2cRead(0x50, 0, 0, 202);
    EXPECT_EQ(data, FTDI::I2c::Bytes(reply.begin() + 2, reply.end()));
    EXPECT_EQ(driver.calls.back().arguments[1], 204u);
}

TEST_F(I2cMdio, FailedRawTransferLeavesNothingForTheNextOne) {
    noSyncDue();
    driver.failNext("FT_Read", FTDI::D2xx::kIoError);
    EXPECT_THROW(engine.i2cRead(0x50, 0, 1, 2), FTDI::Exceptions::DeviceConnection);
    driver.forget();
    // A raw write is one transaction in one transfer.
    driver.queueReply({0x00, 0x00, 0x00});  // three acknowledges
    engine.i2cWrite(0x51, {0x01, 0x02});
    EXPECT_EQ(toCommands(driver.written()),
              toCommands(hex(kStart + writeBytes({0xA2, 0x01, 0x02}) + kStop + kTrailer)));
    EXPECT_EQ(driver.calls.back().arguments[1], 3u);

    // More than one transfer can carry is refused before anything is sent.
    driver.forget();
    EXPECT_EQ(failureOf([&] { engine.i2cRead(0x50, 0, 1, 65536); }),
              "FT9:I2C: I2C transaction of 65536 bytes refused; at most 65535 go in one "
              "transfer.");
    EXPECT_THROW(engine.i2cWrite(0x50, FTDI::I2c::Bytes(65536)), std::runtime_error);
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_TRUE(engine.rawQueue().queuedCommands().empty());
}

// The acknowledge bits of a raw transfer are collected: the slave pulls SDA
// low (bit 0 of the reply byte clear) for every byte it takes.
TEST_F(I2cMdio, RawTransferTellsWhetherEveryByteWasAcknowledged) {
    noSyncDue();
    const struct {
        const char* what;
        testing_support::Bytes replies;
        bool acknowledged;
    } rows[] = {
        {"every byte", {0x00, 0x00, 0x00, 0xFE}, true},  // only bit 0 is the bit read
        {"address not", {0x01, 0x00, 0x00, 0x00}, false},
        {"last byte not", {0x00, 0x00, 0x00, 0x01}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        driver.queueReply(row.replies);
        engine.i2cWrite(0x50, {0x01, 0x02, 0x03});
        EXPECT_EQ(engine.lastRawTransferAcknowledged(), row.acknowledged);
    }
    driver.failNext("FT_Read", FTDI::D2xx::kIoError);
    EXPECT_THROW(engine.i2cWrite(0x50, {0x01}), FTDI::Exceptions::DeviceConnection);
    EXPECT_FALSE(engine.lastRawTransferAcknowledged());
}
