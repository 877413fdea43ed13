// The K8 MDIO engine: the frames each operation queues, one write and one
// read per execute, and the early execute of a queue too large for one transfer.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "Hex.h"
#include "ScriptedDriver.h"
#include "base/Exceptions.h"
#include "boards/K8Device.h"
#include "mdio/K8MDIO.h"
#include "mdio/MdioFramePieces.h"
#include "mdio/MpsseFrames.h"

using testing_support::hex;
using testing_support::toCommands;
using testing_support::toHex;

namespace {

class K8Mdio : public testing::Test {
  protected:
    testing_support::ScriptedDriver& driver = testing_support::installScriptedDriver();
    FTDI::K8::Device device{"FT7", "FT7", "K8D MDIO", "MDIO"};
    FTDI::K8::MDIO& engine = attachEngine();

    FTDI::K8::MDIO& attachEngine() {
        device.engine = std::make_unique<FTDI::K8::MDIO>(&device);
        return static_cast<FTDI::K8::MDIO&>(*device.engine);
    }
    // Keeps the once-a-second sync exchange out of a test that counts transfers.
    void noSyncDue() { device.lastSync = std::chrono::steady_clock::now() + std::chrono::hours(1); }
};

}  // namespace

TEST_F(K8Mdio, EachOperationQueuesItsFrames) {
    using Queue = std::function<void(FTDI::K8::MDIO&)>;
    using Kind = FTDI::Mpsse::ReplyKind;
    constexpr Kind k16 = Kind::Mdio16;
    constexpr Kind k32 = Kind::Mdio32;
    const std::string idle = "80 02 03 80 00 03 ";
    const std::string read16 = "80 00 01 22 01 20 01 00";
    const std::string read32 = "80 00 01 22 01 20 01 00 22 00 20 01 00";
    const std::string address45 =
        idle + "13 01 00 13 01 00 13 04 28 13 04 08 13 01 80 11 01 00 01 02 ";
    const std::string out32 = "11 01 00 55 66 13 00 00 11 01 00 77 88";
    // clang-format off
    const std::vector<std::tuple<Queue, std::string, std::vector<Kind>>> cases{
        {[](auto& e) { e.queueWrite(5, 1, 0x0102, 0xBEEF); }, address45 + idle + "13 01 00 13 01 40 13 04 28 13 04 08 13 01 80 11 01 00 BE EF", {}},
        {[](auto& e) { e.queueRead(5, 1, 0x0102); }, address45 + idle + "13 01 00 13 01 C0 13 04 28 13 04 08 " + read16, {k16}},
        {[](auto& e) { e.queueWriteC22(5, 2, 0xBEEF); }, idle + "13 01 40 13 01 40 13 04 28 13 04 10 13 01 80 11 01 00 BE EF", {}},
        {[](auto& e) { e.queueReadC22(5, 2); }, idle + "13 01 40 13 01 80 13 04 28 13 04 10 " + read16, {k16}},
        {[](auto& e) { e.queueWrite32(5, 0x11223344, 0x55667788); }, idle + "13 01 40 13 01 00 13 04 28 13 02 80 11 01 00 11 22 13 00 00 11 01 00 33 44 13 01 80 " + out32, {}},
        {[](auto& e) { e.queueRead32(5, 0x11223344); }, idle + "13 01 40 13 01 00 13 04 28 13 02 00 11 01 00 11 22 13 00 00 11 01 00 33 44 " + read32, {k32}},
        {[](auto& e) { e.queueWrite32PreIncrementAddress(5, 0x55667788); }, idle + "13 01 40 13 01 00 13 04 28 13 02 A0 13 01 80 " + out32, {}},
        {[](auto& e) { e.queueWrite32CurrentAddress(5, 0x55667788); }, idle + "13 01 40 13 01 00 13 04 28 13 02 C0 13 01 80 " + out32, {}},
        {[](auto& e) { e.queueRead32PreIncrementAddress(5); }, idle + "13 01 40 13 01 00 13 04 28 13 02 20 " + read32, {k32}},
        {[](auto& e) { e.queueRead32CurrentAddress(5); }, idle + "13 01 40 13 01 00 13 04 28 13 02 40 " + read32, {k32}},
    };
    // clang-format on
    for (const auto& [queue, bytes, kinds] : cases) {
        FTDI::K8::MDIO fresh(&device);
        fresh.setPreamble(5, 0);
        queue(fresh);
        EXPECT_EQ(toCommands(fresh.queueOf(5).queuedCommands()), toCommands(hex(bytes)));
        std::vector<Kind> declared;
        for (const FTDI::Mpsse::ReplySlot& slot : fresh.queueOf(5).replySlots())
            declared.push_back(slot.kind);
        EXPECT_EQ(declared, kinds);
    }
    EXPECT_TRUE(driver.calls.empty());  // queueing sends nothing
}

TEST_F(K8Mdio, ExecuteSyncsWhenDueThenWritesOnceAndReadsOnce) {
    engine.queueRead(3, 1, 2);
    EXPECT_EQ(engine.queueOf(3).queuedCommands().size(), 76u);  // two frames, 32-bit preamble
    const std::string frames = toHex(engine.queueOf(3).queuedCommands());
    driver.queueReply(hex("02 12 34"));
    EXPECT_EQ(engine.execute(3), FTDI::Values{0x1234});
    EXPECT_EQ(driver.writes().size(), 2u);
    EXPECT_EQ(toHex(driver.writes()[0]), "AB");
    EXPECT_EQ(toHex(driver.writes()[1]), frames + " 87 80 03 03");

    driver.forget();  // within the second: no sync exchange
    engine.queueRead32(3, 0x100);
    engine.queueWrite(3, 1, 2, 0x5555);
    engine.queueReadC22(3, 1);
    driver.queueReply(hex("00 01 02 00 03 04 02 AB CD"));
    EXPECT_EQ(engine.execute(3), (FTDI::Values{0x01020304, 0xABCD}));
    EXPECT_EQ(driver.operations(), (std::vector<std::string>{"FT_Write", "FT_Read"}));
    EXPECT_EQ(driver.calls[1].arguments[1], 9u);  // every reply asked for at once
}

// The read that would take the command buffer past one transfer first
// executes the reads before it; all values come back, in order, from the next execute.
TEST_F(K8Mdio, FullQueueExecutesEarlyAndKeepsTheValuesInOrder) {
    using Read = std::function<void(FTDI::K8::MDIO&)>;
    const std::vector<std::tuple<Read, std::uint32_t, std::size_t>> cases{
        {[](auto& e) { e.queueReadC22(0, 1); }, 1723, 38},
        {[](auto& e) { e.queueRead(0, 1, 2); }, 862, 76},
    };
    for (const auto& [read, flushingRead, frameBytes] : cases) {
        driver.forget();
        noSyncDue();
        for (std::uint32_t value = 0; value < flushingRead; ++value) {
            driver.queueReply({0x02, static_cast<std::uint8_t>(value >> 8),
                               static_cast<std::uint8_t>(value & 0xFF)});
        }
        for (std::uint32_t i = 1; i < flushingRead; ++i)
            read(engine);
        EXPECT_EQ(driver.count("FT_Write"), 0u);
        read(engine);
        ASSERT_EQ(driver.writes().size(), 1u);
        EXPECT_EQ(driver.writes()[0].size(), (flushingRead - 1) * frameBytes + 4);
        EXPECT_EQ(engine.queueOf(0).queuedCommands().size(), frameBytes);

        const FTDI::Values values = engine.execute(0);
        ASSERT_EQ(values.size(), flushingRead);
        for (std::uint32_t i = 0; i < values.size(); ++i)
            ASSERT_EQ(values[i], i);
        EXPECT_EQ(driver.count("FT_Read"), 2u);
        // Nothing left queued or saved: the next execute makes no transfer.
        EXPECT_TRUE(engine.execute(0).empty());
        EXPECT_EQ(driver.count("FT_Read"), 2u);
    }
}

TEST_F(K8Mdio, FailedEarlyExecuteLeavesTheOperationUnqueuedAndSavedValuesKept) {
    noSyncDue();
    for (int i = 0; i < 1722; ++i)
        engine.queueReadC22(0, 1);
    driver.failNext("FT_Write", FTDI::D2xx::kIoError);
    EXPECT_THROW(engine.queueReadC22(0, 1), FTDI::Exceptions::DeviceConnection);
    EXPECT_EQ(engine.queueOf(0).replySlots().size(), 1722u);

    // An early execute that works keeps its values for the next execute,
    // also when that execute's own read fails.
    engine.clear(0);
    for (int i = 0; i < 1722; ++i)
        engine.queueReadC22(0, 1);
    testing_support::Bytes early(1722 * 3, 0x00);
    early.back() = 0x02;  // the last value read early is 2
    driver.queueReply(early);
    engine.queueReadC22(0, 1);  // goes early with the 1722 reads before it
    driver.failNext("FT_Read", FTDI::D2xx::kIoError);
    EXPECT_THROW(engine.execute(0), FTDI::Exceptions::DeviceConnection);
    driver.queueReply(hex("00 00 07"));
    const FTDI::Values values = engine.execute(0);
    ASSERT_EQ(values.size(), 1723u);
    EXPECT_EQ(values[1721], 2u);
    EXPECT_EQ(values[1722], 7u);
}

// Clause 45 accesses are copied from per-PHY images: a change of MMD or of
// preamble between two accesses must give the frames the builders give.
TEST_F(K8Mdio, Clause45ImagesFollowTheMmdAndThePreamble) {
    using namespace FTDI::MdioFrames;
    FTDI::Mpsse::CommandQueue expected;
    auto expectAccess = [&](std::uint8_t preambleBits, std::uint8_t mmd, std::uint16_t address,
                            std::optional<std::uint16_t> value) {
        appendClause45Frame(kClause45Address, preambleBits, 5, mmd, address, expected);
        appendClause45Frame(value ? kClause45Write : kClause45Read, preambleBits, 5, mmd,
                            value.value_or(0), expected);
    };
    engine.queueRead(5, 1, 0x0002);
    expectAccess(32, 1, 0x0002, std::nullopt);
    engine.queueWrite(5, 7, 0xABCD, 0x1234);
    expectAccess(32, 7, 0xABCD, 0x1234);
    engine.setPreamble(5, 9);
    engine.queueRead(5, 7, 0xFFFF);
    expectAccess(9, 7, 0xFFFF, std::nullopt);
    engine.queueWrite(5, 7, 0x0000, 0xFFFF);
    expectAccess(9, 7, 0x0000, 0xFFFF);
    EXPECT_EQ(toCommands(engine.queueOf(5).queuedCommands()),
              toCommands(expected.queuedCommands()));
    EXPECT_EQ(engine.queueOf(5).replySlots(), expected.replySlots());

    // A refused preamble still gets its message, and nothing is queued.
    engine.setPreamble(6, 65);
    testing::internal::CaptureStdout();
    engine.queueRead(6, 1, 2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "The preamble value 65 is invalid. Valid values are between 0 && 64.\n"
              "The preamble value 65 is invalid. Valid values are between 0 && 64.\n");
    EXPECT_TRUE(engine.queueOf(6).queuedCommands().empty());
}
