// The addressing forms shared by every command.
#include <gtest/gtest.h>

#include "Arguments.h"

using mdioctl::parseMaskedValue;
using mdioctl::parseNumber;
using mdioctl::parseRegisterRange;
using mdioctl::UsageError;

TEST(Arguments, NumbersAreDecimalOrHexOnly) {
    EXPECT_EQ(parseNumber("0", "n"), 0u);
    EXPECT_EQ(parseNumber("010", "n"), 10u);  // not octal
    EXPECT_EQ(parseNumber("0x1f", "n"), 31u);
    EXPECT_EQ(parseNumber("0XFFFFFFFF", "n"), 0xFFFFFFFFu);
    for (const char* bad : {"", "0x", "-1", "+1", "1e3", "0b11", "12a", "0x1G", "4294967296"}) {
        EXPECT_THROW(parseNumber(bad, "n"), UsageError) << bad;
    }
    EXPECT_THROW(parseNumber("32", "MMD", 31), UsageError);
}

TEST(Arguments, RegisterRanges) {
    auto range = parseRegisterRange("1.0x0002", true);
    EXPECT_FALSE(range.clause22);
    EXPECT_EQ(range.mmd, 1u);
    EXPECT_EQ(range.first, 2u);
    EXPECT_EQ(range.count, 1u);

    range = parseRegisterRange("7.0x10-0x1F", true);
    EXPECT_EQ(range.count, 16u);
    range = parseRegisterRange("c22:4+3", true);
    EXPECT_TRUE(range.clause22);
    EXPECT_EQ(range.last(), 6u);
    range = parseRegisterRange("1.0xFFFF+1", true);
    EXPECT_EQ(range.first, 0xFFFFu);

    for (const char* bad : {"1", "1.", ".2", "c22:32", "1.0x10000", "1.2-1", "1.2+0", "1.0xFFFF+2",
                            "c22:30+3", "32.0"}) {
        EXPECT_THROW(parseRegisterRange(bad, true), UsageError) << bad;
    }
    EXPECT_THROW(parseRegisterRange("1.2+2", false), UsageError);
}

TEST(Arguments, MaskedValues) {
    auto value = parseMaskedValue("0x1234");
    EXPECT_FALSE(value.masked);
    EXPECT_EQ(value.mask, 0xFFFF);
    value = parseMaskedValue("0x0800/0x0C00");
    EXPECT_TRUE(value.masked);
    EXPECT_EQ(value.value, 0x0800);
    EXPECT_EQ(value.mask, 0x0C00);
    EXPECT_THROW(parseMaskedValue("0x10000"), UsageError);
    EXPECT_THROW(parseMaskedValue("1/"), UsageError);
}
