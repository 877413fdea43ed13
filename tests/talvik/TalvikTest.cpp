// The older board family: recognising its boards in the device list, its
// bring-up and board registers, and its frame engine (the select frame,
// replies, the early flush at 65535 bytes, failures and clearing). The
// access frames themselves are checked whole by the chip path tests.
#include <gtest/gtest.h>

#include <cstring>

#include "ScriptedDriver.h"
#include "base/Exceptions.h"
#include "boards/TalvikDevice.h"
#include "boards/TalvikFactory.h"
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

TEST(TalvikFactory, RecognisesSerialNumbersEndingInAnUpperCaseB) {
    FTDI::AdapterTable adapters;
    for (const auto& [serialNumber, recognised] :
         {std::pair{"", false}, std::pair{"FT12b", false}, std::pair{"FT12B", true}}) {
        FTDI::D2xx::DeviceListNode node{};
        std::strcpy(node.SerialNumber, serialNumber);
        std::strcpy(node.Description, "Talvik board");
        EXPECT_EQ(FTDI::Talvik::factory(adapters, node), recognised) << serialNumber;
    }
    ASSERT_EQ(adapters.size(), 1u);
    EXPECT_EQ(adapters[0]->name + adapters[0]->serialNumber + adapters[0]->description,
              "FT12BFT12BTalvik board");
}

TEST(TalvikBoard, BringUpAndBoardRegisterFrames) {
    auto& driver = testing_support::installScriptedDriver();
    FTDI::Talvik::Device device("TV1B", "TV1B", "");
    device.bringUp();
    device.afterBringUp();
    device.boardWrite(7, 0xFF);
    driver.queueReply({0x11, 0xA5, 0x22});
    EXPECT_EQ(device.boardRead(2), 0xA5);
    EXPECT_EQ(driver.writes(), (Writes{{0x00, 0x00, 0x00, 0x00, 0x00},
                                       {0xC0, 0x07, 0x00, 0xFF, 0x00},
                                       {0xE0, 0x02, 0x00, 0x00, 0x00}}));
}

TEST_F(TalvikEngine, RepliesAndTheSelectFrame) {
    engine.queueWrite(7, 30, 0x0210, 0x8001);
    engine.queueRead(7, 31, 0xC47F);
    engine.queueRead(7, 3, 0x0000);
    driver.queueReply(repliesFor({0xBEEF, 0x0001}));
    EXPECT_EQ(engine.execute(7), (FTDI::Values{0xBEEF, 0x0001}));  // writes yield nothing
    EXPECT_EQ(driver.calls.back().arguments.back(), 6u);           // both replies at once
    EXPECT_EQ(driver.writes()[0].size(), 5u * 4);
    EXPECT_EQ(engine.queueOf(7).queuedCommands(), selectFrame(7));

    EXPECT_TRUE(engine.execute(31).empty());  // nothing queued: the select frame alone
    EXPECT_EQ(driver.writes().back(), selectFrame(31));
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

TEST_F(TalvikEngine, ValuesOfAnEarlyExecuteAreLostWithAFailedExecute) {
    for (std::uint32_t i = 0; i < 13106; ++i)
        engine.queueRead(0, 1, 0x0002);
    driver.queueReply(repliesFor(std::vector<std::uint32_t>(13106, 0x1111)));
    engine.queueRead(0, 1, 0x0002);  // goes early: 13106 values wait
    driver.failNext("FT_Read", FTDI::D2xx::kIoError);
    EXPECT_THROW(engine.execute(0), FTDI::Exceptions::DeviceConnection);
    // The waiting values went with the failed execute; the read it sent
    // still expects its reply, and the next execute collects that alone.
    driver.queueReply(repliesFor({0x2222}));
    EXPECT_EQ(engine.execute(0), FTDI::Values{0x2222});
}

TEST_F(TalvikEngine, FailedTransfersLeaveTheQueueAsDescribed) {
    engine.queueRead(5, 1, 0x0002);
    const FTDI::Mpsse::CommandQueue& queue = engine.queueOf(5);
    const Bytes queued = queue.queuedCommands();
    driver.failNext("FT_Write", FTDI::D2xx::kIoError);
    EXPECT_THROW(engine.execute(5), FTDI::Exceptions::DeviceConnection);
    EXPECT_EQ(queue.queuedCommands(), queued);  // not sent: still queued
    EXPECT_EQ(queue.expectedReplyBytes(), 3u);

    driver.failNext("FT_Read", FTDI::D2xx::kIoError);
    EXPECT_THROW(engine.execute(5), FTDI::Exceptions::DeviceConnection);
    EXPECT_EQ(queue.queuedCommands(), selectFrame(5));  // sent: replaced by the select frame
    EXPECT_EQ(queue.expectedReplyBytes(), 3u);

    // A failed early flush queues nothing; the next operation goes early
    // again, and executes after it still hand out their values.
    for (std::uint32_t i = 0; i < 13106; ++i)
        engine.queueWrite(2, 1, 0, 0);
    driver.failNext("FT_Write", FTDI::D2xx::kIoError);
    EXPECT_THROW(engine.queueRead(2, 1, 0), FTDI::Exceptions::DeviceConnection);
    EXPECT_EQ(engine.queueOf(2).queuedCommands().size(), 65535u);
    engine.queueRead(2, 1, 0);
    EXPECT_EQ(driver.writes().back().size(), 65535u);
    driver.queueReply(repliesFor({0x4242}));
    EXPECT_EQ(engine.execute(2), FTDI::Values{0x4242});
}

TEST_F(TalvikEngine, ClosingAndClearingGiveEveryQueueItsSelectFrameBack) {
    for (std::uint8_t phy = 0; phy <= 31; ++phy)
        EXPECT_EQ(engine.queueOf(phy).queuedCommands(), selectFrame(phy));
    device.handle = reinterpret_cast<FTDI::D2xx::Handle>(0x1000);
    engine.queueRead(4, 1, 0x0002);
    device.beforeClose();
    EXPECT_EQ(device.handle, nullptr);
    EXPECT_EQ(engine.queueOf(4).queuedCommands(), selectFrame(4));
    EXPECT_TRUE(engine.queueOf(4).replySlots().empty());

    engine.queueRead(4, 1, 0x0002);
    engine.queueWrite(31, 1, 0, 0);
    engine.clearAll();
    for (std::uint8_t phy = 0; phy <= 31; ++phy)
        EXPECT_EQ(engine.queueOf(phy).queuedCommands(), selectFrame(phy));
    EXPECT_TRUE(engine.queueOf(4).replySlots().empty());
    // Nothing of the cleared read is left to send or to collect.
    driver.forget();
    EXPECT_TRUE(engine.execute(4).empty());
    EXPECT_EQ(driver.writes(), Writes{selectFrame(4)});
    EXPECT_EQ(driver.count("FT_Read"), 0u);
}
