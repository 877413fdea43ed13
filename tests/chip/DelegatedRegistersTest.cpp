// The two sets of MMD 31 registers whose reads delegation type 0 sends
// through the PIF mailbox, checked against the ranges the chip documents.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "chip/DelegationTables.h"

using mdiohost::chip::isDelegatedMmd31Register;

TEST(DelegatedRegisters, SizesPerBaseAndInAll) {
    const auto& first = mdiohost::chip::firstDelegatedMmd31Set();
    const auto& second = mdiohost::chip::secondDelegatedMmd31Set();
    EXPECT_EQ(first.size(), 424u);
    EXPECT_EQ(second.size(), 456u);
    for (std::uint32_t base : {0x8000u, 0x9000u, 0xA000u, 0xB000u}) {
        auto inBase = [base](std::uint16_t a) { return a >= base && a < base + 0x1000; };
        EXPECT_EQ(std::count_if(first.begin(), first.end(), inBase), 106) << base;
        EXPECT_EQ(std::count_if(second.begin(), second.end(), inBase), 114) << base;
    }
    // The look-up says yes for exactly these 880 addresses (so the two sets
    // are disjoint), and for nothing at 0x10000 or above.
    std::vector<std::uint32_t> listed(first.begin(), first.end());
    listed.insert(listed.end(), second.begin(), second.end());
    std::sort(listed.begin(), listed.end());
    std::vector<std::uint32_t> matched;
    for (std::uint32_t address = 0; address < 0x20000; ++address) {
        if (isDelegatedMmd31Register(address)) matched.push_back(address);
    }
    EXPECT_EQ(matched, listed);
}

TEST(DelegatedRegisters, RangeEdges) {
    // The first range of each set at each base, one either side of it.
    for (const std::uint32_t base : {0x8000u, 0x9000u, 0xA000u, 0xB000u}) {
        EXPECT_TRUE(isDelegatedMmd31Register(base + 0x37) && isDelegatedMmd31Register(base + 0x39));
        EXPECT_FALSE(isDelegatedMmd31Register(base + 0x36) ||
                     isDelegatedMmd31Register(base + 0x3A));
        EXPECT_TRUE(isDelegatedMmd31Register(base + 0x35));  // the second set's
    }
    for (const std::uint32_t address : {0xC037u, 0x7037u, 0x18037u, 0xFFFFFFFFu})
        EXPECT_FALSE(isDelegatedMmd31Register(address)) << address;
}
