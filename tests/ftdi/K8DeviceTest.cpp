// K8 bring-up, clock, sync check and the open/close life of a K8 adapter.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Environment.h"
#include "Failure.h"
#include "Hex.h"
#include "ScriptedDriver.h"
#include "boards/K8Device.h"
#include "boards/LED_None.h"
#include "mdio/K8MDIO.h"

using testing_support::toHex;

using testing_support::failureOf;

namespace {

class K8Device : public testing::Test {
  protected:
    testing_support::ScriptedDriver& driver = testing_support::installScriptedDriver();

    static std::unique_ptr<FTDI::K8::Device> board(const std::string& protocol) {
        auto device = std::make_unique<FTDI::K8::Device>("FT1:" + protocol, "FT1",
                                                         "K8D " + protocol, protocol);
        device->leds = std::make_unique<FTDI::K8::LED_None>(device.get());
        device->handle = device.get();  // any non-null handle
        return device;
    }

    // Each driver call: its name, the arguments after the handle, the bytes.
    std::vector<std::string> trace() const {
        std::vector<std::string> lines;
        for (const auto& call : driver.calls) {
            std::string line = call.operation;
            for (std::size_t i = 1; i < call.arguments.size(); ++i) {
                line += ' ';  // not " " + ...: a false overlap warning of GCC 12 at -O3
                line += std::to_string(call.arguments[i]);
            }
            if (!call.bytes.empty()) line += " [" + toHex(call.bytes) + "]";
            lines.push_back(line);
        }
        return lines;
    }
};

}  // namespace

TEST_F(K8Device, BringUpOfAnMdioBoardCallByCall) {
    testing_support::unsetEnvironment("MDIO_CLOCK_HZ");
    board("MDIO")->bringUp();
    EXPECT_EQ(trace(),
              (std::vector<std::string>{
                  "FT_ResetDevice", "FT_SetUSBParameters 65535 65535", "FT_SetChars 0 0 0 0",
                  "FT_SetTimeouts 0 1000", "FT_SetLatencyTimer 1", "FT_SetBitMode 0 0",
                  "FT_SetBitMode 0 2", "FT_SetTimeouts 1000 1000", "FT_StopInTask", "FT_Purge 3",
                  "FT_RestartInTask", "FT_Write 1 [AB]", "FT_Read 2 [FA AB]", "FT_GetDeviceInfo",
                  "FT_Write 1 [AB]", "FT_Read 2 [FA AB]", "FT_Write 3 [86 05 00]",
                  "FT_Write 9 [8D 9E 00 00 8A 97 80 03 03]", "FT_Write 1 [85]"}));
}

TEST_F(K8Device, ClockAndPinSetUpByProtocolChipAndEnvironment) {
    struct Case {
        const char *protocol, *variable, *value;  // value nullptr: unset
        std::uint32_t chipType;
        std::string divisor, setup, warning;
    };
    const std::string ignored = ": value not an integer, ignored: ";
    // clang-format off
    const std::vector<Case> cases{
        {"MDIO", "MDIO_CLOCK_HZ", "1000000", 8, "86 1D 00", "8D 9E 00 00 8A 97 80 03 03", ""},
        {"MDIO", "MDIO_CLOCK_HZ", "  +2500000Hz", 8, "86 0B 00", "8D 9E 00 00 8A 97 80 03 03", ""},
        {"MDIO", "MDIO_CLOCK_HZ", "fast", 8, "86 05 00", "8D 9E 00 00 8A 97 80 03 03", "MDIO_CLOCK_HZ" + ignored + "fast\n"},
        {"MDIO", "MDIO_CLOCK_HZ", "4294967296", 8, "86 05 00", "8D 9E 00 00 8A 97 80 03 03", "MDIO_CLOCK_HZ" + ignored + "4294967296\n"},
        // A sign negates modulo 2^32: "-1" is the highest rate, the fastest clock.
        {"MDIO", "MDIO_CLOCK_HZ", " -1", 8, "86 00 00", "8D 9E 00 00 8A 97 80 03 03", ""},
        {"MDIO", "MDIO_CLOCK_HZ", "-4294967296", 8, "86 05 00", "8D 9E 00 00 8A 97 80 03 03", "MDIO_CLOCK_HZ" + ignored + "-4294967296\n"},
        {"MDIO", "MDIO_CLOCK_HZ", "- 5", 8, "86 05 00", "8D 9E 00 00 8A 97 80 03 03", "MDIO_CLOCK_HZ" + ignored + "- 5\n"},
        {"MDIO", "MDIO_CLOCK_HZ", nullptr, 6, "86 05 00", "8D 8A 97 80 03 03", ""},
        {"I2C", "I2C_CLOCK_HZ", nullptr, 8, "86 31 00", "8C 9E 07 00 8A 97 80 03 03", ""},
        {"I2C", "I2C_CLOCK_HZ", "100000", 6, "86 C7 00", "8C 8A 97 80 03 03", ""},
        {"JTAG", "JTAG_CLOCK_HZ", "30000000", 8, "86 00 00", "8D 8A 97 80 03 03", ""},
    };
    // clang-format on
    for (const Case& setup : cases) {
        driver.forget();
        driver.chipType = setup.chipType;
        if (setup.value) {
            testing_support::setEnvironment(setup.variable, setup.value);
        } else {
            testing_support::unsetEnvironment(setup.variable);
        }
        testing::internal::CaptureStderr();
        board(setup.protocol)->bringUp();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), setup.warning);
        const auto writes = driver.writes();
        ASSERT_EQ(writes.size(), 5u);
        EXPECT_EQ(toHex(writes[2]), setup.divisor)
            << setup.protocol << " " << (setup.value ? setup.value : "unset");
        EXPECT_EQ(toHex(writes[3]), setup.setup) << setup.protocol << " " << setup.chipType;
    }
}

TEST(K8Clock, DivisorForRate) {
    // clang-format off
    const std::vector<std::tuple<std::uint32_t, bool, std::uint32_t>> cases{
        // The bring-up cases show the common rates; these are the edges.
        {100, false, 299999}, {0, false, 0}, {0, true, 0}, {29999999, false, 0},
        {2147483648u, false, 0}, {2147483649u, false, 29999999},  // 2 x rate wraps around to 2
    };
    // clang-format on
    for (const auto& [rate, threePhase, divisor] : cases) {
        EXPECT_EQ(FTDI::K8::clockDivisor(rate, threePhase), divisor) << rate << " " << threePhase;
    }
}

TEST_F(K8Device, SetClockSyncsThenSendsTheLow16BitsOfTheDivisor) {
    board("MDIO")->setClock(100, false);
    EXPECT_EQ(toHex(driver.written()), "AB 86 DF 93");
}

// The fault table has the text of each failing bring-up call; here, the name
// the text gives and what happens when several settings fail.
TEST_F(K8Device, BringUpFailuresNameTheAdapter) {
    driver.failNext("FT_SetLatencyTimer", 4);
    driver.failNext("FT_SetBitMode", 2);
    EXPECT_EQ(failureOf([&] { board("MDIO")->bringUp(); }),
              "Device Communication problem: FT1:MDIO: Couldn't initialize USB: Invalid "
              "parameter.");
    // All seven settings are made even when the first fails.
    driver.forget();
    driver.failNext("FT_SetUSBParameters", 4);
    EXPECT_ANY_THROW(board("MDIO")->bringUp());
    EXPECT_EQ(driver.count("FT_SetTimeouts"), 2u);
}

TEST_F(K8Device, SyncCheckAtMostOnceASecondUnlessForced) {
    auto device = board("MDIO");
    driver.answerSyncProbe = false;
    driver.queueReply({0xFA, 0xAA});
    EXPECT_EQ(failureOf([&] { device->syncCheck(true); }),
              "Device Communication problem: FT1:MDIO: Failed to sync with FTDI chip (command)");
    EXPECT_FALSE(device->lastSync.has_value());

    driver.answerSyncProbe = true;
    device->afterBringUp();
    driver.forget();
    for (const bool force : {false, false, true})
        device->syncCheck(force);
    EXPECT_EQ(driver.count("FT_Write"), 2u);
    device->lastSync = *device->lastSync - std::chrono::milliseconds(1001);
    device->syncCheck(false);
    EXPECT_EQ(driver.count("FT_Write"), 3u);
}

TEST_F(K8Device, OpenAndCloseMakeAFreshEngineEachTime) {
    auto device = board("MDIO");
    device->afterBringUp();
    auto* engine = dynamic_cast<FTDI::K8::MDIO*>(device->engine.get());
    ASSERT_NE(engine, nullptr);
    engine->queueRead(4, 1, 2);
    device->purgeBuffers();
    EXPECT_TRUE(engine->queueOf(4).queuedCommands().empty());

    driver.forget();
    driver.failNext("FT_Purge", 4);  // a failing purge does not keep it open
    device->beforeClose();
    EXPECT_EQ(device->engine, nullptr);
    EXPECT_EQ(device->handle, nullptr);
    EXPECT_EQ(trace(), (std::vector<std::string>{"FT_StopInTask", "FT_Purge 3"}));
    device->beforeClose();  // already closed: nothing happens
    EXPECT_EQ(driver.calls.size(), 2u);
}
