// Board, GPIO and I2C exports of libmdiohost.so on the default simulated
// bench: an EEPROM written and read back over the I2C bus, GPIO levels on the
// modelled pins, board registers of the older family, and every export on
// the family that lacks its service.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OpenDefaultAdapters.h"
#include "mdiohost.h"
#include "mdiosim/Bench.h"

namespace {

using Bytes = std::vector<unsigned char>;

class BoardServices : public OpenDefaultAdapters {};

Bytes text(const std::string& characters) {
    return Bytes(characters.begin(), characters.end());
}

}  // namespace

TEST_F(BoardServices, EepromWrittenAndReadBackThroughTheI2cExports) {
    EXPECT_EQ(i2c_ReadAdapter(i2c, 0x50, 0x00, 1, 12), text("K8U MDIO I2C"));

    Bytes write{0x40, 'b', 'o', 'a', 'r', 'd'};  // pointer 0x40, then the data
    i2c_WriteAdapter(i2c, 0x50, write);
    EXPECT_EQ(board("K8A00001").findI2cDevice(0x50)->byte(0x42), 'a');
    EXPECT_EQ(i2c_ReadAdapter(i2c, 0x50, 0x41, 1, 4), text("oard"));
    // A register length of 0 reads on from where the last read stopped.
    EXPECT_EQ(i2c_ReadAdapter(i2c, 0x50, 0, 0, 2), Bytes({0xFF, 0xFF}));
    EXPECT_EQ(failure(), "");

    // On the bus: a write of the pointer with its own STOP, then the read.
    const auto traffic = board("K8A00001").i2cTraffic();
    ASSERT_GE(traffic.size(), 2u);
    EXPECT_EQ(traffic[traffic.size() - 2], (mdiosim::I2cTransfer{0x50, false, true, {}}));
    EXPECT_EQ(traffic.back(), (mdiosim::I2cTransfer{0x50, true, true, {0xFF, 0xFF}}));

    // Nobody at 0x51: no acknowledge, the released line reads ones, no failure.
    EXPECT_EQ(i2c_ReadAdapter(i2c, 0x51, 0x1234, 2, 1), Bytes({0xFF}));
    EXPECT_FALSE(board("K8A00001").i2cTraffic().back().acknowledged);
    EXPECT_EQ(failure(), "");
}

TEST_F(BoardServices, GpioOutputsShowOnThePinsAndInputsReadBack) {
    // AA000001 has no status LEDs and an "aa" name: ADBUS4..6 and ACBUS1,
    // ACBUS5..7 are outputs, ACBUS1 starts high.
    const std::uint32_t aa = opened("AA000001");
    EXPECT_EQ(board("AA000001").highPins().levels & 0xE2, 0x02);

    EXPECT_EQ(HW_GpioSetAdapter(aa, 13, 1), 1u);  // ACBUS5
    EXPECT_EQ(HW_GpioSetAdapter(aa, 9, 0), 1u);   // ACBUS1
    EXPECT_EQ(HW_GpioSetAdapter(aa, 5, 1), 1u);   // ADBUS5
    EXPECT_EQ(board("AA000001").highPins().levels & 0xE2, 0x20);
    EXPECT_EQ(board("AA000001").lowPins().levels & 0x70, 0x20);

    // Inputs: pulled up, and low where something on the board pulls them.
    board("AA000001").pullPinsLow(1u << 3 | 1u << 10);
    const std::pair<int, int> inputs[] = {{3, 0}, {7, 1}, {10, 0}, {11, 1}, {9, 0}};
    for (const auto& [pin, expected] : inputs) {
        std::uint8_t level = 0x55;
        EXPECT_EQ(HW_GpioGetAdapter(aa, static_cast<std::uint8_t>(pin), &level), 1u) << failure();
        EXPECT_EQ(level, expected) << "pin " << pin;
    }
    EXPECT_EQ(failure(), "");

    EXPECT_EQ(HW_GpioSetAdapter(aa, 8, 1), 0u);
    EXPECT_EQ(failure(), "This pin isn't set as output.");
    EXPECT_EQ(HW_GpioGetAdapter(aa, 3, nullptr), 0u);
    EXPECT_EQ(failure(), "AA000001: GPIO pin 3 read with no place for the level (null pointer).");
}

TEST_F(BoardServices, BoardRegistersOfTheOlderFamily) {
    // The older-family adapter, opened last, is the default adapter.
    EXPECT_EQ(Board_ReadAdapter(older, 0), 0x54u);
    EXPECT_EQ(Board_Read(1), 0x13u);
    Board_WriteAdapter(older, 0x107, 0x1A5);  // low 8 bits of each
    Board_Write(8, 0x3C);
    EXPECT_EQ(board("TV00001B").boardRegister(7), 0xA5);
    EXPECT_EQ(board("TV00001B").boardRegister(8), 0x3C);
    EXPECT_EQ(Board_ReadAdapter(older, 7), 0xA5u);
    EXPECT_EQ(failure(), "");
}

TEST_F(BoardServices, EachExportOnTheFamilyWithoutItsService) {
    ASSERT_EQ(HW_SetDefaultAdapter(mdio), 1u);  // K8U: status LEDs, no GPIO
    Bytes bytes{0x00, 0x01};
    std::uint8_t level = 0x55;

    // GPIO and I2C where they do not exist: the empty result, nothing recorded.
    EXPECT_EQ(HW_GpioSetAdapter(older, 13, 1), 0u);
    EXPECT_EQ(HW_GpioGetAdapter(older, 13, &level), 0u);
    EXPECT_EQ(HW_GpioSetAdapter(mdio, 13, 1), 0u);
    EXPECT_EQ(HW_GpioGetAdapter(mdio, 13, &level), 0u);
    EXPECT_EQ(level, 0x55);
    EXPECT_TRUE(i2c_ReadAdapter(older, 0x50, 0, 1, 4).empty());
    EXPECT_TRUE(i2c_ReadAdapter(mdio, 0x50, 0, 1, 4).empty());
    i2c_WriteAdapter(older, 0x50, bytes);
    i2c_WriteAdapter(mdio, 0x50, bytes);
    EXPECT_EQ(board("K8A00001").findI2cDevice(0x50)->byte(0), 'K');
    EXPECT_EQ(HW_Fail(), 0);

    // Board registers on a K8 adapter: a failure each time.
    EXPECT_EQ(Board_Read(0), 0u);  // the default adapter is the MDIO one
    EXPECT_EQ(failure(), "std::bad_cast");
    HW_Initialize();
    Board_WriteAdapter(mdio, 7, 1);
    EXPECT_EQ(failure(), "std::bad_cast");
    HW_Initialize();
    EXPECT_EQ(Board_ReadAdapter(mdio, 7), 0u);
    EXPECT_EQ(failure(), "std::bad_cast");

    // A closed adapter: the index text.
    HW_Initialize();
    ASSERT_EQ(HW_CloseAdapter(older), 1u);
    EXPECT_EQ(Board_ReadAdapter(older, 0), 0u);
    EXPECT_EQ(failure(), "Device not found/in use: <index " + std::to_string(older) + ">");
}
