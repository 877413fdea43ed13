// The K8 board tables and the colour arithmetic built on them.
#include <gtest/gtest.h>

#include "boards/K8BoardTables.h"
#include "boards/LED.h"

using FTDI::K8::Colour;
using FTDI::K8::LED;

TEST(K8BoardTables, LookUpsOutsideTheTablesFindNothing) {
    EXPECT_EQ(FTDI::K8::ledColour(14), 0);
    EXPECT_EQ(FTDI::K8::ledColour(-1), 0);
    EXPECT_EQ(FTDI::K8::ledColours.size(), 14u);  // looking up added nothing
    EXPECT_FALSE(FTDI::K8::isProtocolName("mdio") || FTDI::K8::isProtocolName(""));
}

TEST(K8BoardTables, PulseAndFadeSteps) {
    for (unsigned from = 0; from < 64; ++from) {
        for (unsigned to = 0; to < 64; ++to) {
            ASSERT_EQ(LED::fadeColour(static_cast<Colour>(from), static_cast<Colour>(to), 5), to);
        }
    }
    // Idle colour 0x1E (levels 2, 3, 1) pulsing, and fading to the MDIO colour 0x34.
    const Colour pulse[] = {0x19, 0x05, 0x1A, 0x1F, 0x2F, 0x1F};
    const Colour fade[] = {0x1E, 0x19, 0x14, 0x24, 0x24, 0x34};
    for (unsigned step = 0; step < 12; ++step) {
        EXPECT_EQ(LED::pulseColour(0x1E, step), pulse[step % 6]) << step;
        EXPECT_EQ(LED::fadeColour(0x1E, 0x34, step), fade[step % 6]) << step;
        EXPECT_EQ(LED::pulseColour(0x00, step), 0x00) << step;  // dark stays dark
    }
}
