// MPSSE MDIO frames byte for byte, and the execute that sends them. The
// engine tests cover the frame of every operation and the decode of mixed
// replies; these cover what the engine does not vary: preamble lengths,
// operation codes, field masking, write-only transfers and failures.
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

TEST(MpsseFrames, FramesByteForByte) {
    struct Case {
        std::function<std::int32_t(FTDI::Bytes&, FTDI::Values&)> build;
        std::string bytes;
        FTDI::Values replySizes;
    };
    // clang-format off
    const std::vector<Case> cases{
        // post-increment read with a 9-bit preamble: a full group and a 1-bit group
        {[](auto& c, auto& r) { return appendClause45Frame(2, 9, 0, 7, 0, c, r); },
         "80 02 03 13 07 FF 13 00 FF 80 00 03 13 01 00 13 01 80 13 04 00 13 04 38 80 00 01 22 01 20 01 00", {3}},
        // Clause 22 op 3 takes the write path; PHY 33 and register 63 keep their low 5 bits
        {[](auto& c, auto& r) { return appendClause22Frame(3, 0, 33, 63, 0x0102, c, r); },
         "80 02 03 80 00 03 13 01 40 13 01 C0 13 04 08 13 04 F8 13 01 80 11 01 00 01 02", {}},
        // 32-bit write of DE AD BE EF at 00 01 23 45, PHY 2
        {[](auto& c, auto& r) { return appendRegister32Frame(4, 0, 2, 0x00012345, 0xDEADBEEF, c, r); },
         "80 02 03 80 00 03 13 01 40 13 01 00 13 04 10 13 02 80 11 01 00 00 01 13 00 00 11 01 00 23 45 "
         "13 01 80 11 01 00 DE AD 13 00 00 11 01 00 BE EF", {}},
    };
    // clang-format on
    for (const Case& frame : cases) {
        FTDI::Bytes commands{0xEE};  // frames append after what is queued
        FTDI::Values replySizes{6};
        EXPECT_EQ(frame.build(commands, replySizes), 0);
        EXPECT_EQ(toHex(commands), toHex(hex("EE " + frame.bytes)));
        FTDI::Values sizes{6};
        sizes.insert(sizes.end(), frame.replySizes.begin(), frame.replySizes.end());
        EXPECT_EQ(replySizes, sizes);
    }
}

TEST(MpsseFrames, PreambleOf64IsTheLongestAndAbove64IsRefused) {
    FTDI::Bytes commands;
    FTDI::Values replySizes;
    ASSERT_EQ(appendRegister32Frame(4, 64, 0, 0, 0, commands, replySizes), 0);
    EXPECT_EQ(commands.size(), 71u);
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
    EXPECT_EQ(commands.size(), 71u);
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

TEST_F(ExecuteFrames, WritesOnlyEndOnIdleWithoutSendImmediateAndReadNothing) {
    EXPECT_TRUE(executeFrames(device, commands, replySizes).empty());
    EXPECT_TRUE(driver.calls.empty());  // nothing queued: no transfer at all

    appendClause22Frame(1, 0, 0, 0, 0x1234, commands, replySizes);
    const std::string frame = toHex(commands);
    EXPECT_TRUE(executeFrames(device, commands, replySizes).empty());
    EXPECT_EQ(driver.operations(), (std::vector<std::string>{"FT_Write"}));
    EXPECT_EQ(toHex(driver.writes()[0]), frame + " 80 03 03");
    EXPECT_TRUE(commands.empty());
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
    EXPECT_EQ(commands.size(), frameBytes + 4);  // the trailer stays
    EXPECT_EQ(replySizes, FTDI::Values{3});

    driver.failNext("FT_Read", FTDI::D2xx::kIoError);
    EXPECT_THROW(executeFrames(device, commands, replySizes), FTDI::Exceptions::DeviceConnection);
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(replySizes, FTDI::Values{3});
}
