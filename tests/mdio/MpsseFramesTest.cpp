// MPSSE MDIO frames, byte for byte, and the execute that sends them and
// decodes the replies.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Hex.h"
#include "ScriptedDriver.h"
#include "api/Exceptions.h"
#include "ftdi/Device.h"
#include "mdio/MdioFramePieces.h"
#include "mdio/MpsseFrames.h"

using namespace FTDI::MdioFrames;
using testing_support::hex;
using testing_support::toHex;

namespace {

const std::string kPreamble32 = "13 07 FF 13 07 FF 13 07 FF 13 07 FF";

struct FrameCase {
    const char* what;
    std::function<std::int32_t(FTDI::Bytes&, FTDI::Values&)> build;
    std::string bytes;
    FTDI::Values replySizes;
};

}  // namespace

TEST(MpsseFrames, EveryFrameKindByteForByte) {
    const std::vector<FrameCase> cases{
        {"Clause 45 address, device 1, register AB CD",
         [](auto& c, auto& r) { return appendClause45Frame(0, 32, 0, 1, 0xABCD, c, r); },
         "80 02 03" + kPreamble32 +
             "80 00 03 13 01 00 13 01 00 13 04 00 13 04 08 13 01 80 11 01 00 AB CD",
         {}},
        {"Clause 45 write of 12 34, port 33 wraps to 1",
         [](auto& c, auto& r) { return appendClause45Frame(1, 32, 33, 1, 0x1234, c, r); },
         "80 02 03" + kPreamble32 +
             "80 00 03 13 01 00 13 01 40 13 04 08 13 04 08 13 01 80 11 01 00 12 34",
         {}},
        {"Clause 45 read, no preamble, port 3, device 30",
         [](auto& c, auto& r) { return appendClause45Frame(3, 0, 3, 30, 0xFFFF, c, r); },
         "80 02 03 80 00 03 13 01 00 13 01 C0 13 04 18 13 04 F0 80 00 01 22 01 20 01 00",
         {3}},
        {"Clause 45 post-increment read, 9-bit preamble",
         [](auto& c, auto& r) { return appendClause45Frame(2, 9, 0, 7, 0, c, r); },
         "80 02 03 13 07 FF 13 00 FF 80 00 03 13 01 00 13 01 80 13 04 00 13 04 38 "
         "80 00 01 22 01 20 01 00",
         {3}},
        {"Clause 22 read of register 1 at PHY 3",
         [](auto& c, auto& r) { return appendClause22Frame(2, 32, 3, 1, 0, c, r); },
         "80 02 03" + kPreamble32 +
             "80 00 03 13 01 40 13 01 80 13 04 18 13 04 08 80 00 01 22 01 20 01 00",
         {3}},
        {"Clause 22 write at PHY 31, register 31",
         [](auto& c, auto& r) { return appendClause22Frame(1, 0, 31, 31, 0xBEEF, c, r); },
         "80 02 03 80 00 03 13 01 40 13 01 40 13 04 F8 13 04 F8 13 01 80 11 01 00 BE EF",
         {}},
        {"Clause 22 op 3 takes the write path",
         [](auto& c, auto& r) { return appendClause22Frame(3, 0, 0, 0, 0x0102, c, r); },
         "80 02 03 80 00 03 13 01 40 13 01 C0 13 04 00 13 04 00 13 01 80 11 01 00 01 02",
         {}},
        {"32-bit write of DE AD BE EF at 00 01 23 45, PHY 2",
         [](auto& c, auto& r) {
             return appendRegister32Frame(4, 0, 2, 0x00012345, 0xDEADBEEF, c, r);
         },
         "80 02 03 80 00 03 13 01 40 13 01 00 13 04 10 13 02 80 "
         "11 01 00 00 01 13 00 00 11 01 00 23 45 13 01 80 "
         "11 01 00 DE AD 13 00 00 11 01 00 BE EF",
         {}},
        {"32-bit read at an address: the read turnaround follows the address",
         [](auto& c, auto& r) { return appendRegister32Frame(0, 0, 1, 0xCAFEF00D, 0x5555, c, r); },
         "80 02 03 80 00 03 13 01 40 13 01 00 13 04 08 13 02 00 "
         "11 01 00 CA FE 13 00 00 11 01 00 F0 0D 80 00 01 22 01 20 01 00 22 00 20 01 00",
         {6}},
        {"32-bit read at the pre-incremented address",
         [](auto& c, auto& r) { return appendRegister32Frame(1, 0, 1, 0x1111, 0, c, r); },
         "80 02 03 80 00 03 13 01 40 13 01 00 13 04 08 13 02 20 80 00 01 22 01 20 01 00 22 00 20 "
         "01 00",
         {6}},
        {"32-bit read at the current address",
         [](auto& c, auto& r) { return appendRegister32Frame(2, 0, 1, 0, 0, c, r); },
         "80 02 03 80 00 03 13 01 40 13 01 00 13 04 08 13 02 40 80 00 01 22 01 20 01 00 22 00 20 "
         "01 00",
         {6}},
        {"32-bit write at the pre-incremented address",
         [](auto& c, auto& r) { return appendRegister32Frame(5, 0, 1, 0x2222, 0x01020304, c, r); },
         "80 02 03 80 00 03 13 01 40 13 01 00 13 04 08 13 02 A0 "
         "13 01 80 11 01 00 01 02 13 00 00 11 01 00 03 04",
         {}},
        {"32-bit write at the current address",
         [](auto& c, auto& r) { return appendRegister32Frame(6, 0, 1, 0, 0x01020304, c, r); },
         "80 02 03 80 00 03 13 01 40 13 01 00 13 04 08 13 02 C0 "
         "13 01 80 11 01 00 01 02 13 00 00 11 01 00 03 04",
         {}},
    };
    for (const FrameCase& frame : cases) {
        SCOPED_TRACE(frame.what);
        FTDI::Bytes commands{0xEE};  // frames append after what is queued
        FTDI::Values replySizes{6};
        EXPECT_EQ(frame.build(commands, replySizes), 0);
        EXPECT_EQ(toHex(commands), toHex(hex("EE " + frame.bytes)));
        FTDI::Values expectedSizes{6};
        expectedSizes.insert(expectedSizes.end(), frame.replySizes.begin(), frame.replySizes.end());
        EXPECT_EQ(replySizes, expectedSizes);
    }
}

TEST(MpsseFrames, PreambleLimits) {
    FTDI::Bytes commands;
    FTDI::Values replySizes;
    // 64 bits: eight full groups; with a 32-bit write at an address that is
    // the largest frame there is.
    ASSERT_EQ(appendRegister32Frame(4, 64, 0, 0, 0, commands, replySizes), 0);
    EXPECT_EQ(commands.size(), kLargestFrameBytes);
    EXPECT_EQ(toHex({commands.begin(), commands.begin() + 30}),
              "80 02 03 13 07 FF 13 07 FF 13 07 FF 13 07 FF 13 07 FF 13 07 FF 13 07 FF 13 07 FF 80 "
              "00 03");

    testing::internal::CaptureStdout();
    EXPECT_EQ(appendClause45Frame(3, 65, 0, 0, 0, commands, replySizes), -1);
    EXPECT_EQ(appendClause22Frame(2, 255, 0, 0, 0, commands, replySizes), -1);
    EXPECT_EQ(appendRegister32Frame(0, 65, 0, 0, 0, commands, replySizes), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "The preamble value 65 is invalid. Valid values are between 0 && 64.\n"
              "The preamble value 255 is invalid. Valid values are between 0 && 64.\n"
              "The preamble value 65 is invalid. Valid values are between 0 && 64.\n");
    EXPECT_EQ(commands.size(), kLargestFrameBytes);
    EXPECT_TRUE(replySizes.empty());
}

namespace {

class ExecuteFrames : public testing::Test {
  protected:
    testing_support::ScriptedDriver& driver = testing_support::installScriptedDriver();
    FTDI::Device device{"FT1:MDIO", "FT1", "K8U MDIO"};
    FTDI::Bytes commands;
    FTDI::Values replySizes;
};

}  // namespace

TEST_F(ExecuteFrames, WritesOnlyEndIdleWithoutSendImmediateAndReadNothing) {
    appendClause22Frame(1, 0, 0, 0, 0x1234, commands, replySizes);
    const FTDI::Bytes frame = commands;
    EXPECT_TRUE(executeFrames(device, commands, replySizes).empty());
    ASSERT_EQ(driver.operations(), (std::vector<std::string>{"FT_Write"}));
    FTDI::Bytes expected = frame;
    expected.insert(expected.end(), {0x80, 0x03, 0x03});
    EXPECT_EQ(toHex(driver.writes()[0]), toHex(expected));
    EXPECT_TRUE(commands.empty());
}

TEST_F(ExecuteFrames, MixedRepliesDecodeInQueueOrderFromOneRead) {
    appendClause45Frame(3, 0, 0, 1, 0, commands, replySizes);
    appendRegister32Frame(0, 0, 0, 0x10, 0, commands, replySizes);
    appendClause22Frame(2, 0, 0, 2, 0, commands, replySizes);
    driver.queueReply(hex("02 12 34  00 DE AD 01 BE EF  03 FF FE"));
    EXPECT_EQ(executeFrames(device, commands, replySizes),
              (FTDI::Values{0x1234, 0xDEADBEEF, 0xFFFE}));
    ASSERT_EQ(driver.operations(), (std::vector<std::string>{"FT_Write", "FT_Read"}));
    const FTDI::Bytes written = driver.writes()[0];
    EXPECT_EQ(toHex({written.end() - 4, written.end()}), "87 80 03 03");
    EXPECT_EQ(driver.calls[1].arguments[1], 12u);  // all replies asked for at once
    EXPECT_TRUE(commands.empty());
    EXPECT_TRUE(replySizes.empty());
}

TEST_F(ExecuteFrames, EmptyQueueMakesNoDriverCall) {
    EXPECT_TRUE(executeFrames(device, commands, replySizes).empty());
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(ExecuteFrames, InvalidReplySizeGivesZeroAndDecodingGoesOn) {
    commands = {0x00};
    replySizes = {3, 4, 3};
    driver.queueReply(hex("00 11 22 00 33 44 00 00 00 00"));
    testing::internal::CaptureStdout();
    EXPECT_EQ(executeFrames(device, commands, replySizes), (FTDI::Values{0x1122, 0, 0x3344}));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Invalid MDIO read count!\n");
}

TEST_F(ExecuteFrames, FailuresKeepWhatIsNeededToTryAgain) {
    appendClause22Frame(2, 0, 0, 2, 0, commands, replySizes);
    const std::size_t frameBytes = commands.size();
    driver.failNext("FT_Write", FTDI::D2xx::kIoError);
    EXPECT_THROW(executeFrames(device, commands, replySizes), FTDI::Exceptions::DeviceConnection);
    EXPECT_EQ(commands.size(), frameBytes + kTrailerBytes);
    EXPECT_EQ(replySizes, FTDI::Values{3});

    commands.resize(frameBytes);
    driver.failNext("FT_Read", FTDI::D2xx::kIoError);
    EXPECT_THROW(executeFrames(device, commands, replySizes), FTDI::Exceptions::DeviceConnection);
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(replySizes, FTDI::Values{3});
}
