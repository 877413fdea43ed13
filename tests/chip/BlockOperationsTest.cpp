// Block operations: what is queued and traced, what one execute returns, and
// the MMD 11 and 27 writes that empty the queue before their bridge runs.
#include <string>
#include <vector>

#include "ChipFixture.h"

using Frames = std::vector<std::string>;

namespace {

const std::uint32_t* valuesAt(std::uint64_t address) {
    return reinterpret_cast<const std::uint32_t*>(static_cast<std::uintptr_t>(address));
}

class Blocks : public ChipTest {
  protected:
    void SetUp() override { openBoards(2); }
};

}  // namespace

TEST_F(Blocks, QueuedReadsComeBackInQueueOrderWithTheirTrace) {
    HW_BlockRead(0, 1, 0x10);
    ZM_API_MDIO_BlockRead(0, 1, 0x11);
    HW_BlockWriteAdapter(0, 0, 1, 0x12, 5);
    HW_BlockRead(0, 28, 0x10);  // MMD 10 and 28 are never queued
    HW_BlockWrite(0, 10, 0x10, 1);
    ZM_API_MDIO_BlockWrite(0, 28, 0x10, 1);
    EXPECT_TRUE(driver.calls.empty()) << "queuing sends nothing";
    answer({0x1111, 0x2222});
    const std::uint64_t result = HW_BlockOperationExecuteAdapter_C22(0, 0);
    ASSERT_NE(result, 0u);
    EXPECT_EQ(valuesAt(result)[0], 0x1111u);
    EXPECT_EQ(valuesAt(result)[1], 0x2222u);
    EXPECT_EQ(HW_BlockReadQueueSize(), 2u);
    EXPECT_EQ(driver.count("FT_Write"), 1u);
    EXPECT_EQ(accesses(true), (Frames{"P,0", "R,01,0010", "R,01,0011", "W,01,0012,0005"}));
    EXPECT_EQ(records(),
              "0,0,AR,01,0010,\n"
              "0,0,AR,01,0011,\n"
              "0,0,AW,01,0012,0005\n"
              "0,0,AF,,,1111\n"
              "0,0,AF,,,2222\n");
}

TEST_F(Blocks, EmptyOrFailedExecuteReturnsZeroAndTracesNothing) {
    EXPECT_EQ(HW_BlockOperationExecute(3), 0u);
    EXPECT_EQ(HW_BlockOperationExecute_C22(3), 0u);
    EXPECT_EQ(ZM_API_MDIO_BlockOperationExecute(3), 0u);
    EXPECT_EQ(HW_Fail(), 0) << "nothing queued is no failure";
    HW_BlockRead(3, 1, 0x10);
    answer({0x77});
    ASSERT_NE(HW_BlockOperationExecute(3), 0u);
    HW_BlockRead(3, 1, 0x10);
    driver.failNext("FT_Write", 4);
    testing::internal::CaptureStderr();
    EXPECT_EQ(HW_BlockOperationExecute_C22(3), 0u);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(HW_Fail(), 1);
    EXPECT_EQ(records(), "0,3,AR,01,0010,\n0,3,AR,01,0010,\n");
}

TEST_F(Blocks, Mmd27And11WritesExecuteTheQueueFirst) {
    HW_BlockRead(2, 1, 0x10);
    answer({0x1234, 0x0000});  // the queued read, then the bridge status
    testing::internal::CaptureStderr();
    HW_BlockWrite(2, 27, 0x42, 0x99);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "no queued read may be lost silently";
    EXPECT_EQ(accesses(), (Frames{"R,01,0010", "W,1E,A110,0001", "W,1E,A104,0042", "W,1E,A105,0099",
                                  "R,1E,A111"}));
    EXPECT_EQ(HW_BlockReadQueueSize(), 1u);
    EXPECT_EQ(HW_BlockOperationExecute(2), 0u) << "the queued value is not handed out later";
    // With delegation type 3 on, an MMD 11 block write goes through the mailbox.
    HW_SetDelegationType(3, 1, 1);
    driver.forget();
    answer({1});
    HW_BlockWriteAdapter(1, 2, 11, 0x2005, 0x1234);
    EXPECT_EQ(accesses(), (Frames{"W,1E,C47F,0000", "W,1E,C47C,2005", "W,1E,C47D,1234",
                                  "W,1E,C47E,020B", "R,1E,C47F"}));
    EXPECT_EQ(records().find("AW"), std::string::npos) << "bridged writes have no AW record";
}

TEST_F(Blocks, QualifiedExecuteAndTheClause22Trace) {
    const std::uint32_t qualified = 0x80010004;  // adapter 1, PHY 4
    ZM_API_MDIO_BlockRead(qualified, 1, 0x20);
    HW_BlockReadAdapter(1, 4, 1, 0x21);
    HW_EnableClause45OverClause22(0);
    answer({0xAAAA, 0xBBBB});
    const std::uint64_t result = ZM_API_MDIO_BlockOperationExecute(qualified);
    ASSERT_NE(result, 0u);
    EXPECT_EQ(valuesAt(result)[1], 0xBBBBu);
    // Unqualified, with Clause 45 over 22 on for the default adapter: AF records.
    HW_BlockRead(4, 1, 0x22);
    answer({0xCCCC});
    EXPECT_NE(ZM_API_MDIO_BlockOperationExecute(4), 0u);
    EXPECT_EQ(records(), "0," + std::to_string(qualified) +
                             ",AR,01,0020,\n1,4,AR,01,0021,\n0,4,AR,01,0022,\n0,4,AF,,,CCCC\n");
}
