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
    const std::uint32_t inside[] = {
        0x8037, 0x8039, 0x8045, 0x804A, 0x806F, 0x8093, 0x8095, 0x80F3, 0x80F5, 0x81C0, 0x81C1,
        0x8280, 0x8284, 0x8288, 0x82DC, 0x8803, 0x8807, 0x8812, 0x881C, 0x882E, 0x8839, 0x8980,
        0x8988, 0x89D8,  // first set
        0x8035, 0x8041, 0x8042, 0x806D, 0x8090, 0x80F0, 0x80F2, 0x81A0, 0x81A1, 0x8200, 0x8204,
        0x8278, 0x827C, 0x8800, 0x8805, 0x8811, 0x881A, 0x882A, 0x882D, 0x8900, 0x8978,  // second
        0x9037, 0xA037, 0xB037, 0xB9D8, 0xB978};
    const std::uint32_t outside[] = {
        0x8036, 0x803A, 0x8044, 0x804B, 0x8070, 0x80F6, 0x81C2, 0x827F,  0x8285,    0x8287,
        0x82DD, 0x82E0, 0x883A, 0x8981, 0x89E0, 0x8043, 0x81A2, 0x81FF,  0x8205,    0x827D,
        0x8801, 0x8829, 0x88FF, 0x8979, 0xC037, 0x7037, 0x0037, 0x18037, 0xFFFFFFFF};
    for (std::uint32_t address : inside)
        EXPECT_TRUE(isDelegatedMmd31Register(address)) << address;
    for (std::uint32_t address : outside)
        EXPECT_FALSE(isDelegatedMmd31Register(address)) << address;
}
