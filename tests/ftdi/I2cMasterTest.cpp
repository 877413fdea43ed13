// The I2C frame engine's execute: one write and one read, the data bytes
// picked out of the acknowledges. (The bytes of whole transactions are
// checked through the engine in tests/mdio/I2cMdioTest.cpp.)
#include <gtest/gtest.h>

#include "Hex.h"
#include "I2cBytes.h"
#include "ScriptedDriver.h"
#include "ftdi/I2cMaster.h"
#include "ftdi/K8Device.h"

using testing_support::hex;
using testing_support::toHex;
using testing_support::i2c::kTrailer;

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
