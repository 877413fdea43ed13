// The engine base: per-PHY tables, PHY id bounds, clearing.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ftdi/Device.h"
#include "mdio/MDIO.h"

namespace {

std::string phyIdFailure(FTDI::MDIO& engine, std::uint32_t phyId) {
    try {
        engine.checkPhyId(phyId);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "accepted";
}

}  // namespace

TEST(EngineBase, NewEngineHasOneEmptyQueuePerPhy) {
    FTDI::Device device("S", "S", "");
    FTDI::MDIO engine(&device, 31);
    EXPECT_EQ(engine.commands.size(), 32u);
    EXPECT_EQ(engine.replySizes.size(), 32u);
    EXPECT_EQ(engine.savedResults.size(), 32u);
    EXPECT_EQ(engine.preambles, std::vector<std::uint8_t>(32, 32));
    EXPECT_EQ(engine.deviceParameter, 0u);
    EXPECT_FALSE(engine.autoFlushing);
}

TEST(EngineBase, PhyIdBoundIsInclusive) {
    FTDI::Device device("FT99", "FT99", "");
    FTDI::MDIO k8(&device, 31);
    EXPECT_EQ(phyIdFailure(k8, 31), "accepted");
    EXPECT_EQ(phyIdFailure(k8, 32), "FT99: Phy id, 32, out of range: min = 0, max = 31");
    EXPECT_EQ(phyIdFailure(k8, 40), "FT99: Phy id, 40, out of range: min = 0, max = 31");

    FTDI::MDIO bridged(&device, 127);
    EXPECT_EQ(phyIdFailure(bridged, 127), "accepted");
    EXPECT_EQ(phyIdFailure(bridged, 128), "FT99: Phy id, 128, out of range: min = 0, max = 127");
}

TEST(EngineBase, ClearAllReachesTheHighestPhy) {
    FTDI::Device device("S", "S", "");
    FTDI::MDIO engine(&device, 31);
    for (std::uint32_t phy : {0u, 17u, 31u}) {
        engine.commands[phy] = {1, 2, 3};
        engine.replySizes[phy] = {3};
        engine.savedResults[phy] = {0x1234};
    }
    engine.clearAll();
    for (std::uint32_t phy = 0; phy <= 31; ++phy) {
        EXPECT_TRUE(engine.commands[phy].empty());
        EXPECT_TRUE(engine.replySizes[phy].empty());
        EXPECT_TRUE(engine.savedResults[phy].empty());
    }
}

TEST(EngineBase, DefaultOperationsQueueNothing) {
    FTDI::Device device("S", "S", "");
    FTDI::MDIO engine(&device, 31);
    engine.queueWrite(1, 1, 2, 3);
    engine.queueRead(1, 1, 2);
    engine.queueWriteC22(1, 2, 3);
    engine.queueReadC22(1, 2);
    engine.queueWrite32(1, 2, 3);
    engine.queueRead32(1, 2);
    engine.queueWrite32PreIncrementAddress(1, 2);
    engine.queueWrite32CurrentAddress(1, 2);
    engine.queueRead32PreIncrementAddress(1);
    engine.queueRead32CurrentAddress(1);
    EXPECT_TRUE(engine.execute(1).empty());
    EXPECT_TRUE(engine.commands[1].empty());
    EXPECT_TRUE(engine.replySizes[1].empty());
}

TEST(EngineBase, PreambleIsPerPhyAndChecked) {
    FTDI::Device device("S", "S", "");
    FTDI::MDIO engine(&device, 31);
    engine.setPreamble(5, 0);
    EXPECT_EQ(engine.preambles[5], 0);
    EXPECT_EQ(engine.preambles[4], 32);
    EXPECT_THROW(engine.setPreamble(32, 1), std::runtime_error);
}
