// The MPSSE stream decoder: where each command ends, what the chip answers,
// and the names a failed comparison prints.
#include <gtest/gtest.h>

#include "Hex.h"
#include "mpsse/MpsseStream.h"

using FTDI::Mpsse::commandAt;
using FTDI::Mpsse::describeStream;
using testing_support::hex;

TEST(StreamDecoder, CommandLengthsAndRepliesAtEveryKindOfOpcode) {
    const struct {
        const char* bytes;
        std::size_t length;  // 0: cut short
        unsigned replyBytes;
        bool known;
    } rows[] = {
        {"80 02 03", 3, 0, true},           // pins: two operands
        {"80 02", 0, 0, false},             // an operand still to come
        {"81", 1, 1, true},                 // read pins: one reply byte
        {"13 07 FF", 3, 0, true},           // bits out: count, one data byte
        {"13 07", 0, 0, false},             // its data byte still to come
        {"22 01", 2, 1, true},              // bits in: one reply byte
        {"11 01 00 AB CD", 5, 0, true},     // two bytes out
        {"11 01 00 AB", 0, 0, false},       // the second byte still to come
        {"20 01 00", 3, 2, true},           // two bytes in
        {"31 02 00 01 02 03", 6, 3, true},  // three bytes out and in
        {"87", 1, 0, true},
        {"AB", 1, 2, false},  // unknown: FA AB comes back
    };
    for (const auto& row : rows) {
        const auto command = commandAt(hex(row.bytes));
        if (row.length == 0) {
            EXPECT_FALSE(command.has_value()) << row.bytes;
            continue;
        }
        ASSERT_TRUE(command.has_value()) << row.bytes;
        EXPECT_EQ(command->length, row.length) << row.bytes;
        EXPECT_EQ(command->replyBytes, row.replyBytes) << row.bytes;
        EXPECT_EQ(command->known, row.known) << row.bytes;
    }
}

TEST(StreamDecoder, AStreamReadsAsNamedCommands) {
    EXPECT_EQ(describeStream(hex("80 02 03 13 07 FF 22 01 20 01 00 11 01 00 12 34 87 AB 13 00")),
              "SET_BITS_LOW 80 02 03\n"
              "WRITE_BITS_NVE_MSB 13 07 FF\n"
              "READ_BITS_PVE_MSB 22 01\n"
              "READ_BYTES_PVE_MSB 20 01 00\n"
              "WRITE_BYTES_NVE_MSB 11 01 00 12 34\n"
              "SEND_IMMEDIATE 87\n"
              "BAD_COMMAND AB\n"
              "WRITE_BITS_NVE_MSB (cut short) 13 00\n");
}
