// The engine base: per-PHY preambles, the highest PHY id, clearing every
// queue. The I2C-bridged engine's tests check its higher bound, 127.
#include <gtest/gtest.h>

#include "Failure.h"
#include "boards/Device.h"
#include "mdio/K8MDIO.h"
#include "mdio/MDIO.h"

TEST(EngineBase, PreamblesArePerPhyUpToPhy31AndClearAllReachesIt) {
    FTDI::Device device("S", "S", "");
    FTDI::MDIO engine(&device, 31);
    engine.setPreamble(5, 0);
    EXPECT_EQ(engine.preamble(5), 0);
    EXPECT_EQ(engine.preamble(31), 32);
    EXPECT_EQ(testing_support::failureOf([&] { engine.setPreamble(32, 1); }),
              "S: Phy id, 32, out of range: min = 0, max = 31");
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
