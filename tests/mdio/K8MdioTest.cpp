// The K8 MDIO engine: which frames each operation queues, one write and one
// read per execute, and the early execute of a queue too large for one transfer.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>

#include "Hex.h"
#include "ScriptedDriver.h"
#include "api/Exceptions.h"
#include "ftdi/K8Device.h"
#include "mdio/K8MDIO.h"

using testing_support::hex;
using testing_support::toHex;

namespace {

class K8Mdio : public testing::Test {
  protected:
    testing_support::ScriptedDriver& driver = testing_support::installScriptedDriver();
    FTDI::K8::Device device{"FT7", "FT7", "K8D MDIO", "MDIO"};
    FTDI::K8::MDIO& engine = makeEngine();

    FTDI::K8::MDIO& makeEngine() {
        device.engine = std::make_unique<FTDI::K8::MDIO>(&device);
        return static_cast<FTDI::K8::MDIO&>(*device.engine);
    }

    // Keeps the once-a-second sync exchange out of a test that scripts replies.
    void noSyncDue() { device.lastSync = std::chrono::steady_clock::now() + std::chrono::hours(1); }

    // Queues `count` reply entries of 3 bytes whose values are 0, 1, 2, ...
    void queueReplyValues(std::uint32_t first, std::uint32_t count) {
        for (std::uint32_t value = first; value < first + count; ++value) {
            driver.queueReply({0x02, static_cast<std::uint8_t>(value >> 8),
                               static_cast<std::uint8_t>(value & 0xFF)});
        }
    }
};

const std::string kIdle = "80 02 03 80 00 03 ";
const std::string kRead16 = "80 00 01 22 01 20 01 00";
const std::string kRead32 = "80 00 01 22 01 20 01 00 22 00 20 01 00";

}  // namespace

TEST_F(K8Mdio, EachOperationQueuesItsFrames) {
    struct Case {
        const char* what;
        std::function<void(FTDI::K8::MDIO&)> queue;
        std::string bytes;
        FTDI::Values replySizes;
    };
    const std::string address45 =
        kIdle + "13 01 00 13 01 00 13 04 28 13 04 08 13 01 80 11 01 00 01 02 ";
    const std::vector<Case> cases{
        {"Clause 45 write",
         [](auto& e) { e.queueWrite(5, 1, 0x0102, 0xBEEF); },
         address45 + kIdle + "13 01 00 13 01 40 13 04 28 13 04 08 13 01 80 11 01 00 BE EF",
         {}},
        {"Clause 45 read",
         [](auto& e) { e.queueRead(5, 1, 0x0102); },
         address45 + kIdle + "13 01 00 13 01 C0 13 04 28 13 04 08 " + kRead16,
         {3}},
        {"Clause 22 write",
         [](auto& e) { e.queueWriteC22(5, 2, 0xBEEF); },
         kIdle + "13 01 40 13 01 40 13 04 28 13 04 10 13 01 80 11 01 00 BE EF",
         {}},
        {"Clause 22 read",
         [](auto& e) { e.queueReadC22(5, 2); },
         kIdle + "13 01 40 13 01 80 13 04 28 13 04 10 " + kRead16,
         {3}},
        {"32-bit write",
         [](auto& e) { e.queueWrite32(5, 0x11223344, 0x55667788); },
         kIdle + "13 01 40 13 01 00 13 04 28 13 02 80 11 01 00 11 22 13 00 00 11 01 00 33 44 "
                 "13 01 80 11 01 00 55 66 13 00 00 11 01 00 77 88",
         {}},
        {"32-bit read",
         [](auto& e) { e.queueRead32(5, 0x11223344); },
         kIdle + "13 01 40 13 01 00 13 04 28 13 02 00 11 01 00 11 22 13 00 00 11 01 00 33 44 " +
             kRead32,
         {6}},
        {"32-bit write, pre-increment",
         [](auto& e) { e.queueWrite32PreIncrementAddress(5, 0x55667788); },
         kIdle +
             "13 01 40 13 01 00 13 04 28 13 02 A0 13 01 80 11 01 00 55 66 13 00 00 11 01 00 77 88",
         {}},
        {"32-bit write, current address",
         [](auto& e) { e.queueWrite32CurrentAddress(5, 0x55667788); },
         kIdle +
             "13 01 40 13 01 00 13 04 28 13 02 C0 13 01 80 11 01 00 55 66 13 00 00 11 01 00 77 88",
         {}},
        {"32-bit read, pre-increment",
         [](auto& e) { e.queueRead32PreIncrementAddress(5); },
         kIdle + "13 01 40 13 01 00 13 04 28 13 02 20 " + kRead32,
         {6}},
        {"32-bit read, current address",
         [](auto& e) { e.queueRead32CurrentAddress(5); },
         kIdle + "13 01 40 13 01 00 13 04 28 13 02 40 " + kRead32,
         {6}},
    };
    for (const Case& operation : cases) {
        SCOPED_TRACE(operation.what);
        FTDI::K8::MDIO fresh(&device);
        fresh.setPreamble(5, 0);
        operation.queue(fresh);
        EXPECT_EQ(toHex(fresh.commands[5]), toHex(hex(operation.bytes)));
        EXPECT_EQ(fresh.replySizes[5], operation.replySizes);
    }
    EXPECT_TRUE(driver.calls.empty());  // queueing sends nothing
}

TEST_F(K8Mdio, FirstExecuteSyncsAndWritesTheWholeQueue) {
    engine.queueRead(3, 1, 2);
    const FTDI::Bytes frames = engine.commands[3];
    driver.answerSyncProbe = false;
    driver.queueReply(hex("FA AB 02 12 34"));
    EXPECT_EQ(engine.execute(3), FTDI::Values{0x1234});
    FTDI::Bytes expected = frames;
    expected.insert(expected.end(), {0x87, 0x80, 0x03, 0x03});
    EXPECT_EQ(driver.writes(), (std::vector<FTDI::Bytes>{{0xAB}, expected}));
    EXPECT_EQ(driver.count("FT_Read"), 2u);

    // Within the second no sync exchange: one write, one read.
    driver.forget();
    engine.queueRead(3, 1, 2);
    engine.queueRead32(3, 0x100);
    engine.queueWrite(3, 1, 2, 0x5555);
    driver.queueReply(hex("02 AB CD 00 01 02 00 03 04"));
    EXPECT_EQ(engine.execute(3), (FTDI::Values{0xABCD, 0x01020304}));
    EXPECT_EQ(driver.operations(), (std::vector<std::string>{"FT_Write", "FT_Read"}));
    EXPECT_TRUE(engine.commands[3].empty());
    EXPECT_TRUE(engine.replySizes[3].empty());
}

TEST_F(K8Mdio, EmptyExecuteHandsOutSavedValuesOnly) {
    noSyncDue();
    EXPECT_TRUE(engine.execute(9).empty());
    engine.savedResults[9] = {7, 8};
    EXPECT_EQ(engine.execute(9), (FTDI::Values{7, 8}));
    EXPECT_TRUE(engine.savedResults[9].empty());
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(K8Mdio, PhyIdAbove31IsRefusedBeforeAnythingIsQueued) {
    try {
        engine.queueReadC22(32, 1);
        FAIL() << "accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "FT7: Phy id, 32, out of range: min = 0, max = 31");
    }
    EXPECT_THROW(engine.execute(32), std::runtime_error);
    engine.queueReadC22(31, 1);
    EXPECT_EQ(engine.replySizes[31].size(), 1u);
}

// The read that would take the command buffer past one transfer executes
// the reads before it first; their values come back, in order, from the next execute.
TEST_F(K8Mdio, FullQueueExecutesEarlyAndKeepsTheValuesInOrder) {
    struct Case {
        const char* what;
        std::function<void(FTDI::K8::MDIO&)> read;
        std::uint32_t flushingRead;  // 1-based
        std::size_t frameBytes;
    };
    const std::vector<Case> cases{
        {"Clause 22", [](auto& e) { e.queueReadC22(0, 1); }, 1723, 38},
        {"Clause 45", [](auto& e) { e.queueRead(0, 1, 2); }, 862, 76},
    };
    for (const Case& batch : cases) {
        SCOPED_TRACE(batch.what);
        driver.forget();
        noSyncDue();
        const std::uint32_t early = batch.flushingRead - 1;
        queueReplyValues(0, batch.flushingRead);
        for (std::uint32_t i = 0; i < early; ++i)
            batch.read(engine);
        EXPECT_EQ(driver.count("FT_Write"), 0u);
        batch.read(engine);
        ASSERT_EQ(driver.writes().size(), 1u);
        EXPECT_EQ(driver.writes()[0].size(), early * batch.frameBytes + 4);
        EXPECT_EQ(engine.savedResults[0].size(), early);
        EXPECT_EQ(engine.commands[0].size(), batch.frameBytes);

        const FTDI::Values values = engine.execute(0);
        ASSERT_EQ(values.size(), batch.flushingRead);
        for (std::uint32_t i = 0; i < values.size(); ++i)
            ASSERT_EQ(values[i], i);
        EXPECT_TRUE(engine.savedResults[0].empty());
        EXPECT_EQ(driver.count("FT_Write"), 2u);
        EXPECT_EQ(driver.count("FT_Read"), 2u);
    }
}

TEST_F(K8Mdio, FailedEarlyExecuteLeavesTheOperationUnqueued) {
    noSyncDue();
    for (int i = 0; i < 1722; ++i)
        engine.queueReadC22(0, 1);
    driver.failNext("FT_Write", FTDI::D2xx::kIoError);
    EXPECT_THROW(engine.queueReadC22(0, 1), FTDI::Exceptions::DeviceConnection);
    EXPECT_FALSE(engine.autoFlushing);
    EXPECT_EQ(engine.replySizes[0].size(), 1722u);

    // The saved values of an earlier early execute survive a failed execute.
    engine.clear(0);
    engine.savedResults[0] = {1, 2};
    engine.queueReadC22(0, 1);
    driver.failNext("FT_Read", FTDI::D2xx::kIoError);
    EXPECT_THROW(engine.execute(0), FTDI::Exceptions::DeviceConnection);
    EXPECT_EQ(engine.savedResults[0], (FTDI::Values{1, 2}));
}
