// Board, GPIO and I2C exports on the scripted driver: each service on the
// family that has it, and exactly the result of each export on the other
// family (a recorded failure for board registers, a silent empty result for
// GPIO and I2C).
#include <functional>
#include <string>
#include <vector>

#include "Hex.h"
#include "RegistryFixture.h"

using testing_support::hex;
using testing_support::toHex;

namespace {

class BoardDispatch : public RegistryTest {
  protected:
    void SetUp() override {
        // No board with LEDs: a blink thread would write colours at any time.
        driver.addDevice("K8S", "K8D MDIO");
        driver.addDevice("K8I", "K8D I2C");
        driver.addDevice("OLD1B", "older board");
        ASSERT_EQ(HW_Initialize(), 1u);
        ASSERT_EQ(HW_NumberOfDevices(), 3u);
        ASSERT_EQ(std::string(HW_Device(kMdio)), "K8S");
        ASSERT_EQ(std::string(HW_Device(kI2c)), "K8I");
        for (std::uint32_t adapter : {kMdio, kI2c, kOld})
            ASSERT_EQ(HW_OpenAdapter(adapter), 1u);
        driver.forget();
    }
    static constexpr std::uint32_t kI2c = 0, kMdio = 1, kOld = 2;  // in serial order

    // What one export call left behind: its failure text ("" for none) and
    // what it echoed on standard error.
    struct Outcome {
        std::string recorded;
        std::string echoed;
    };
    static Outcome run(const std::function<void()>& call) {
        HW_Initialize();
        testing::internal::CaptureStderr();
        call();
        return {recorded(), testing::internal::GetCapturedStderr()};
    }
};

}  // namespace

TEST_F(BoardDispatch, EachExportOnTheOtherFamily) {
    std::uint8_t level = 0x55;
    std::vector<unsigned char> bytes{1, 2};
    struct Row {
        const char* what;
        std::function<bool()> callIsEmpty;  // true when the result is the empty one
        bool failure;
    };
    const std::vector<Row> rows{
        {"Board_Read, default adapter K8",
         [] {
             HW_SetDefaultAdapter(kMdio);
             return Board_Read(2) == 0;
         },
         true},
        {"Board_Write, default adapter K8",
         [] {
             HW_SetDefaultAdapter(kI2c);
             Board_Write(2, 3);
             return true;
         },
         true},
        {"Board_ReadAdapter on K8", [] { return Board_ReadAdapter(kI2c, 2) == 0; }, true},
        {"Board_WriteAdapter on K8",
         [] {
             Board_WriteAdapter(kMdio, 2, 3);
             return true;
         },
         true},
        {"HW_GpioSetAdapter on the older family", [] { return HW_GpioSetAdapter(kOld, 5, 1) == 0; },
         false},
        {"HW_GpioGetAdapter on the older family",
         [&] { return HW_GpioGetAdapter(kOld, 5, &level) == 0 && level == 0x55; }, false},
        {"HW_GpioGetAdapter, null level, older family",
         [] { return HW_GpioGetAdapter(kOld, 5, nullptr) == 0; }, false},
        {"i2c_ReadAdapter on the older family",
         [] { return i2c_ReadAdapter(kOld, 0x50, 0, 1, 2).empty(); }, false},
        {"i2c_WriteAdapter on the older family",
         [&] {
             i2c_WriteAdapter(kOld, 0x50, bytes);
             return true;
         },
         false},
        {"i2c_ReadAdapter on a K8 MDIO adapter",
         [] { return i2c_ReadAdapter(kMdio, 0x50, 0, 1, 2).empty(); }, false},
        {"i2c_WriteAdapter on a K8 MDIO adapter",
         [&] {
             i2c_WriteAdapter(kMdio, 0x50, bytes);
             return true;
         },
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        bool empty = false;
        const Outcome outcome = run([&] { empty = row.callIsEmpty(); });
        EXPECT_TRUE(empty);
        if (row.failure) {
            EXPECT_EQ(outcome.recorded, "std::bad_cast");
            EXPECT_EQ(outcome.echoed, "Error: std::bad_cast\n");
        } else {
            EXPECT_EQ(outcome.recorded, "");
            EXPECT_EQ(outcome.echoed, "");
        }
    }
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(BoardDispatch, ClosedOrUnknownAdaptersAreRecordedAndEchoed) {
    ASSERT_EQ(HW_CloseAdapter(kOld), 1u);
    std::uint8_t level = 0;
    const std::vector<std::pair<std::string, std::function<void()>>> calls{
        {"<index 2>", [] { Board_ReadAdapter(kOld, 2); }},
        {"<index 2>", [] { HW_GpioSetAdapter(kOld, 5, 1); }},
        {"<index 9>", [&] { HW_GpioGetAdapter(9, 5, &level); }},
        {"<index 9>", [] { i2c_ReadAdapter(9, 0x50, 0, 1, 1); }},
    };
    for (const auto& [index, call] : calls) {
        const Outcome outcome = run(call);
        EXPECT_EQ(outcome.recorded, "Device not found/in use: " + index);
        EXPECT_EQ(outcome.echoed, "Error: Device not found/in use: " + index + "\n");
    }
}

TEST_F(BoardDispatch, BoardRegistersUseTheLowByteOfRegisterAndValue) {
    HW_SetDefaultAdapter(kOld);
    Board_WriteAdapter(kOld, 0x107, 0x1FF);
    Board_Write(0x03, 0x42);
    driver.queueReply(hex("11 A5 22"));
    EXPECT_EQ(Board_ReadAdapter(kOld, 0x102), 0xA5u);
    driver.queueReply(hex("11 5A 22"));
    EXPECT_EQ(Board_Read(0x04), 0x5Au);
    EXPECT_EQ(driver.writes(),
              (std::vector<testing_support::Bytes>{hex("C0 07 00 FF 00"), hex("C0 03 00 42 00"),
                                                   hex("E0 02 00 00 00"), hex("E0 04 00 00 00")}));
    EXPECT_EQ(HW_Fail(), 0);
}

TEST_F(BoardDispatch, GpioExportsReachThePinsOrRecordWhy) {
    std::uint8_t level = 7;
    driver.queueReply(hex("00 02"));
    EXPECT_EQ(HW_GpioGetAdapter(kMdio, 9, &level), 1u);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(toHex(driver.written()), "81 83");

    driver.forget();
    Outcome outcome = run([] { EXPECT_EQ(HW_GpioSetAdapter(kMdio, 4, 1), 0u); });
    EXPECT_EQ(outcome.recorded, "This pin isn't set as output.");
    EXPECT_EQ(outcome.echoed, "Error: This pin isn't set as output.\n");
    outcome = run([] { EXPECT_EQ(HW_GpioGetAdapter(kMdio, 9, nullptr), 0u); });
    EXPECT_EQ(outcome.recorded, "K8S: GPIO pin 9 read with no place for the level (null pointer).");
    outcome = run([&] { EXPECT_EQ(HW_GpioGetAdapter(kI2c, 16, &level), 0u); });
    EXPECT_EQ(outcome.recorded, "Invalid pin number");
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(BoardDispatch, RawI2cExportsOnAnI2cAdapter) {
    std::vector<unsigned char> bytes{0x01, 0x02};
    driver.queueReply(hex("00 00 00"));
    i2c_WriteAdapter(kI2c, 0x150, bytes);  // the address's low 8 bits: 0x50
    ASSERT_FALSE(driver.writes().empty());
    EXPECT_EQ(driver.writes().back()[3 * 8 + 3], 0xA0);  // after START, the address byte

    driver.queueReply(hex("00 00 00 00 11 22 33"));
    EXPECT_EQ(i2c_ReadAdapter(kI2c, 0x50, 0x1234, 2, 3),
              (std::vector<unsigned char>{0x11, 0x22, 0x33}));
    EXPECT_EQ(HW_Fail(), 0);
}
