// MDIO frames bit-banged through the MPSSE reach the PHY models, which decode
// them from the line levels alone and answer reads on the line.
#include <gtest/gtest.h>

#include "SimHarness.h"

using namespace simtest;
using mdiosim::Operation;
using mdiosim::Transaction;

namespace {

class MdioFrames : public testing::Test {
  protected:
    UseBench bench{k8Bench({0, 3, 5})};
    mdiosim::Phy& phy(unsigned address) { return mdiosim::bench()->board(0).phy(address); }
    std::vector<Transaction> transactions() { return mdiosim::bench()->transactionsSeen(); }
    OpenDevice device{"K8T00001"};
};

}  // namespace

// The frames the library sends are decoded end to end (EndToEndTest, K8BatchTest);
// these are the ones it never sends: the Clause 45 post-increment read and
// the 32-bit auto-increment kinds.
TEST_F(MdioFrames, PostIncrementAndAutoIncrementFrames) {
    phy(5).setClause45(3, 0x0010, 0xBEEF);
    phy(5).setClause45(3, 0x0011, 0xCAFE);
    phy(5).setRegister32(0x000104, 0x01234567);
    const Bytes stream = clause45Frame(0, 5, 3, 0x0010) +
                         clause45Frame(2, 5, 3, 0) +           // read, then +1
                         clause45Frame(3, 5, 3, 0) +           // read 0x0011
                         register32Frame(0, 5, 0x000100, 0) +  // read at 0x100
                         register32Frame(1, 5, 0, 0) + register32Frame(2, 5, 0, 0) +  // 0x104 twice
                         register32Frame(5, 5, 0, 0x11112222) +                       // write 0x108
                         register32Frame(6, 5, 0, 0x33334444) + flush();              // and again
    EXPECT_EQ(device.exchange(stream, 6 + 3 * 6),
              (Bytes{0x02, 0xBE, 0xEF, 0x02, 0xCA, 0xFE,  // 32-bit: 16 bits, a 0 bit, 16 bits
                     0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x01, 0x23,
                     0x00, 0x45, 0x67, 0x02, 0x01, 0x23, 0x00, 0x45, 0x67}));
    EXPECT_EQ(phy(5).clause45AddressRegister(3), 0x0011);
    EXPECT_EQ(phy(5).register32(0x000108), 0x33334444u);
    EXPECT_EQ(phy(5).register32Pointer(), 0x000108u);
    const Transaction written = transactions().at(6);
    EXPECT_EQ(written.operation, Operation::Register32WriteIncrement);
    EXPECT_EQ(written.value, 0x11112222u);
}

TEST_F(MdioFrames, OnlyTheAddressedPhyAnswersAndAnEmptyAddressReadsAllOnes) {
    phy(0).setClause22(2, 0x1111);
    phy(3).setClause22(2, 0x3333);
    phy(5).setClause22(2, 0x5555);
    const Bytes stream = clause22Frame(2, 3, 2, 0) + clause22Frame(2, 7, 2, 0) +
                         clause45Frame(3, 9, 1, 0) + register32Frame(2, 9, 0, 0) + flush();
    EXPECT_EQ(device.exchange(stream, 15),
              (Bytes{0x02, 0x33, 0x33, 0x03, 0xFF, 0xFF, 0x03, 0xFF, 0xFF,  //
                     0x03, 0xFF, 0xFF, 0x01, 0xFF, 0xFF}));
    // A write to another port leaves this PHY alone.
    device.write(clause22Frame(1, 0, 2, 0xAAAA) + flush());
    EXPECT_EQ(phy(3).clause22(2), 0x3333);
    EXPECT_EQ(phy(0).clause22(2), 0xAAAA);
}

TEST_F(MdioFrames, APhyNeedsItsPreambleUnlessItAcceptsSuppression) {
    phy(3).setPreamble(32, false);
    phy(5).setPreamble(32, true);
    device.write(clause22Frame(1, 3, 4, 0x0031, 31) + clause22Frame(1, 5, 4, 0x0051, 0) +
                 clause22Frame(1, 3, 4, 0x0032, 32) + flush());
    EXPECT_EQ(phy(3).clause22(4), 0x0032);
    EXPECT_EQ(phy(5).clause22(4), 0x0051);
    // The monitor sees every frame with the preamble that preceded it.
    const std::vector<Transaction> seen = transactions();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].preambleBits, 31);
    EXPECT_EQ(seen[1].preambleBits, 0);
    EXPECT_EQ(seen[2].preambleBits, 32);

    // What counts is the ones on the line: the final idle's rising edge is one.
    phy(3).setPreamble(64, false);
    device.write(clause22Frame(1, 3, 4, 0x0062, 62) + Bytes{0x80, 0x03, 0x03});
    EXPECT_EQ(phy(3).clause22(4), 0x0032);
    device.write(clause22Frame(1, 3, 4, 0x0063, 63));
    EXPECT_EQ(phy(3).clause22(4), 0x0063);
}

TEST_F(MdioFrames, FramesCutMidWayResynchroniseOnTheNextPreamble) {
    const Bytes write = clause45Frame(1, 3, 1, 0x7777);
    const Bytes read = clause22Frame(2, 5, 2, 0);
    phy(5).setClause22(2, 0x5A5A);
    // Cut before every command of a write frame: the next full frame always lands.
    for (const std::size_t cut : commandStarts(write)) {
        SCOPED_TRACE(cut);
        device.write(Bytes(write.begin(), write.begin() + static_cast<long>(cut)));
        EXPECT_EQ(device.exchange(read + flush(), 3), (Bytes{0x02, 0x5A, 0x5A}));
    }
    // A read cut after its header leaves the PHY driving the line while the
    // next preamble goes out; the frame after that is in step again.
    device.write(Bytes(read.begin(), read.begin() + 30) + Bytes{0x80, 0x02, 0x03});
    device.write(clause22Frame(1, 3, 6, 0x0001));
    EXPECT_EQ(device.exchange(read + flush(), 3), (Bytes{0x02, 0x5A, 0x5A}));
}

TEST_F(MdioFrames, GarbageOnTheLineNeverConfusesTheNextFrame) {
    phy(0).setClause22(3, 0x0C0C);
    const Bytes garbage{0x13, 0x07, 0x5A, 0x11, 0x03, 0x00, 0x00, 0xFF, 0x13, 0x33,
                        0x80, 0x01, 0x03, 0x8F, 0x02, 0x00, 0x11, 0x00, 0x00, 0x3C};
    device.write(garbage + clause22Frame(2, 0, 3, 0) + flush());
    // Garbage may queue nothing (no read commands) so the reply is the frame's.
    EXPECT_EQ(device.read(3), (Bytes{0x02, 0x0C, 0x0C}));
}
