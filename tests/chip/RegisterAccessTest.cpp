// The register access exports: which accesses take no path at all, where an
// adapter-qualified PHY id goes and how it is traced, the multi-adapter
// write, the default PHY id, and bad input.
#include <string>
#include <vector>

#include "ChipFixture.h"

using Frames = std::vector<std::string>;

namespace {

// The handle each FT_Write went to, in order.
std::vector<std::uint64_t> writeHandles(const testing_support::ScriptedDriver& driver) {
    std::vector<std::uint64_t> handles;
    for (const auto& call : driver.calls)
        if (call.operation == "FT_Write") handles.push_back(call.arguments.at(0));
    return handles;
}

}  // namespace

TEST_F(ChipTest, PlainAccessesAreTracedAndMmd10And28AreNotAccessedByTheHwFunctions) {
    openBoards();
    HW_SetDelegationType(2, 0, 1);  // HW_Read does not honour type 2
    HW_Write(0, 2, 0x1E, 0x1234, 0xAB);
    answer({0x0BAD});
    EXPECT_EQ(HW_Read(0, 2, 1, 0x0007), 0x0BADu);
    for (const std::uint32_t mmd : {10u, 28u}) {
        EXPECT_EQ(HW_Read(0, 2, mmd, 0x8101), 0u);
        HW_Write(0, 2, mmd, 0x0001, 5);
    }
    EXPECT_EQ(accesses(), (Frames{"W,1E,1234,00AB", "R,01,0007"}));
    EXPECT_EQ(records(), "0,2,MW,1E,1234,00AB\n0,2,MR,01,0007,0BAD\n");
}

TEST_F(ChipTest, QualifiedPhyIdReachesItsAdapterButIsTracedAsGiven) {
    openBoards(3);
    const std::uint32_t qualified = 0x80020005;  // adapter 2, PHY 5
    ZM_API_MDIO_Write(qualified, 1, 2, 3);
    HW_Write(2, 5, 1, 2, 3);
    const auto handles = writeHandles(driver);
    ASSERT_EQ(handles.size(), 2u);
    EXPECT_EQ(handles[0], handles[1]) << "the qualified write must go to adapter 2";
    EXPECT_EQ(accesses(true), (Frames{"P,5", "W,01,0002,0003", "P,5", "W,01,0002,0003"}));
    EXPECT_EQ(records(),
              "0," + std::to_string(qualified) + ",MW,01,0002,0003\n2,5,MW,01,0002,0003\n");
}

TEST_F(ChipTest, BridgePathsPassAQualifiedPhyIdOnUnchangedAndGoOnAfterFailures) {
    openBoards(3);
    const std::uint32_t qualified = 0x80020005;
    const std::string phy = std::to_string(qualified);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ZM_API_MDIO_Read(qualified, 27, 0x42), 0u);
    const std::string errors = testing::internal::GetCapturedStderr();
    // Every step was refused by the registry and traced with 0; none reached a board.
    EXPECT_TRUE(driver.calls.empty());
    // Writes meet the registry's bound, reads the engine's, which comes first for them.
    EXPECT_EQ(recorded(), "OLD0B: Phy id, " + phy + ", out of range: min = 0, max = 31");
    EXPECT_EQ(records(), "0," + phy + ",MW,1E,A10B,0000\n0," + phy + ",MW,1E,A110,0001\n0," + phy +
                             ",MW,1E,A108,0042\n0," + phy + ",MR,1E,A109,0000\n0," + phy +
                             ",MR,1E,A111,0000\n");
    EXPECT_NE(errors.find("Error: OLD0B: PHY ID invalid: 128\n"), std::string::npos) << errors;
}

TEST_F(ChipTest, WriteMultiWalksAdapters0And1ThenSkipsTwo) {
    openBoards(6);
    const std::uint32_t phys[] = {7, 8, 9, 10};
    ZM_API_MDIO_Write_Multi(phys, 4, 1, 0x0010, 0x00FF);
    EXPECT_EQ(records(),
              "0,7,MW,01,0010,00FF\n"
              "1,8,MW,01,0010,00FF\n"
              "4,9,MW,01,0010,00FF\n"
              "5,10,MW,01,0010,00FF\n");
    EXPECT_EQ(HW_GetDefaultAdapter(), 5u);
    EXPECT_EQ(HW_Fail(), 0);
}

TEST_F(ChipTest, WriteMultiWithoutAnArrayIsARecordedFailure) {
    openBoards();
    ZM_API_MDIO_Write_Multi(nullptr, 0, 1, 0, 0);
    EXPECT_EQ(HW_Fail(), 0) << "nothing to write is no failure";
    testing::internal::CaptureStderr();
    ZM_API_MDIO_Write_Multi(nullptr, 3, 1, 0, 0);
    const std::string echoed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(recorded(), "ZM_API_MDIO_Write_Multi: no PHY id array for 3 entries (null pointer)");
    EXPECT_EQ(echoed, "Error: " + recorded() + "\n");
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_EQ(HW_GetDefaultAdapter(), 0u);
}
