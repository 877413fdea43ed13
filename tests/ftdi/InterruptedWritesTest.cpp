// A write that stops part-way leaves the chip inside a command; the next
// write on the same USB device (from any adapter of the board) first purges
// the chip's transmit side, once, and only then sends its own bytes. A write
// that failed before any byte went out leaves nothing to drop.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Failure.h"
#include "ScriptedDriver.h"
#include "ftdi/AdapterPort.h"
#include "ftdi/InterruptedWrites.h"

using testing_support::Bytes;
using testing_support::failureOf;
using testing_support::ScriptedDriver;
using Operations = std::vector<std::string>;

namespace {

constexpr FTDI::D2xx::Status kIoError = 4;
const char* const kWriteFailed =
    "Device Communication problem: FT1234: Error writing to the device.: IO Error.";
const char* const kStalled = "Device Communication problem: FT1234: Timed out writing data.";
const char* const kPurgeFailed =
    "Device Communication problem: FT1234: Couldn't purge buffers: IO Error.";

// A colour command and an MDIO pin command, as the LED and an engine send them.
const Bytes kColour = {0x82, 0x3E, 0x01};
const Bytes kPins = {0x80, 0x03, 0x03};

struct Row {
    const char* what;
    std::function<void(ScriptedDriver&)> script;  // how the first write fails
    const char* firstFailure;
    bool sameHandle;  // the next write goes to the same USB device
    Operations nextOperations;
};

const std::vector<Row>& rows() {
    static const std::vector<Row> table = {
        {"the opcode out, then a failure",
         [](ScriptedDriver& driver) {
             driver.writeSizes = {1};
             driver.failNext("FT_Write", FTDI::D2xx::kOk);
             driver.failNext("FT_Write", kIoError);
         },
         kWriteFailed,
         true,
         {"FT_Purge", "FT_Write"}},
        {"the opcode out, then writes that stall",
         [](ScriptedDriver& driver) { driver.writeSizes = {1, 0, 0, 0, 0, 0, 0}; },
         kStalled,
         true,
         {"FT_Purge", "FT_Write"}},
        {"a failure before any byte",
         [](ScriptedDriver& driver) { driver.failNext("FT_Write", kIoError); },
         kWriteFailed,
         true,
         {"FT_Write"}},
        {"cut short on another USB device",
         [](ScriptedDriver& driver) {
             driver.writeSizes = {2};
             driver.failNext("FT_Write", FTDI::D2xx::kOk);
             driver.failNext("FT_Write", kIoError);
         },
         kWriteFailed,
         false,
         {"FT_Write"}},
    };
    return table;
}

FTDI::D2xx::Handle handleOf(std::uintptr_t token) {
    return reinterpret_cast<FTDI::D2xx::Handle>(token);
}

}  // namespace

TEST(InterruptedWrites, TheNextWriteDropsAHalfSentCommandOnce) {
    std::uintptr_t token = 0x100;
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.what);
        ScriptedDriver& driver = testing_support::installScriptedDriver();
        // The LED's adapter and another protocol of the same board share a handle.
        FTDI::AdapterPort led{"FT1234:MDIO", "FT1234", "K8U MDIO"};
        FTDI::AdapterPort engine{"FT1234:I2C", "FT1234", "K8U MDIO"};
        led.handle = handleOf(token += 0x10);
        engine.handle = row.sameHandle ? led.handle : handleOf(token += 0x10);

        row.script(driver);
        EXPECT_EQ(failureOf([&] { led.writeBytes(kColour.data(), 3); }), row.firstFailure);
        driver.forget();

        EXPECT_EQ(failureOf([&] { engine.writeBytes(kPins.data(), 3); }), "no failure");
        EXPECT_EQ(driver.operations(), row.nextOperations);
        EXPECT_EQ(driver.writes(), std::vector<Bytes>{kPins});
        if (row.nextOperations.front() == "FT_Purge") {
            EXPECT_EQ(driver.calls.front().arguments,
                      (std::vector<std::uint64_t>{reinterpret_cast<std::uintptr_t>(engine.handle),
                                                  FTDI::D2xx::kPurgeTransmit}));
        }
        driver.forget();
        engine.writeBytes(kPins.data(), 3);
        EXPECT_EQ(driver.operations(), Operations{"FT_Write"}) << "dropped once only";
    }
}

TEST(InterruptedWrites, AFailedPurgeIsReportedAndTriedAgain) {
    ScriptedDriver& driver = testing_support::installScriptedDriver();
    FTDI::AdapterPort port{"FT1234:MDIO", "FT1234", "K8U MDIO"};
    port.handle = handleOf(0x42);
    driver.writeSizes = {1};
    driver.failNext("FT_Write", FTDI::D2xx::kOk);
    driver.failNext("FT_Write", kIoError);
    EXPECT_EQ(failureOf([&] { port.writeBytes(kColour.data(), 3); }), kWriteFailed);

    driver.failNext("FT_Purge", kIoError);
    driver.forget();
    EXPECT_EQ(failureOf([&] { port.writeBytes(kPins.data(), 3); }), kPurgeFailed);
    EXPECT_EQ(driver.operations(), Operations{"FT_Purge"})
        << "nothing sent behind the half command";

    driver.forget();
    port.writeBytes(kPins.data(), 3);
    EXPECT_EQ(driver.operations(), (Operations{"FT_Purge", "FT_Write"}));
    EXPECT_FALSE(FTDI::writeInterrupted(port.handle));
}

TEST(InterruptedWrites, MarksOfHandlesClosedBeforeTheirNextWriteDoNotPileUp) {
    // More handles than can be open at once, each cut short and never written again.
    constexpr std::uintptr_t kHandles = 65;
    for (std::uintptr_t token = 1; token <= kHandles; ++token)
        FTDI::markWriteInterrupted(handleOf(token * 0x10));
    EXPECT_FALSE(FTDI::writeInterrupted(handleOf(0x10))) << "the oldest mark is dropped";
    EXPECT_TRUE(FTDI::writeInterrupted(handleOf(0x20)));
    EXPECT_TRUE(FTDI::writeInterrupted(handleOf(kHandles * 0x10)));
}
