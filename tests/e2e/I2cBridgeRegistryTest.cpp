// MDIO and 32-bit registers of the bench's PHYs reached through the I2C-to-
// MDIO bridge on a K8 board's I2C bus, queued in batches, and a plain 32-bit
// register device in raw mode.
#include <gtest/gtest.h>

#include <string>

#include "SimulatedBench.h"
#include "mdiohost.h"
#include "mdiosim/Bench.h"
#include "registry/TalvikControl.h"

namespace {

constexpr std::uint32_t kBridge = 0x10;
constexpr std::uint32_t kRegisters = 0x21;

class I2cBridge : public testing::Test {
  protected:
    void SetUp() override {
        mdiosim::BenchDescription description = mdiosim::defaultBenchDescription();
        mdiosim::I2cDeviceDescription registers;
        registers.kind = mdiosim::I2cDeviceKind::Registers32;
        registers.address = kRegisters;
        registers.registers32 = {{0x100, 0xCAFEF00D}};
        description.boards[0].i2cDevices.push_back(registers);
        testing_support::useSimulatedBench();
        mdiosim::resetBench(description);
        adapter = testing_support::openOnBench("K8A00001:I2C");
    }
    void TearDown() override { HW_Close(); }

    static std::string failure() { return testing_support::recordedFailure(); }
    static mdiosim::Board& board() { return mdiosim::bench()->board("K8A00001"); }
    static mdiosim::Phy& phy0() { return board().phy(0); }

    TalvikControl& control = registry();
    std::uint32_t adapter = 0;
};

}  // namespace

TEST_F(I2cBridge, RegistersReadAndWrittenInBatches) {
    EXPECT_EQ(control.read(adapter, kBridge, 1, 2), 0x7C0Au);  // PMA/PMD identifier 1

    phy0().setClause45(7, 0x0010, 0x0A0B);
    board().clearI2cTraffic();
    control.blockRead(adapter, kBridge, 1, 3);
    control.blockWrite(adapter, kBridge, 30, 0xC47C, 0xBEEF);
    control.blockRead(adapter, kBridge, 7, 0x0010);
    control.blockRead(adapter, kBridge, 30, 0xC47C);
    const std::uint32_t* values = control.blockOperationExecute(adapter, kBridge);
    ASSERT_NE(values, nullptr) << failure();
    ASSERT_EQ(HW_BlockReadQueueSize(), 3u);
    EXPECT_EQ(values[0], 0x4C21u);
    EXPECT_EQ(values[1], 0x0A0Bu);
    EXPECT_EQ(values[2], 0xBEEFu);
    EXPECT_EQ(phy0().clause45(30, 0xC47C), 0xBEEF);
    // A write is two bridge transactions (set the address, write), a read
    // three (set the address, op byte, repeated START and two bytes in).
    const auto traffic = board().i2cTraffic();
    ASSERT_EQ(traffic.size(), 3u + 2u + 3u + 3u);
    EXPECT_EQ(traffic[4], (mdiosim::I2cTransfer{kBridge, false, true, {0x3E, 0xEF, 0xBE}}));
    EXPECT_EQ(traffic[7], (mdiosim::I2cTransfer{kBridge, true, true, {0x0B, 0x0A}}));
    EXPECT_EQ(failure(), "");
}

TEST_F(I2cBridge, Registers32ThroughTheBridgeHalves) {
    control.write32(adapter, kBridge, 0x000200, 0x12345678);
    EXPECT_EQ(phy0().register32(0x000200), 0x12345678u);
    phy0().setRegister32(0x000300, 0xA1B2C3D4);
    control.blockRead32(adapter, kBridge, 0x000300);
    control.blockRead32(adapter, kBridge, 0x000000);
    const std::uint32_t* values = control.blockOperationExecute(adapter, kBridge);
    ASSERT_NE(values, nullptr) << failure();
    EXPECT_EQ(values[0], 0xA1B2C3D4u);
    EXPECT_EQ(values[1], 0x7C0A4C21u);
    EXPECT_EQ(failure(), "");
}

TEST_F(I2cBridge, RawModeTalksToA32BitRegisterDevice) {
    HW_SetDeviceParameters(adapter, 0, 1);
    EXPECT_EQ(control.read32(adapter, kRegisters, 0x100), 0xCAFEF00Du);
    control.write32(adapter, kRegisters, 0x104, 0x01020304);
    EXPECT_EQ(board().findI2cDevice(kRegisters)->register32(0x104), 0x01020304u);
    EXPECT_EQ(control.read32(adapter, kRegisters, 0x104), 0x01020304u);
    EXPECT_EQ(failure(), "");
}
