// The one command queue: what one transfer writes and reads, where each reply
// slot puts its bytes, what a failed transfer leaves to try again, and when a
// queue is due to go early.
#include <gtest/gtest.h>

#include <array>
#include <initializer_list>

#include "Hex.h"
#include "ScriptedDriver.h"
#include "base/Exceptions.h"
#include "boards/Device.h"
#include "mpsse/CommandQueue.h"

using FTDI::Mpsse::CommandQueue;
using FTDI::Mpsse::Framing;
using FTDI::Mpsse::ReplyKind;
using testing_support::Bytes;
using testing_support::hex;
using testing_support::toHex;

namespace {

constexpr std::array<std::uint8_t, 3> kClosing{0x80, 0x03, 0x03};

Framing mpsseFraming() {
    Framing framing;
    framing.sendImmediateWhenReading = true;
    framing.closing = kClosing;
    return framing;
}

class CommandQueueTransfer : public testing::Test {
  protected:
    testing_support::ScriptedDriver& driver = testing_support::installScriptedDriver();
    FTDI::Device link{"FT1:MDIO", "FT1", "K8U MDIO"};
    CommandQueue queue;
};

}  // namespace

TEST_F(CommandQueueTransfer, WritesOnlyEndOnTheClosingWithoutSendImmediateAndReadNothing) {
    queue.sendAndCollect(link, mpsseFraming());
    EXPECT_TRUE(driver.calls.empty());  // nothing queued: no transfer at all

    queue.append(hex("13 01 40"));
    queue.sendAndCollect(link, mpsseFraming());
    EXPECT_EQ(driver.operations(), (std::vector<std::string>{"FT_Write"}));
    EXPECT_EQ(toHex(driver.writes()[0]), "13 01 40 80 03 03");
    EXPECT_TRUE(queue.queuedCommands().empty());
    EXPECT_TRUE(queue.takeValues().empty());
}

TEST_F(CommandQueueTransfer, EverySlotTakesItsBytesInOrder) {
    queue.append(0x00);
    const std::uint32_t mdio16 = queue.newValue();
    const std::uint32_t mdio32 = queue.newValue();
    const std::uint32_t halves = queue.newValue();
    const std::uint32_t bytes = queue.newValue();
    const std::uint32_t controller = queue.newValue();
    queue.expect({ReplyKind::Mdio16, 3, mdio16});
    queue.expect({ReplyKind::Acknowledge, 2, 0});
    queue.expect({ReplyKind::Acknowledge, 1, 0});  // joins the one before
    queue.expect({ReplyKind::Mdio32, 6, mdio32});
    queue.expect({ReplyKind::I2cData, 2, 0});
    queue.expect({ReplyKind::HighHalf, 2, halves});  // either half may come first
    queue.expect({ReplyKind::LowHalf, 2, halves});
    queue.expect({ReplyKind::LittleEndian, 3, bytes});
    queue.expect({ReplyKind::Controller16, 3, controller});
    queue.expect({ReplyKind::Acknowledge, 1, 0});
    EXPECT_EQ(queue.replySlots().size(), 9u);
    EXPECT_EQ(queue.expectedReplyBytes(), 25u);

    driver.queueReply(
        hex("02 12 34  00 01 00  00 DE AD 01 BE EF  5A A5  FE CA  EF BE  11 22 33  99 01 80  01"));
    queue.sendAndCollect(link, mpsseFraming());
    EXPECT_EQ(toHex(driver.writes()[0]), "00 87 80 03 03");
    EXPECT_EQ(driver.calls.back().arguments[1], 25u);  // every reply in one read
    EXPECT_EQ(queue.acknowledgeBytes(), (Bytes{0x00, 0x01, 0x00, 0x01}));
    EXPECT_EQ(queue.takeData(), (Bytes{0x5A, 0xA5}));
    EXPECT_EQ(queue.takeValues(),
              (FTDI::Mpsse::Values{0x1234, 0xDEADBEEF, 0xCAFEBEEF, 0x332211, 0x8001}));
    EXPECT_TRUE(queue.replySlots().empty());
    EXPECT_EQ(queue.expectedReplyBytes(), 0u);
}

TEST_F(CommandQueueTransfer, FailuresKeepWhatIsNeededToTryAgain) {
    // An earlier transfer's value waits in the queue, as after an early execute.
    queue.append(0x01);
    queue.expect({ReplyKind::Mdio16, 3, queue.newValue()});
    driver.queueReply(hex("00 00 07"));
    queue.sendAndCollect(link, mpsseFraming());

    queue.append(0x02);
    queue.expect({ReplyKind::Mdio16, 3, queue.newValue()});
    driver.failNext("FT_Write", FTDI::D2xx::kIoError);
    EXPECT_THROW(queue.sendAndCollect(link, mpsseFraming()), FTDI::Exceptions::DeviceConnection);
    EXPECT_EQ(toHex(queue.queuedCommands()), "02 87 80 03 03");  // the closing stays
    EXPECT_EQ(queue.replySlots().size(), 1u);

    driver.failNext("FT_Read", FTDI::D2xx::kIoError);
    EXPECT_THROW(queue.sendAndCollect(link, mpsseFraming()), FTDI::Exceptions::DeviceConnection);
    EXPECT_TRUE(queue.queuedCommands().empty());
    EXPECT_EQ(queue.replySlots().size(), 1u);

    // The slots are still there: the next transfer collects their replies.
    driver.forget();
    driver.queueReply(hex("00 00 08"));
    queue.sendAndCollect(link, mpsseFraming());
    EXPECT_EQ(toHex(driver.writes()[0]), "87 80 03 03");
    EXPECT_EQ(queue.takeValues(), (FTDI::Mpsse::Values{7, 8}));
}

TEST_F(CommandQueueTransfer, EachTakeHandsOutOnlyTheValuesCollectedSinceTheLastOne) {
    // The queue keeps its value storage from take to take; a smaller batch
    // after a larger one, or a take with nothing collected, must not show
    // what the storage still holds.
    FTDI::Mpsse::Values kept{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    const auto readValues = [&](std::initializer_list<std::uint8_t> values) {
        Bytes replies;
        for (std::uint8_t value : values) {
            queue.append(0x01);
            queue.expect({ReplyKind::Mdio16, 3, queue.newValue()});
            replies.insert(replies.end(), {0x00, 0x00, value});
        }
        driver.queueReply(replies);
        queue.sendAndCollect(link, mpsseFraming());
        queue.takeValues(kept);
    };
    readValues({1, 2, 3});
    EXPECT_EQ(kept, (FTDI::Mpsse::Values{1, 2, 3}));
    readValues({4});
    EXPECT_EQ(kept, (FTDI::Mpsse::Values{4}));
    readValues({5, 6});
    EXPECT_EQ(kept, (FTDI::Mpsse::Values{5, 6}));
    queue.takeValues(kept);
    EXPECT_TRUE(kept.empty());
}

TEST_F(CommandQueueTransfer, AHeaderStartsTheQueueAgainAfterEachWriteAndClear) {
    queue.setHeader(hex("C0 05 00 03 00"));
    queue.append(hex("61 02 00 00 00"));
    queue.expect({ReplyKind::Controller16, 3, queue.newValue()});
    driver.queueReply(hex("00 EF BE"));
    queue.sendAndCollect(link, Framing{});
    EXPECT_EQ(toHex(driver.writes()[0]), "C0 05 00 03 00 61 02 00 00 00");  // nothing around it
    EXPECT_EQ(toHex(queue.queuedCommands()), "C0 05 00 03 00");
    queue.append(0x01);
    queue.clear();
    EXPECT_EQ(toHex(queue.queuedCommands()), "C0 05 00 03 00");
    EXPECT_TRUE(queue.takeValues().empty());  // a clear drops collected values too
}

TEST(CommandQueue, DueForAnEarlyExecuteAtEitherLimit) {
    Framing framing;
    framing.commandHeadroom = 5;
    framing.commandLimit = 20;
    framing.replyLimit = 6;
    const struct {
        std::size_t commands;
        std::uint32_t replyBytes;
        bool due;
    } rows[] = {
        {15, 0, false},
        {16, 0, true},  // one more 5-byte operation would pass 20
        {0, 5, false},
        {0, 6, true},  // replies have reached the limit
    };
    for (const auto& row : rows) {
        CommandQueue queue;
        queue.append(Bytes(row.commands, 0x00));
        if (row.replyBytes != 0) queue.expect({ReplyKind::I2cData, row.replyBytes, 0});
        EXPECT_EQ(queue.dueForEarlyExecute(framing), row.due)
            << row.commands << " " << row.replyBytes;
    }
}
