// K8 bring-up, clock, sync check and the open/close life of a K8 adapter.
#include <gtest/gtest.h>

#include <string>
#include <typeinfo>
#include <vector>

#include "Environment.h"
#include "Hex.h"
#include "ScriptedDriver.h"
#include "api/Exceptions.h"
#include "ftdi/K8Device.h"
#include "leds/LED_None.h"
#include "mdio/K8MDIO.h"

using testing_support::hex;
using testing_support::toHex;

namespace {

class K8Device : public testing::Test {
  protected:
    testing_support::ScriptedDriver& driver = testing_support::installScriptedDriver();

    static std::unique_ptr<FTDI::K8::Device> board(const std::string& protocol) {
        auto device = std::make_unique<FTDI::K8::Device>("FT1:" + protocol, "FT1",
                                                         "K8D " + protocol, protocol);
        device->leds = std::make_unique<FTDI::K8::LED_None>(device.get());
        device->handle = reinterpret_cast<FTDI::D2xx::Handle>(std::uintptr_t{0x1000});
        return device;
    }

    // One line per driver call: its name, the arguments after the handle, and
    // the bytes written or read.
    std::vector<std::string> trace() const {
        std::vector<std::string> lines;
        for (const auto& call : driver.calls) {
            std::string line = call.operation;
            for (std::size_t i = 1; i < call.arguments.size(); ++i) {
                line += " " + std::to_string(call.arguments[i]);
            }
            if (!call.bytes.empty()) line += " [" + toHex(call.bytes) + "]";
            lines.push_back(line);
        }
        return lines;
    }

    // The bytes of every write after the device information was asked for.
    std::vector<std::string> writesAfterDeviceInfo() const {
        std::vector<std::string> writes;
        bool after = false;
        for (const auto& call : driver.calls) {
            after = after || call.operation == "FT_GetDeviceInfo";
            if (after && call.operation == "FT_Write") writes.push_back(toHex(call.bytes));
        }
        return writes;
    }

    static std::string failureOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const std::exception& error) {
            return error.what();
        }
        return "no failure";
    }
};

}  // namespace

TEST_F(K8Device, BringUpOfAnMdioBoardCallByCall) {
    testing_support::unsetEnvironment("MDIO_CLOCK_HZ");
    board("MDIO")->bringUp();
    EXPECT_EQ(trace(), (std::vector<std::string>{
                           "FT_ResetDevice",        "FT_SetUSBParameters 65535 65535",
                           "FT_SetChars 0 0 0 0",   "FT_SetTimeouts 0 1000",
                           "FT_SetLatencyTimer 1",  "FT_SetBitMode 0 0",
                           "FT_SetBitMode 0 2",     "FT_SetTimeouts 1000 1000",
                           "FT_StopInTask",         "FT_Purge 3",
                           "FT_RestartInTask",      "FT_Write 1 [AB]",
                           "FT_Read 2 [FA AB]",     "FT_GetDeviceInfo",
                           "FT_Write 1 [AB]",       "FT_Read 2 [FA AB]",
                           "FT_Write 3 [86 05 00]", "FT_Write 9 [8D 9E 00 00 8A 97 80 03 03]",
                           "FT_Write 1 [85]",
                       }));
}

TEST_F(K8Device, ClockAndPinSetUpByProtocolChipAndEnvironment) {
    struct Case {
        const char* protocol;
        std::uint32_t chipType;
        const char* variable;
        const char* value;  // nullptr: unset
        std::vector<std::string> writes;
        std::string warning;
    };
    const std::vector<Case> cases{
        {"MDIO",
         8,
         "MDIO_CLOCK_HZ",
         "1000000",
         {"AB", "86 1D 00", "8D 9E 00 00 8A 97 80 03 03", "85"},
         ""},
        {"MDIO",
         8,
         "MDIO_CLOCK_HZ",
         "  +2500000Hz",
         {"AB", "86 0B 00", "8D 9E 00 00 8A 97 80 03 03", "85"},
         ""},
        {"MDIO",
         8,
         "MDIO_CLOCK_HZ",
         "fast",
         {"AB", "86 05 00", "8D 9E 00 00 8A 97 80 03 03", "85"},
         "MDIO_CLOCK_HZ: value not an integer, ignored: fast\n"},
        {"MDIO",
         8,
         "MDIO_CLOCK_HZ",
         "4294967296",
         {"AB", "86 05 00", "8D 9E 00 00 8A 97 80 03 03", "85"},
         "MDIO_CLOCK_HZ: value not an integer, ignored: 4294967296\n"},
        {"MDIO",
         8,
         "MDIO_CLOCK_HZ",
         "-1",
         {"AB", "86 05 00", "8D 9E 00 00 8A 97 80 03 03", "85"},
         "MDIO_CLOCK_HZ: value not an integer, ignored: -1\n"},
        {"MDIO", 6, "MDIO_CLOCK_HZ", nullptr, {"AB", "86 05 00", "8D 8A 97 80 03 03", "85"}, ""},
        {"I2C",
         8,
         "I2C_CLOCK_HZ",
         nullptr,
         {"AB", "86 31 00", "8C 9E 07 00 8A 97 80 03 03", "85"},
         ""},
        {"I2C", 6, "I2C_CLOCK_HZ", "100000", {"AB", "86 C7 00", "8C 8A 97 80 03 03", "85"}, ""},
        {"JTAG", 8, "JTAG_CLOCK_HZ", "30000000", {"AB", "86 00 00", "8D 8A 97 80 03 03", "85"}, ""},
    };
    for (const Case& setup : cases) {
        SCOPED_TRACE(std::string(setup.protocol) + " " + (setup.value ? setup.value : "unset"));
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
        EXPECT_EQ(writesAfterDeviceInfo(), setup.writes);
    }
}

TEST(K8Clock, DivisorForRate) {
    struct Case {
        std::uint32_t rate;
        bool threePhase;
        std::uint32_t divisor;
    };
    for (const Case& clock : std::vector<Case>{{5000000, false, 5},
                                               {1000000, false, 29},
                                               {400000, false, 74},
                                               {400000, true, 49},
                                               {100, false, 299999},
                                               {0, false, 0},
                                               {0, true, 0},
                                               {29999999, false, 0},
                                               {30000000, false, 0},
                                               {2147483647, false, 0},
                                               {2147483648u, false, 0},
                                               {2147483649u, false, 29999999}}) {
        EXPECT_EQ(FTDI::K8::clockDivisor(clock.rate, clock.threePhase), clock.divisor)
            << clock.rate << (clock.threePhase ? " three-phase" : "");
    }
}

TEST_F(K8Device, SetClockSyncsThenSendsTheLow16BitsOfTheDivisor) {
    board("MDIO")->setClock(100, false);
    EXPECT_EQ(toHex(driver.written()), "AB 86 DF 93");
}

TEST_F(K8Device, BringUpFailuresNameTheAdapter) {
    using FTDI::D2xx::kIoError;
    struct Case {
        std::vector<std::pair<const char*, FTDI::D2xx::Status>> failures;
        std::string message;
    };
    const std::vector<Case> cases{
        {{{"FT_ResetDevice", kIoError}}, "FT1:MDIO: Couldn't reset: IO Error."},
        {{{"FT_SetLatencyTimer", 4}, {"FT_SetBitMode", 2}},
         "FT1:MDIO: Couldn't initialize USB: Invalid parameter."},
        {{{"FT_StopInTask", kIoError}}, "FT1:MDIO: Couldn't stop in task: IO Error."},
        {{{"FT_Purge", kIoError}}, "FT1:MDIO: Couldn't purge buffers: IO Error."},
        {{{"FT_RestartInTask", kIoError}}, "FT1:MDIO: Couldn't restart in task: IO Error."},
        {{{"FT_GetDeviceInfo", kIoError}}, "FT1:MDIO: Couldn't get the device info: IO Error."},
    };
    for (const Case& failure : cases) {
        auto device = board("MDIO");
        for (const auto& [operation, status] : failure.failures)
            driver.failNext(operation, status);
        EXPECT_EQ(failureOf([&] { device->bringUp(); }),
                  "Device Communication problem: " + failure.message);
    }
    // The settings are all made even when the first of them fails.
    driver.forget();
    driver.failNext("FT_SetUSBParameters", kIoError);
    EXPECT_ANY_THROW(board("MDIO")->bringUp());
    EXPECT_EQ(driver.count("FT_SetTimeouts"), 2u);
}

TEST_F(K8Device, SyncCheckOncePerSecondUnlessForced) {
    auto device = board("MDIO");
    device->afterBringUp();
    driver.forget();  // the GPIO pins' first write
    device->syncCheck(false, true);
    device->syncCheck(false, true);
    EXPECT_EQ(driver.count("FT_Write"), 1u);
    device->syncCheck(true, true);
    EXPECT_EQ(driver.count("FT_Write"), 2u);
    device->lastSync = *device->lastSync - std::chrono::milliseconds(1001);
    device->syncCheck(false, true);
    EXPECT_EQ(driver.count("FT_Write"), 3u);
}

TEST_F(K8Device, SyncCheckRefusesAWrongAnswerAndKeepsLastSync) {
    auto device = board("MDIO");
    driver.answerSyncProbe = false;
    driver.queueReply({0xFA, 0xAA});
    EXPECT_EQ(failureOf([&] { device->syncCheck(true, false); }),
              "Device Communication problem: FT1:MDIO: Failed to sync with FTDI chip (command)");
    EXPECT_FALSE(device->lastSync.has_value());
}

TEST_F(K8Device, SyncCheckWithoutAnMdioEngineIsABadCastBeforeAnyByte) {
    auto jtag = board("JTAG");
    jtag->afterBringUp();
    driver.forget();  // the GPIO pins' first write
    EXPECT_EQ(jtag->engine, nullptr);
    EXPECT_THROW(jtag->syncCheck(true, true), std::bad_cast);
    jtag->engine = std::make_unique<FTDI::MDIO>(jtag.get(), 31);  // not a K8 engine
    EXPECT_THROW(jtag->syncCheck(true, true), std::bad_cast);
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(K8Device, OpenAndCloseMakeAFreshEngineEachTime) {
    auto device = board("MDIO");
    device->afterBringUp();
    auto* first = dynamic_cast<FTDI::K8::MDIO*>(device->engine.get());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->maxPhyId, 31u);
    EXPECT_EQ(first->k8Device, device.get());
    first->queueReadC22(1, 1);

    driver.forget();  // the GPIO pins' first write
    device->beforeClose();
    EXPECT_EQ(device->engine, nullptr);
    EXPECT_EQ(device->handle, nullptr);
    EXPECT_EQ(trace(),
              (std::vector<std::string>{"FT_StopInTask", "FT_Purge 3", "FT_RestartInTask"}));

    driver.forget();
    device->beforeClose();  // already closed: nothing happens
    EXPECT_TRUE(driver.calls.empty());

    // A failing purge does not keep the adapter open.
    device->handle = reinterpret_cast<FTDI::D2xx::Handle>(std::uintptr_t{0x1000});
    device->afterBringUp();
    driver.failNext("FT_Purge", FTDI::D2xx::kIoError);
    device->beforeClose();
    EXPECT_EQ(device->engine, nullptr);
    EXPECT_EQ(device->handle, nullptr);
}

TEST_F(K8Device, PurgeEmptiesTheEngineQueues) {
    auto device = board("MDIO");
    device->afterBringUp();
    device->engine->queueRead(4, 1, 2);
    device->purgeBuffers();
    EXPECT_TRUE(device->engine->commands[4].empty());
    EXPECT_TRUE(device->engine->replySizes[4].empty());
}
