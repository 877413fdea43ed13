// MPSSE MDIO frames byte for byte. The engine tests cover the frame of every
// operation; these cover what the engine does not vary: preamble lengths,
// operation codes, field masking, and the reply slot each read declares.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Hex.h"
#include "mdio/MdioFramePieces.h"
#include "mdio/MpsseFrames.h"

using namespace FTDI::MdioFrames;
using FTDI::Mpsse::ReplyKind;
using FTDI::Mpsse::ReplySlot;
using testing_support::hex;
using testing_support::toCommands;
using testing_support::toHex;

TEST(MpsseFrames, FramesByteForByte) {
    struct Case {
        std::function<std::int32_t(CommandQueue&)> build;
        std::string bytes;
        std::vector<ReplySlot> slots;  // after the one queued before
    };
    // clang-format off
    const std::vector<Case> cases{
        // post-increment read with a 9-bit preamble: a full group and a 1-bit group
        {[](auto& q) { return appendClause45Frame(2, 9, 0, 7, 0, q); },
         "80 02 03 13 07 FF 13 00 FF 80 00 03 13 01 00 13 01 80 13 04 00 13 04 38 80 00 01 22 01 20 01 00",
         {{ReplyKind::Mdio16, 3, 1}}},
        // Clause 22 op 3 takes the write path; PHY 33 and register 63 keep their low 5 bits
        {[](auto& q) { return appendClause22Frame(3, 0, 33, 63, 0x0102, q); },
         "80 02 03 80 00 03 13 01 40 13 01 C0 13 04 08 13 04 F8 13 01 80 11 01 00 01 02", {}},
    };
    // clang-format on
    for (const Case& frame : cases) {
        CommandQueue queue;  // frames append after what is queued
        queue.append(0xEE);
        const ReplySlot before{ReplyKind::Mdio32, 6, queue.newValue()};
        queue.expect(before);
        EXPECT_EQ(frame.build(queue), 0);
        EXPECT_EQ(toCommands(queue.queuedCommands()), toCommands(hex("EE " + frame.bytes)));
        std::vector<ReplySlot> slots{before};
        slots.insert(slots.end(), frame.slots.begin(), frame.slots.end());
        EXPECT_EQ(queue.replySlots(), slots);
    }
}

TEST(MpsseFrames, PreambleOf64IsTheLongestAndAbove64IsRefused) {
    CommandQueue queue;
    ASSERT_EQ(appendRegister32Frame(4, 64, 0, 0, 0, queue), 0);
    const FTDI::Mpsse::Bytes& commands = queue.queuedCommands();
    EXPECT_EQ(commands.size(), 71u);
    EXPECT_EQ(toHex({commands.begin(), commands.begin() + 30}),
              "80 02 03 13 07 FF 13 07 FF 13 07 FF 13 07 FF 13 07 FF 13 07 FF 13 07 FF 13 07 FF 80 "
              "00 03");

    testing::internal::CaptureStdout();
    EXPECT_EQ(appendClause45Frame(3, 65, 0, 0, 0, queue), -1);
    EXPECT_EQ(appendClause22Frame(2, 255, 0, 0, 0, queue), -1);
    EXPECT_EQ(appendRegister32Frame(0, 65, 0, 0, 0, queue), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "The preamble value 65 is invalid. Valid values are between 0 && 64.\n"
              "The preamble value 255 is invalid. Valid values are between 0 && 64.\n"
              "The preamble value 65 is invalid. Valid values are between 0 && 64.\n");
    EXPECT_EQ(commands.size(), 71u);
    EXPECT_TRUE(queue.replySlots().empty());
}
