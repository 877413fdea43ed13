// 32-bit exports: which are guarded and which let the registry's exception
// reach the host, and the widths that always refuse.
#include <functional>
#include <string>
#include <vector>

#include "ChipFixture.h"
#include "Failure.h"

using testing_support::failureOf;

TEST_F(ChipTest, RefusedWidthsThrowTheirOwnMessage) {
    openBoards();
    const std::vector<std::pair<std::function<void()>, std::string>> cases{
        {[] { HW_API_Write8(0, 0, 0); }, "ZM_API_Write8"},
        {[] { HW_API_Write16(0, 0, 0); }, "ZM_API_Write16"},
        {[] { HW_API_Read8(0, 0); }, "ZM_API_Read8"},
        {[] { HW_API_Read16(0, 0); }, "ZM_API_Read16"},
        {[] { HW_API_Write64(0, 0, 0); }, "ZM_API_Write64"},
        {[] { HW_API_Read64(0, 0); }, "ZM_API_Read64"},
        {[] { HW_Write8(0, 0, 0, 0); }, "HW_Write8"},
        {[] { HW_Write16(0, 0, 0, 0); }, "HW_Write16"},
        {[] { HW_Read8(0, 0, 0); }, "HW_Read8"},
        {[] { HW_Read16(0, 0, 0); }, "HW_Read16"},
        {[] { HW_Write64(0, 0, 0, 0); }, "HW_Write64"},
        {[] { HW_Read64(0, 0, 0); }, "HW_Read64"},
        {[] { HW_BlockRead64Adapter(0, 0, 0); }, "HW_BlockRead64Adapter"},
        {[] { HW_BlockRead64(0, 0); }, "HW_BlockRead64Adapter"},
        {[] { ZM_API_BlockRead64(0, 0); }, "HW_BlockRead64Adapter"},
        {[] { HW_BlockWrite64Adapter(0, 0, 0, 0); }, "HW_BlockWrite64Adapter"},
        {[] { HW_BlockWrite64(0, 0, 0); }, "HW_BlockWrite64Adapter"},
        {[] { ZM_API_BlockWrite64(0, 0, 0); }, "HW_BlockWrite64Adapter"},
    };
    for (const auto& [call, name] : cases)
        EXPECT_EQ(failureOf(call), "Error: " + name + "() is not supported.");
    EXPECT_EQ(HW_Fail(), 0);
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(ChipTest, Guarded32BitAccessesRecordAndStillTrace) {
    // The older board family has no 32-bit frames: every read comes back empty.
    openBoards();
    testing::internal::CaptureStderr();
    EXPECT_EQ(HW_Read32(0, 1, 0x123), 0u);
    HW_Write32(7, 1, 0x123, 0xDEADBEEF);
    EXPECT_EQ(HW_Read32CurrentAddress(0, 1), 0u);
    EXPECT_EQ(HW_Read32PreIncrementAddress(0, 1), 0u);
    HW_Write32CurrentAddress(7, 1, 1);
    HW_Write32PreIncrementAddress(0, 200, 1);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(recorded(), "OLD0B: DEV ID invalid: 128");
    EXPECT_EQ(records(), "0,1,MR,000123,00000000\n7,1,MW,000123,DEADBEEF\n");
}

TEST_F(ChipTest, Unguarded32BitAccessesThrowAndDoNotTrace) {
    openBoards();
    EXPECT_EQ(failureOf([] { HW_API_Read32(1, 0x10); }), "Error: No values read, expected one.");
    EXPECT_EQ(failureOf([] { HW_API_Write32(0x80070001, 0x10, 1); }),
              "Device not found/in use: <index 7>");
    EXPECT_EQ(failureOf([] { HW_BlockWrite32Adapter(0, 200, 0x10, 1); }),
              "OLD0B: DEV ID invalid: 128");
    HW_SetDefaultAdapter(9);
    EXPECT_EQ(failureOf([] { ZM_API_BlockRead32(1, 0x10); }), "Device not found/in use: <index 9>");
    EXPECT_EQ(HW_Fail(), 0);
    EXPECT_EQ(records(), "");
    // Queued 32-bit operations that the registry accepts are traced.
    HW_SetDefaultAdapter(0);
    HW_BlockRead32(1, 0x5);
    ZM_API_BlockWrite32(1, 0x1000000, 2);
    EXPECT_EQ(records(), "0,1,AR,,05,\n0,1,AW,1000000,00000002\n");
}
