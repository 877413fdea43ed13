// The engine base: PHY id bounds, per-PHY preambles, clearing every queue.
#include <gtest/gtest.h>

#include <stdexcept>

#include "Failure.h"
#include "boards/Device.h"
#include "mdio/K8MDIO.h"
#include "mdio/MDIO.h"

TEST(EngineBase, PhyIdBoundIsInclusive) {
    FTDI::Device device("FT99", "FT99", "");
    const struct {
        std::uint32_t highest, phyId;
        const char* failure;
    } rows[] = {
        {31, 31, "no failure"},
        {31, 32, "FT99: Phy id, 32, out of range: min = 0, max = 31"},
        {127, 127, "no failure"},
        {127, 128, "FT99: Phy id, 128, out of range: min = 0, max = 127"},
    };
    for (const auto& row : rows) {
        FTDI::MDIO engine(&device, row.highest);
        EXPECT_EQ(testing_support::failureOf([&] { engine.checkPhyId(row.phyId); }), row.failure);
    }
}

TEST(EngineBase, PreamblesArePerPhyAndClearAllReachesTheHighestPhy) {
    FTDI::Device device("S", "S", "");
    FTDI::MDIO engine(&device, 31);
    engine.setPreamble(5, 0);
    EXPECT_EQ(engine.preamble(5), 0);
    EXPECT_EQ(engine.preamble(31), 32);
    EXPECT_THROW(engine.setPreamble(32, 1), std::runtime_error);
    // Fills queues through the K8 engine, which has the same PHY range.
    FTDI::K8::MDIO k8(&device);
    for (std::uint32_t phy : {0u, 17u, 31u})
        k8.queueRead(phy, 1, 2);
    k8.clearAll();
    for (std::uint32_t phy = 0; phy <= 31; ++phy) {
        EXPECT_TRUE(k8.queueOf(phy).queuedCommands().empty() &&
                    k8.queueOf(phy).replySlots().empty())
            << phy;
    }
}
