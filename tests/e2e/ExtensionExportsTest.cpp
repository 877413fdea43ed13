// The extension entry points that language bindings call instead of the C++
// I2C exports and the throwing 32-bit block functions, on the default
// simulated bench: the same transactions as the classic forms, and every bad
// call a recorded -1 with nothing sent and nothing queued lost.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "OpenDefaultAdapters.h"
#include "SimulatedBench.h"
#include "mdiohost.h"
#include "mdiohost_ext.h"
#include "mdiosim/Bench.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class ExtensionExports : public OpenDefaultAdapters {};

}  // namespace

TEST_F(ExtensionExports, I2cBuffersCarryTheSameTransactionsAsTheVectorExports) {
    const Bytes write{0x40, 'b', 'u', 'f'};  // EEPROM pointer 0x40, then the data
    EXPECT_EQ(mdiohost_i2c_write(i2c, 0x50, write.data(), 4), 0);
    EXPECT_EQ(k8().findI2cDevice(0x50)->byte(0x41), 'u');

    Bytes data(3, 0);
    EXPECT_EQ(mdiohost_i2c_read(i2c, 0x50, 0x40, 1, data.data(), 3), 0);
    EXPECT_EQ(data, Bytes({'b', 'u', 'f'}));
    const auto traffic = k8().i2cTraffic();
    EXPECT_EQ(traffic.back(), (mdiosim::I2cTransfer{0x50, true, true, {'b', 'u', 'f'}}));

    // A register length above four sends four bytes, as the engine does for
    // the C++ export: the EEPROM takes the first as its pointer, stores the
    // rest, and the read goes on from there.
    EXPECT_EQ(mdiohost_i2c_read(i2c, 0x50, 0x04030201, 300, data.data(), 1), 0);
    const auto pointerWrite = *(k8().i2cTraffic().end() - 2);
    EXPECT_EQ(pointerWrite, (mdiosim::I2cTransfer{0x50, false, true, {1, 2, 3, 4}}));
    EXPECT_EQ(data[0], k8().findI2cDevice(0x50)->byte(4));
    EXPECT_EQ(failure(), "");
}

TEST_F(ExtensionExports, BadI2cCallsFailWithNothingSentAndTheBufferUntouched) {
    std::array<std::uint8_t, 4> buffer{0x55, 0x55, 0x55, 0x55};
    const std::string noRawI2c =
        ": no raw I2C on this adapter (only K8 adapters whose protocol is I2C have it).";
    struct Case {
        const char* what;
        std::function<int()> call;
        std::string failure;
    };
    const Case cases[] = {
        {"null write buffer", [&] { return mdiohost_i2c_write(i2c, 0x50, nullptr, 2); },
         "I2C write of 2 bytes with no buffer (null pointer)."},
        {"null read buffer", [&] { return mdiohost_i2c_read(i2c, 0x50, 0, 1, nullptr, 1); },
         "I2C read of 1 bytes with no buffer (null pointer)."},
        {"oversized write", [&] { return mdiohost_i2c_write(i2c, 0x50, buffer.data(), 65536); },
         "I2C write of 65536 bytes refused; at most 65535 go in one transfer."},
        {"oversized read", [&] { return mdiohost_i2c_read(i2c, 0x50, 0, 1, buffer.data(), 65536); },
         "I2C read of 65536 bytes refused; at most 65535 go in one transfer."},
        {"MDIO adapter", [&] { return mdiohost_i2c_read(mdio, 0x50, 0, 1, buffer.data(), 4); },
         "K8A00001:MDIO" + noRawI2c},
        {"older family", [&] { return mdiohost_i2c_write(older, 0x50, buffer.data(), 2); },
         "TV00001B" + noRawI2c},
        {"no such adapter", [&] { return mdiohost_i2c_read(99, 0x50, 0, 1, buffer.data(), 4); },
         "Device not found/in use: <index 99>"},
    };
    const std::size_t trafficBefore = k8().i2cTraffic().size();
    for (const Case& c : cases) {
        HW_Initialize();
        EXPECT_EQ(c.call(), -1) << c.what;
        EXPECT_EQ(failure(), c.failure) << c.what;
    }
    EXPECT_EQ(k8().i2cTraffic().size(), trafficBefore);
    EXPECT_EQ(buffer, (std::array<std::uint8_t, 4>{0x55, 0x55, 0x55, 0x55}));
}

TEST_F(ExtensionExports, I2cAcknowledgedTellsWhetherTheLastTransferWasAnswered) {
    EXPECT_EQ(mdiohost_i2c_acknowledged(i2c), 0);  // no transfer yet
    // 0x50 is the board's EEPROM; nothing answers at 0x33. Each case runs
    // after a transfer with the other answer (an empty write, which is no
    // failure), so a stale result shows.
    std::array<std::uint8_t, 2> buffer{0x00, 0x00};
    struct Case {
        const char* what;
        std::function<int()> transfer;
        int acknowledged;
    };
    const Case cases[] = {
        {"write to the EEPROM", [&] { return mdiohost_i2c_write(i2c, 0x50, buffer.data(), 2); }, 1},
        {"write to an empty address",
         [&] { return mdiohost_i2c_write(i2c, 0x33, buffer.data(), 2); }, 0},
        {"read from the EEPROM",
         [&] { return mdiohost_i2c_read(i2c, 0x50, 0, 1, buffer.data(), 2); }, 1},
        {"read from an empty address",
         [&] { return mdiohost_i2c_read(i2c, 0x33, 0, 1, buffer.data(), 2); }, 0},
        {"address-only read from the EEPROM",
         [&] { return mdiohost_i2c_read(i2c, 0x50, 0, 0, buffer.data(), 1); }, 1},
        {"address-only read from an empty address",
         [&] { return mdiohost_i2c_read(i2c, 0x33, 0, 0, buffer.data(), 1); }, 0},
    };
    for (const Case& c : cases) {
        const std::uint8_t other = c.acknowledged == 1 ? 0x33 : 0x50;
        ASSERT_EQ(mdiohost_i2c_write(i2c, other, nullptr, 0), 0) << c.what;
        ASSERT_EQ(mdiohost_i2c_acknowledged(i2c), 1 - c.acknowledged) << c.what;
        EXPECT_EQ(c.transfer(), 0) << c.what;
        EXPECT_EQ(mdiohost_i2c_acknowledged(i2c), c.acknowledged) << c.what;
        // Asking sends nothing and asking again gives the same answer.
        const std::size_t trafficBefore = k8().i2cTraffic().size();
        EXPECT_EQ(mdiohost_i2c_acknowledged(i2c), c.acknowledged) << c.what;
        EXPECT_EQ(k8().i2cTraffic().size(), trafficBefore) << c.what;
    }
    EXPECT_EQ(failure(), "");

    // Adapters without raw I2C have no answer to give.
    EXPECT_EQ(mdiohost_i2c_acknowledged(mdio), -1);
    EXPECT_EQ(failure(),
              "K8A00001:MDIO: no raw I2C on this adapter (only K8 adapters whose protocol is I2C "
              "have it).");
}

TEST_F(ExtensionExports, Queued32BitAccessesWithAStatusInsteadOfAnException) {
    k8().phy(3).setRegister32(0x100, 0xCAFEF00D);
    EXPECT_EQ(mdiohost_block_write32(mdio, 3, 0x104, 0x12345678), 0);
    EXPECT_EQ(mdiohost_block_read32(mdio, 3, 0x100), 0);
    EXPECT_EQ(mdiohost_block_read32(mdio, 3, 0x104), 0);

    // Failures on the way leave the queue as it is.
    struct Case {
        const char* what;
        std::function<int()> call;
        std::string failure;
    };
    const Case cases[] = {
        {"read, no such adapter", [] { return mdiohost_block_read32(99, 3, 0); },
         "Device not found/in use: <index 99>"},
        {"write, invalid PHY", [&] { return mdiohost_block_write32(mdio, 32, 0, 1); },
         "K8A00001: Phy id, 32, out of range: min = 0, max = 31"},
        {"write, closed adapter", [&] { return mdiohost_block_write32(older, 1, 0, 1); },
         "Device not found/in use: <index " + std::to_string(older) + ">"},
    };
    ASSERT_EQ(HW_CloseAdapter(older), 1u);
    for (const Case& c : cases) {
        HW_Initialize();
        EXPECT_EQ(c.call(), -1) << c.what;
        EXPECT_EQ(failure(), c.failure) << c.what;
    }

    HW_Initialize();
    const auto* values = reinterpret_cast<const std::uint32_t*>(
        static_cast<std::uintptr_t>(HW_BlockOperationExecuteAdapter(mdio, 3)));
    ASSERT_NE(values, nullptr) << failure();
    ASSERT_EQ(HW_BlockReadQueueSize(), 2u);
    EXPECT_EQ(values[0], 0xCAFEF00Du);
    EXPECT_EQ(values[1], 0x12345678u);
    EXPECT_EQ(failure(), "");
}
