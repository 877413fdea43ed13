// What a lab test program does from start to end: initialise, list, open by
// index and by name, read and write on both board families, queue a thousand
// reads and collect them with one execute, close.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "SimulatedBench.h"
#include "mdiohost.h"
#include "mdiosim/Bench.h"

namespace {

constexpr std::uint32_t kReads = 1000;

class HostSession : public testing::Test {
  protected:
    void SetUp() override {
        testing_support::useSimulatedBench();
        ASSERT_EQ(HW_Initialize(), 1u);
        ASSERT_EQ(HW_NumberOfDevices(), 4u);
        k8 = HW_DeviceNumber("k8a00001:mdio");  // names are looked up in any case
        older = HW_DeviceNumber("TV00001B");
        ASSERT_EQ(HW_Fail(), 0) << HW_Error();
    }
    static std::string failure() { return HW_Fail() ? HW_Error() : ""; }

    // Queues a thousand reads of one register and collects them.
    static bool thousandReads(std::uint32_t adapter, std::uint32_t phy, std::uint16_t expected) {
        for (std::uint32_t i = 0; i < kReads; ++i)
            HW_BlockReadAdapter(adapter, phy, 1, 2);
        const std::uint64_t address = HW_BlockOperationExecuteAdapter(adapter, phy);
        if (address == 0 || HW_BlockReadQueueSize() != kReads) return false;
        const auto* values =
            reinterpret_cast<const std::uint32_t*>(static_cast<std::uintptr_t>(address));
        for (std::uint32_t i = 0; i < kReads; ++i) {
            if (values[i] != expected) return false;
        }
        return true;
    }

    std::uint32_t k8 = 0, older = 0;
};

}  // namespace

TEST_F(HostSession, FromStartToEnd) {
    ASSERT_EQ(HW_Open("K8A00001:MDIO"), 1u) << failure();
    EXPECT_EQ(HW_GetDefaultAdapter(), k8);
    ASSERT_EQ(HW_OpenAdapter(older), 1u) << failure();

    // Single accesses of every kind are in the bench's path and batch tests.
    HW_Write_C22(k8, 2, 4, 0x01E1);
    EXPECT_EQ(HW_Read_C22(k8, 2, 4), 0x01E1u);
    HW_Write(older, 1, 7, 0x0010, 0xABCD);
    EXPECT_EQ(HW_Read(older, 1, 7, 0x0010), 0xABCDu);
    EXPECT_EQ(mdiosim::bench()->board("TV00001B").phy(1).clause45(7, 0x0010), 0xABCD);

    const std::uint16_t k8Id = mdiosim::bench()->board("K8A00001").phy(3).clause45(1, 2);
    const std::uint16_t olderId = mdiosim::bench()->board("TV00001B").phy(0).clause45(1, 2);
    EXPECT_TRUE(thousandReads(k8, 3, k8Id));
    EXPECT_TRUE(thousandReads(older, 0, olderId));
    EXPECT_EQ(failure(), "");

    HW_Close();
    EXPECT_EQ(HW_GetDefaultAdapter(), 0u);
    EXPECT_FALSE(mdiosim::bench()->board("K8A00001").isOpen());
    EXPECT_FALSE(mdiosim::bench()->board("TV00001B").isOpen());
    // Closed adapters refuse, with the index in the text.
    EXPECT_EQ(HW_Read(older, 0, 1, 2), 0u);
    EXPECT_EQ(failure(), "Device not found/in use: <index " + std::to_string(older) + ">");
}
