// GPIO pins of K8 boards without status LEDs: both layouts, the pin
// commands, and the texts of every refusal.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

#include "Failure.h"
#include "Hex.h"
#include "ScriptedDriver.h"
#include "boards/GpioPins.h"
#include "boards/K8Device.h"
#include "boards/LED_None.h"

using testing_support::hex;
using testing_support::toHex;

using testing_support::failureOf;

namespace {

class GpioPins : public testing::Test {
  protected:
    testing_support::ScriptedDriver& driver = testing_support::installScriptedDriver();

    // An opened board without LEDs: afterBringUp makes its GPIO pins.
    std::unique_ptr<FTDI::K8::Device> board(const std::string& name) {
        auto device = std::make_unique<FTDI::K8::Device>(name, "S1", "K8D MDIO", "MDIO");
        device->leds = std::make_unique<FTDI::K8::LED_None>(device.get());
        device->handle = reinterpret_cast<FTDI::D2xx::Handle>(std::uintptr_t{0x1000});
        device->afterBringUp();
        return device;
    }
};

}  // namespace

TEST_F(GpioPins, AaLayoutSetsItsOutputsWithWholeBytes) {
    auto device = board("aA1:MDIO");  // any case of "aa"
    const std::vector<std::tuple<std::uint8_t, std::uint8_t, std::string>> steps{
        {13, 1, "82 22 E2"}, {9, 0, "82 20 E2"},  {5, 1, "80 23 73"}, {5, 7, "80 23 73"},
        {5, 0, "80 03 73"},  {15, 1, "82 A0 E2"}, {4, 1, "80 13 73"}, {6, 1, "80 53 73"},
    };
    EXPECT_EQ(toHex(driver.written()), "82 02 E2");  // the layout's high byte at opening
    for (const auto& [pin, level, bytes] : steps) {
        driver.forget();
        EXPECT_TRUE(device->setPin(pin, level));
        EXPECT_EQ(toHex(driver.written()), bytes) << "pin " << int{pin} << " level " << int{level};
    }
}

TEST_F(GpioPins, RefusedSetsSendNothing) {
    auto plain = board("BAA1");
    auto aa = board("AA1");
    EXPECT_EQ(toHex(driver.writes()[0]), "82 00 00");  // the default layout's high byte
    driver.forget();
    for (unsigned pin : {0u, 1u, 2u, 16u, 255u}) {
        EXPECT_EQ(failureOf([&] { plain->setPin(static_cast<std::uint8_t>(pin), 1); }),
                  "Invalid pin number")
            << pin;
    }
    for (unsigned pin = 3; pin <= 15; ++pin) {
        EXPECT_EQ(failureOf([&] { plain->setPin(static_cast<std::uint8_t>(pin), 1); }),
                  "This pin isn't set as output.")
            << pin;
    }
    EXPECT_EQ(failureOf([&] { aa->setPin(8, 1); }), "This pin isn't set as output.");
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(GpioPins, ReadingTakesBothBytesAndPicksThePin) {
    auto device = board("B1");
    for (const auto& [pin, reply, expected] : std::vector<std::tuple<int, std::string, int>>{
             {9, "00 02", 1}, {9, "FF FD", 0}, {0, "01 00", 1}, {15, "FF 7F", 0}}) {
        driver.forget();
        driver.queueReply(hex(reply));
        std::uint8_t level = 0xAA;
        EXPECT_TRUE(device->getPin(static_cast<std::uint8_t>(pin), level));
        EXPECT_EQ(level, expected) << "pin " << pin << " reply " << reply;
        EXPECT_EQ(driver.written(), hex("81 83"));
    }
    // No level exists past pin 15: refused before anything is sent.
    driver.forget();
    std::uint8_t level = 0xAA;
    EXPECT_EQ(failureOf([&] { device->getPin(16, level); }), "Invalid pin number");
    EXPECT_TRUE(driver.calls.empty());
}

// The fault table checks the text of every failing read and write; here, what
// a failed write leaves for the next one.
TEST_F(GpioPins, FailedWriteKeepsItsLevelForTheNextWrite) {
    auto device = board("AA1");
    driver.failNext("FT_Write", FTDI::D2xx::kIoError);
    EXPECT_EQ(failureOf([&] { device->setPin(13, 1); }), "FTDI Write Error");
    driver.forget();
    device->setPin(9, 1);  // the level remembered from the failed write goes out now
    EXPECT_EQ(toHex(driver.written()), "82 22 E2");
}
