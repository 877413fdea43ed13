// MDIO frames bit-banged through the MPSSE reach the PHY models, which decode
// them from the line levels alone. The library's own frames are decoded end
// to end (K8BatchTest); these are what its plain frames never hold: short
// preambles (sent only once a host asks for them), frames cut mid-way and
// garbage.
#include <gtest/gtest.h>

#include "SimHarness.h"

using namespace simtest;
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
