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

TEST(Arguments, MaskedValues) {
    EXPECT_EQ(parseMaskedValue("0x0800/0x0C00").mask, 0x0C00);
    EXPECT_THROW(parseMaskedValue("0x10000"), UsageError);
    EXPECT_THROW(parseMaskedValue("1/"), UsageError);
}
