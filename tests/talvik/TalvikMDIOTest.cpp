// The older board family's frame engine: frames on the wire, replies, the
// early flush at 65535 bytes, failures and clearing.
#include <gtest/gtest.h>

#include "ScriptedDriver.h"
#include "api/Exceptions.h"
#include "ftdi/TalvikDevice.h"
#include "mdio/MDIO.h"

using testing_support::Bytes;
using Writes = std::vector<Bytes>;

namespace {

Bytes selectFrame(std::uint8_t phy) {
    return {0xC0, 0x05, 0x00, phy, 0x00};
}

// Reply frames carrying `values`; byte 0 is noise the engine must ignore.
Bytes repliesFor(const std::vector<std::uint32_t>& values) {
    Bytes bytes;
    for (std::uint32_t value : values) {
        bytes.insert(bytes.end(), {0xEE, static_cast<std::uint8_t>(value),
                                   static_cast<std::uint8_t>(value >> 8)});
    }
    return bytes;
}

class TalvikEngine : public testing::Test {
  protected:
    testing_support::ScriptedDriver& driver = testing_support::installScriptedDriver();
    FTDI::Talvik::Device device{"TV1B", "TV1B", ""};
    FTDI::MDIO& engine = *device.engine;
};

}  // namespace

TEST_F(TalvikEngine, FramesRepliesAndTheSelectFrame) {
    for (std::uint8_t phy = 0; phy <= 31; ++phy)
        EXPECT_EQ(engine.commands[phy], selectFrame(phy));

    engine.queueRead(3, 1, 0x0002);
    driver.queueReply({0x99, 0x34, 0x12});
    EXPECT_EQ(engine.execute(3), (FTDI::Values{0x1234}));

    engine.queueWrite(7, 30, 0x0210, 0x8001);
    engine.queueRead(7, 31, 0xC47F);
    engine.queueWrite(7, 0, 0xFFFF, 0x00FF);
    engine.queueRead(7, 3, 0x0000);
    driver.queueReply(repliesFor({0xBEEF, 0x0001}));
    EXPECT_EQ(engine.execute(7), (FTDI::Values{0xBEEF, 0x0001}));  // writes yield nothing

    EXPECT_TRUE(engine.execute(31).empty());  // nothing queued: the select frame alone
    EXPECT_EQ(driver.writes(), (Writes{{0xC0, 0x05, 0x00, 0x03, 0x00, 0x61, 0x02, 0x00, 0x00, 0x00},
                                       {0xC0, 0x05, 0x00, 0x07, 0x00,   //
                                        0x5E, 0x10, 0x02, 0x01, 0x80,   // write MMD 30
                                        0x7F, 0x7F, 0xC4, 0x00, 0x00,   // read MMD 31
                                        0x40, 0xFF, 0xFF, 0xFF, 0x00,   // write MMD 0
                                        0x63, 0x00, 0x00, 0x00, 0x00},  // read MMD 3
                                       selectFrame(31)}));
    EXPECT_EQ(driver.count("FT_Read"), 2u);  // 3 bytes, then 6
    EXPECT_EQ(driver.calls[3].arguments.back(), 6u);
    EXPECT_EQ(engine.commands[7], selectFrame(7));
}

TEST_F(TalvikEngine, FullBatchIsSentEarlyAndItsValuesComeBackFirst) {
    // The select frame and 13106 frames make 65535 bytes; one more would not fit.
    std::vector<std::uint32_t> expected;
    for (std::uint32_t i = 0; i <= 13106; ++i)
        expected.push_back(i * 7 & 0xFFFF);
    for (std::uint32_t i = 0; i < 13106; ++i)
        engine.queueRead(0, 1, 0x0002);
    EXPECT_TRUE(driver.calls.empty());

    driver.queueReply(repliesFor(expected));
    engine.queueRead(0, 1, 0x0002);
    ASSERT_EQ(driver.writes().size(), 1u);
    EXPECT_EQ(driver.writes()[0].size(), 65535u);
    EXPECT_EQ(driver.calls.back().arguments.back(), 3u * 13106);
    EXPECT_EQ(engine.execute(0), expected);
    EXPECT_EQ(driver.writes().back(),
              (Bytes{0xC0, 0x05, 0x00, 0x00, 0x00, 0x61, 0x02, 0x00, 0x00, 0x00}));
}

TEST_F(TalvikEngine, FailedTransfersLeaveTheQueueAsDescribed) {
    engine.queueRead(5, 1, 0x0002);
    const Bytes queued = engine.commands[5];
    driver.failNext("FT_Write", FTDI::D2xx::kIoError);
    EXPECT_THROW(engine.execute(5), FTDI::Exceptions::DeviceConnection);
    EXPECT_EQ(engine.commands[5], queued);  // not sent: still queued
    EXPECT_EQ(engine.replySizes[5], (FTDI::Values{3}));

    driver.failNext("FT_Read", FTDI::D2xx::kIoError);
    EXPECT_THROW(engine.execute(5), FTDI::Exceptions::DeviceConnection);
    EXPECT_EQ(engine.commands[5], selectFrame(5));  // sent: replaced by the select frame
    EXPECT_EQ(engine.replySizes[5], (FTDI::Values{3}));

    // A failed early flush queues nothing and leaves the flush flag down, so
    // later executes still hand out saved values.
    for (std::uint32_t i = 0; i < 13106; ++i)
        engine.queueWrite(2, 1, 0, 0);
    driver.failNext("FT_Write", FTDI::D2xx::kIoError);
    EXPECT_THROW(engine.queueRead(2, 1, 0), FTDI::Exceptions::DeviceConnection);
    EXPECT_EQ(engine.commands[2].size(), 65535u);
    EXPECT_FALSE(engine.autoFlushing);
}

TEST_F(TalvikEngine, ClearedQueuesGetTheirSelectFrameBack) {
    engine.queueRead(4, 1, 0x0002);
    engine.savedResults[4] = {1, 2};
    engine.queueWrite(31, 1, 0, 0);
    engine.clearAll();
    for (std::uint8_t phy = 0; phy <= 31; ++phy)
        EXPECT_EQ(engine.commands[phy], selectFrame(phy));
    EXPECT_TRUE(engine.replySizes[4].empty() && engine.savedResults[4].empty());
}
