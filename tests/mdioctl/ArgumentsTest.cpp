// The addressing forms shared by every command: the edges and the refusals.
// What the common forms parse to shows whole in the command-line tests' output.
#include <gtest/gtest.h>

#include "Arguments.h"

using mdioctl::parseMaskedValue;
using mdioctl::parseNumber;
using mdioctl::parseRegisterRange;
using mdioctl::UsageError;

TEST(Arguments, NumbersAreDecimalOrHexOnly) {
    EXPECT_EQ(parseNumber("0x1f", "n"), 31u);
    EXPECT_EQ(parseNumber("0XFFFFFFFF", "n"), 0xFFFFFFFFu);
    for (const char* bad : {"", "0x", "-1", "+1", "1e3", "0b11", "12a", "0x1G", "4294967296"}) {
        EXPECT_THROW(parseNumber(bad, "n"), UsageError) << bad;
    }
    EXPECT_THROW(parseNumber("32", "MMD", 31), UsageError);
}

TEST(Arguments, RegisterRanges) {
    EXPECT_EQ(parseRegisterRange("c22:4+3", true).last(), 6u);
    EXPECT_EQ(parseRegisterRange("1.0xFFFF+1", true).first, 0xFFFFu);
    for (const char* bad : {"1", "1.", ".2", "c22:32", "1.0x10000", "1.2-1", "1.2+0", "1.0xFFFF+2",
                            "c22:30+3", "32.0"}) {
        EXPECT_THROW(parseRegisterRange(bad, true), UsageError) << bad;
    }
    EXPECT_THROW(parseRegisterRange("1.2+2", false), UsageError);
}

TEST(Arguments, MasksNameTheBitsToKeep) {
    struct Row {
        const char* text;
        std::uint16_t current, written;
    };
    for (const Row& row :
         {Row{"0x8000/0x7FFF", 0x1140, 0x9140}, Row{"0x0000/0x7FFF", 0x9140, 0x1140},
          Row{"0x0800/0xF7FF", 0x2040, 0x2840}, Row{"0x0005/0xFFF0", 0xABCF, 0xABC5},
          Row{"0x1234", 0xFFFF, 0x1234}, Row{"0/0xFFFF", 0xBEEF, 0xBEEF}}) {
        EXPECT_EQ(parseMaskedValue(row.text).appliedTo(row.current), row.written) << row.text;
    }
    // A value that sets a kept bit is the mask read the other way round.
    for (const char* bad : {"0x0800/0x0800", "0x8001/0x7FFF", "0x10000", "1/", "/1", "1/0x10000"}) {
        EXPECT_THROW(parseMaskedValue(bad), UsageError) << bad;
    }
}

TEST(Arguments, ExpectationsIgnoreTheMaskedBits) {
    EXPECT_TRUE(mdioctl::matches(parseMaskedValue("0x0004/0xFFFB"), 0x796D));  // link up
    EXPECT_FALSE(mdioctl::matches(parseMaskedValue("0x0004/0xFFFB"), 0x7969));
    EXPECT_TRUE(mdioctl::matches(parseMaskedValue("0x1140"), 0x1140));
    EXPECT_FALSE(mdioctl::matches(parseMaskedValue("0x1140"), 0x1141));
}

TEST(Arguments, Frequencies) {
    struct Row {
        const char* text;
        std::uint32_t hertz;
    };
    for (const Row& row :
         {Row{"2.5M", 2500000}, Row{"5000000", 5000000}, Row{"400k", 400000}, Row{"400K", 400000},
          Row{"1MHz", 1000000}, Row{"12.345k", 12345}, Row{"1000", 1000}, Row{"30M", 30000000}}) {
        EXPECT_EQ(mdioctl::parseFrequency(row.text, "f", 1000, 30000000), row.hertz) << row.text;
    }
    for (const char* bad : {"", "M", "2.5", "1.2345k", "999", "30000001", "31M", "1G", "1 M", "-1M",
                            "0x10M", "2.M", ".5M", "1e6", "99999999999"}) {
        EXPECT_THROW(mdioctl::parseFrequency(bad, "f", 1000, 30000000), UsageError) << bad;
    }
}

TEST(Arguments, DumpRanges) {
    const auto all22 = mdioctl::parseDumpRange("c22");
    EXPECT_TRUE(all22.clause22);
    EXPECT_EQ(all22.count, 32u);
    EXPECT_EQ(mdioctl::parseDumpRange("c22:4-9").count, 6u);
    EXPECT_EQ(mdioctl::parseDumpRange("3").count, 0x20u);
    EXPECT_THROW(mdioctl::parseDumpRange("c23"), UsageError);
}
