// The I2C frame engine: the bytes of each bus condition and transaction, and
// one write and one read per execute with the data bytes picked out of the
// acknowledges.
#include <gtest/gtest.h>

#include <functional>
#include <typeinfo>

#include "Hex.h"
#include "I2cBytes.h"
#include "ScriptedDriver.h"
#include "ftdi/I2cMaster.h"
#include "ftdi/K8Device.h"
#include "ftdi/TalvikDevice.h"

using namespace testing_support::i2c;
using testing_support::hex;
using testing_support::toHex;

namespace {

using Builder = std::function<void(FTDI::I2c::Bytes&, FTDI::I2c::Replies&)>;

struct Case {
    const char* what;
    Builder build;
    std::string bytes;
    FTDI::I2c::Replies replies;
};

}  // namespace

TEST(I2cMaster, BuildersAppendTheirBusConditions) {
    using namespace FTDI::I2c;
    const std::vector<Case> cases{
        {"idle", [](auto& q, auto&) { appendI2cIdle(q); }, kIdle, {}},
        {"start", [](auto& q, auto&) { appendI2cStart(q); }, kStart, {}},
        {"stop", [](auto& q, auto&) { appendI2cStop(q); }, kStop, {}},
        {"write byte", [](auto& q, auto&) { appendI2cWriteByte(q, 0x5A); }, writeByte(0x5A), {}},
        {"read byte, more", [](auto& q, auto&) { appendI2cReadByte(q, true); }, readByte(true), {}},
        {"read byte, last",
         [](auto& q, auto&) { appendI2cReadByte(q, false); },
         readByte(false),
         {}},
        {"write of two bytes",
         [](auto& q, auto& r) {
             appendI2cWrite(0x50, {0x01, 0x02}, q, r);
         },
         kStart + writeByte(0xA0) + writeByte(0x01) + writeByte(0x02) + kStop,
         {3, 0}},
        {"address-only write",
         [](auto& q, auto& r) { appendI2cWrite(0x7F, {}, q, r); },
         kStart + writeByte(0xFE) + kStop,
         {1, 0}},
        {"read of three bytes, idle first",
         [](auto& q, auto& r) { appendI2cRead(0x50, 3, q, r, true); },
         kIdle + kStart + writeByte(0xA1) + readByte(true) + readByte(true) + readByte(false) +
             kStop,
         {1, 3}},
        {"read of one byte",
         [](auto& q, auto& r) { appendI2cRead(0x08, 1, q, r, false); },
         kStart + writeByte(0x11) + readByte(false) + kStop,
         {1, 1}},
        {"read of no byte",
         [](auto& q, auto& r) { appendI2cRead(0x08, 0, q, r, false); },
         kStart + writeByte(0x11) + kStop,
         {1, 0}},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.what);
        Bytes queue{0xEE};  // builders append; they never touch what is there
        Replies replies;
        row.build(queue, replies);
        EXPECT_EQ(toHex(queue), toHex(hex("EE " + row.bytes)));
        EXPECT_EQ(replies, row.replies);
    }
}

// Reply pairs: acknowledges are skipped whatever their value, data bytes come
// back in bus order, a half tag stands for two bytes.
TEST(I2cMaster, ExecuteSendsOnceReadsOnceAndKeepsOnlyData) {
    auto& driver = testing_support::installScriptedDriver();
    FTDI::K8::Device device("FT9", "FT9", "K8D I2C", "I2C");
    FTDI::I2c::Bytes queue{0x80, 0x03, 0x03};
    FTDI::I2c::Replies replies{2, 0, 1, 3, 3, 102, 3, 202};
    driver.queueReply(hex("FF FF  01 A1 A2 A3  00 00 00 B1 B2  01 01 01 C1 C2"));
    EXPECT_EQ(toHex(FTDI::I2c::executeI2c(device, queue, replies)), "A1 A2 A3 B1 B2 C1 C2");
    EXPECT_EQ(driver.writes(), std::vector<FTDI::I2c::Bytes>{hex("80 03 03 " + kTrailer)});
    EXPECT_EQ(driver.count("FT_Read"), 1u);
    EXPECT_EQ(driver.calls.back().arguments[1], 16u);  // asked for all of it at once
    EXPECT_TRUE(queue.empty());
    EXPECT_EQ(replies.size(), 8u);  // left for the caller

    // Acknowledges only: they are still read, and no data comes back.
    driver.forget();
    queue = {0x80, 0x03, 0x03};
    replies = {1, 0};
    driver.queueReply({0x00});
    EXPECT_TRUE(FTDI::I2c::executeI2c(device, queue, replies).empty());
    EXPECT_EQ(driver.written(), hex("80 03 03 " + kTrailer));
    EXPECT_EQ(driver.operations(), (std::vector<std::string>{"FT_Write", "FT_Read"}));
    // Nothing queued and nothing to read: no driver call at all.
    driver.forget();
    replies.clear();
    EXPECT_TRUE(FTDI::I2c::executeI2c(device, queue, replies).empty());
    EXPECT_TRUE(driver.calls.empty());
}

TEST(I2cMaster, ExecuteOnAnotherFamilyIsABadCastBeforeAnyByte) {
    auto& driver = testing_support::installScriptedDriver();
    FTDI::Talvik::Device device("TV1B", "TV1B", "");
    FTDI::I2c::Bytes queue{0x80, 0x03, 0x03};
    FTDI::I2c::Replies replies{1, 0};
    EXPECT_THROW(FTDI::I2c::executeI2c(device, queue, replies), std::bad_cast);
    EXPECT_TRUE(driver.calls.empty());
}
