// The K8 engine's fast modes on the scripted driver: the compact encoding's
// bytes and its waveform against the plain one, bursts of post-read-increment
// reads, and how transfers end once a fast mode is on.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "Hex.h"
#include "PinWaveform.h"
#include "ScriptedDriver.h"
#include "boards/K8Device.h"
#include "mdio/K8MDIO.h"

using testing_support::hex;
using testing_support::pinWaveform;
using testing_support::toCommands;
using testing_support::toHex;

namespace {

using Engine = FTDI::K8::MDIO;
using Queue = std::function<void(Engine&)>;

constexpr std::uint32_t kPhy = 5;
const std::string kReadTail = " 80 00 01 22 01 20 01 00";

class FastModes : public testing::Test {
  protected:
    testing_support::ScriptedDriver& driver = testing_support::installScriptedDriver();
    FTDI::K8::Device device{"FT7", "FT7", "K8D MDIO", "MDIO"};
    Engine& engine = attachEngine();

    Engine& attachEngine() {
        device.engine = std::make_unique<Engine>(&device);
        return static_cast<Engine&>(*device.engine);
    }
    void noSyncDue() { device.lastSync = std::chrono::steady_clock::now() + std::chrono::hours(1); }
    std::string queued(const Engine& e) const { return toHex(e.queueOf(kPhy).queuedCommands()); }
};

}  // namespace

TEST_F(FastModes, CompactEncodingClocksEachOperationInOneRunOfBits) {
    struct Case {
        Queue queue;
        std::uint8_t preamble;
        std::string bytes;
    };
    // clang-format off
    const std::vector<Case> cases{
        {[](Engine& e) { e.queueRead(kPhy, 1, 0x0102); }, 32,
         "80 02 03 11 0C 00 FF FF FF FF 02 86 01 02 FF FF FF FF 32 13 05 84" + kReadTail},
        {[](Engine& e) { e.queueWrite(kPhy, 1, 0x0102, 0xBEEF); }, 32,
         "80 02 03 11 0F 00 FF FF FF FF 02 86 01 02 FF FF FF FF 12 86 BE EF"},
        {[](Engine& e) { e.queueRead(kPhy, 1, 0x0102); }, 0,
         "80 02 03 11 04 00 02 86 01 02 32 13 05 84" + kReadTail},
        {[](Engine& e) { e.queueReadC22(kPhy, 2); }, 0, "80 02 03 11 00 00 62 13 05 88" + kReadTail},
        {[](Engine& e) { e.queueWriteC22(kPhy, 2, 0xBEEF); }, 0, "80 02 03 11 03 00 52 8A BE EF"},
        {[](Engine& e) { e.queueReadBurst(kPhy, 1, 0x0102, 2); }, 0,
         "80 02 03 11 04 00 02 86 01 02 22 13 05 84" + kReadTail +
         " 80 02 03 11 00 00 22 13 05 84" + kReadTail},
        // 32-bit register frames keep their encoding.
        {[](Engine& e) { e.queueRead32PreIncrementAddress(kPhy); }, 0,
         "80 02 03 80 00 03 13 01 40 13 01 00 13 04 28 13 02 20 80 00 01 22 01 20 01 00 22 00 20 01 00"},
    };
    // clang-format on
    for (const Case& c : cases) {
        Engine fresh(&device);
        fresh.setCompactEncoding(true);
        fresh.setWirePreamble(kPhy, c.preamble);
        c.queue(fresh);
        EXPECT_EQ(toCommands(fresh.queueOf(kPhy).queuedCommands()), toCommands(hex(c.bytes)));
    }
    EXPECT_TRUE(driver.calls.empty());  // queueing sends nothing
}

// Whatever the preamble and the mix of operations, both encodings move MDC
// and MDIO through the same edges with the same levels, and declare the same
// replies.
TEST_F(FastModes, CompactAndPlainEncodingsMakeTheSameWaveform) {
    const std::vector<Queue> operations{
        [](Engine& e) { e.queueRead(kPhy, 1, 0x8001); },
        [](Engine& e) { e.queueWrite(kPhy, 30, 0x0000, 0xFFFE); },  // a write ending in 0
        [](Engine& e) { e.queueWrite(kPhy, 7, 0xFFFF, 0x0001); },
        [](Engine& e) { e.queueReadC22(kPhy, 31); },
        [](Engine& e) { e.queueWriteC22(kPhy, 0, 0xA5A5); },
        [](Engine& e) { e.queueReadBurst(kPhy, 3, 0x0010, 3); },
        [](Engine& e) { e.queueRead(kPhy, 31, 0x0000); },
    };
    for (const std::uint8_t preamble : {32, 9, 1, 0}) {
        Engine plain(&device);
        Engine compact(&device);
        compact.setCompactEncoding(true);
        plain.setWirePreamble(kPhy, preamble);
        compact.setWirePreamble(kPhy, preamble);
        for (const Queue& queue : operations) {
            queue(plain);
            queue(compact);
        }
        const auto plainWave = pinWaveform(plain.queueOf(kPhy).commandBytes());
        const auto compactWave = pinWaveform(compact.queueOf(kPhy).commandBytes());
        ASSERT_FALSE(plainWave.edges.empty());
        EXPECT_EQ(plainWave.edges, compactWave.edges) << "preamble " << int{preamble};
        EXPECT_EQ(plain.queueOf(kPhy).replySlots(), compact.queueOf(kPhy).replySlots());
        EXPECT_LT(compact.queueOf(kPhy).commandBytes().size(),
                  plain.queueOf(kPhy).commandBytes().size() / 2);
    }
}

// The plain final idle raises MDC and MDIO together: after a write whose last
// bit is 0 that rising edge has no setup. Once a fast mode is on, MDIO is
// settled before every rising edge, and the plain bytes come back with the
// plain settings.
TEST_F(FastModes, FastModesEndEveryTransferWithMdioSettledBeforeMdcRises) {
    noSyncDue();
    const auto lastTransfer = [&] {
        engine.queueWrite(kPhy, 1, 0x0002, 0x1234);
        engine.queueRead(kPhy, 1, 0x0002);
        engine.queueWrite(kPhy, 1, 0x0002, 0xFFF0);
        driver.queueReply(hex("00 12 34"));
        engine.execute(kPhy);
        return driver.writes().back();
    };
    const auto minimumSetup = [](const testing_support::Bytes& stream) {
        const auto setups = pinWaveform(stream).setupAtRisingEdges;
        return *std::min_element(setups.begin(), setups.end());
    };

    const testing_support::Bytes plain = lastTransfer();
    EXPECT_EQ(toHex(plain).substr(toHex(plain).size() - 11), "87 80 03 03");
    EXPECT_EQ(minimumSetup(plain), 0);

    struct Setting {
        const char* what;
        std::function<void()> apply;
    };
    const std::vector<Setting> fast{
        {"compact encoding", [&] { engine.setCompactEncoding(true); }},
        {"suppressed preamble", [&] { engine.setWirePreamble(kPhy, 0); }},
        {"a short preamble on another PHY of the bus", [&] { engine.setWirePreamble(31, 31); }},
    };
    for (const Setting& setting : fast) {
        setting.apply();
        const testing_support::Bytes stream = lastTransfer();
        const std::string text = toHex(stream);
        EXPECT_EQ(text.substr(text.size() - 26), "80 02 03 13 00 80 80 03 03") << setting.what;
        EXPECT_GE(minimumSetup(stream), 1) << setting.what;
        engine.setCompactEncoding(false);
        engine.setWirePreamble(kPhy, 32);
        engine.setWirePreamble(31, 32);
        EXPECT_EQ(lastTransfer(), plain) << setting.what;
    }

    // A burst is no setting to turn off: from the first one on, every
    // transfer ends cleanly.
    engine.queueReadBurst(kPhy, 1, 0, 2);
    driver.queueReply(hex("02 00 01 02 00 00"));
    EXPECT_EQ(engine.execute(kPhy), (FTDI::Values{1, 0}));
    const std::string burst = toHex(driver.writes().back());
    EXPECT_EQ(burst.substr(burst.size() - 29), "87 80 02 03 13 00 80 80 03 03");
    EXPECT_GE(minimumSetup(lastTransfer()), 1);
}

TEST_F(FastModes, BurstIsOneAddressFrameThenPostIncrementReadsWithValuesInQueueOrder) {
    noSyncDue();
    engine.setWirePreamble(kPhy, 0);
    engine.queueReadC22(kPhy, 1);
    const std::size_t before = engine.queueOf(kPhy).commandBytes().size();
    engine.queueReadBurst(kPhy, 1, 0x0102, 3);
    const std::string queuedText = queued(engine).substr(3 * before);
    const std::string postIncrementRead =
        " 80 02 03 80 00 03 13 01 00 13 01 80 13 04 28 13 04 08" + kReadTail;
    EXPECT_EQ(queuedText,
              "80 02 03 80 00 03 13 01 00 13 01 00 13 04 28 13 04 08 13 01 80 11 01 00 "
              "01 02" +
                  postIncrementRead + postIncrementRead + postIncrementRead);
    engine.queueRead(kPhy, 1, 0x0200);
    driver.queueReply(hex("02 79 6D 02 00 01 02 00 02 02 00 03 02 AA BB"));
    EXPECT_EQ(engine.execute(kPhy), (FTDI::Values{0x796D, 1, 2, 3, 0xAABB}));
    EXPECT_EQ(driver.count("FT_Write"), 1u);
}

// A burst travels whole: one that would not fit behind what is queued sends
// that first, and a refused count queues nothing.
TEST_F(FastModes, BurstThatWouldNotFitSendsTheQueueFirstAndBadCountsQueueNothing) {
    noSyncDue();
    constexpr std::uint32_t kReadsBefore = 855;  // 76 bytes each: 64980
    constexpr std::uint32_t kBurstReads = 20;    // 38 bytes a frame, one more for the address
    for (std::uint32_t i = 0; i < kReadsBefore; ++i) {
        engine.queueRead(kPhy, 1, 0);
        driver.queueReply({0x02, 0x00, static_cast<std::uint8_t>(i)});
    }
    engine.queueReadBurst(kPhy, 1, 0, kBurstReads);
    ASSERT_EQ(driver.writes().size(), 1u);
    EXPECT_EQ(driver.writes()[0].size(), kReadsBefore * 76 + 4);
    EXPECT_EQ(engine.queueOf(kPhy).commandBytes().size(), (kBurstReads + 1) * 38);

    for (std::uint32_t i = 0; i < kBurstReads; ++i)
        driver.queueReply({0x02, 0x01, static_cast<std::uint8_t>(i)});
    const FTDI::Values values = engine.execute(kPhy);
    ASSERT_EQ(values.size(), kReadsBefore + kBurstReads);
    EXPECT_EQ(values[kReadsBefore - 1], (kReadsBefore - 1) & 0xFF);
    EXPECT_EQ(values[kReadsBefore], 0x0100u);
    EXPECT_EQ(values.back(), 0x0100u + kBurstReads - 1);

    for (const std::uint32_t count : {0u, FTDI::K8::kMaxBurstReads + 1}) {
        EXPECT_THROW(engine.queueReadBurst(kPhy, 1, 0, count), std::invalid_argument);
        EXPECT_TRUE(engine.queueOf(kPhy).commandBytes().empty());
        EXPECT_TRUE(engine.queueOf(kPhy).replySlots().empty());
    }
    EXPECT_THROW(engine.queueReadBurst(32, 1, 0, 1), std::runtime_error);
}

TEST_F(FastModes, CompactEncodingSends2000Clause45ReadsInOneWriteAndOneRead) {
    noSyncDue();
    engine.setCompactEncoding(true);
    constexpr std::uint32_t kReads = 2000;
    for (std::uint32_t i = 0; i < kReads; ++i) {
        engine.queueRead(kPhy, 1, static_cast<std::uint16_t>(i));
        driver.queueReply({0x02, static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)});
    }
    const FTDI::Values values = engine.execute(kPhy);
    EXPECT_EQ(driver.operations(), (std::vector<std::string>{"FT_Write", "FT_Read"}));
    EXPECT_EQ(driver.writes()[0].size(), kReads * 30 + 1 + 9);  // send immediate, clean end
    ASSERT_EQ(values.size(), kReads);
    EXPECT_EQ(values[1999], 1999u);
}
