// The FTDI chip model in MPSSE mode, driven with raw command bytes: what the
// library's own bytes do not show end to end (unknown opcodes, commands split
// across writes, the clock and its modeled time, garbage).
#include <gtest/gtest.h>

#include <random>

#include "SimHarness.h"

using namespace simtest;

namespace {

class MpsseChip : public testing::Test {
  protected:
    UseBench bench{k8Bench({1})};
    OpenDevice device{"K8T00001"};
    mdiosim::Board& board() { return mdiosim::bench()->board(0); }
};

}  // namespace

TEST_F(MpsseChip, UnknownOpcodesAnswerFaAndTheOpcodeAndExecutionGoesOn) {
    // The sync probe, opcodes outside the table, and a known command between them.
    EXPECT_EQ(device.exchange({0xAB}, 2), (Bytes{0xFA, 0xAB}));
    EXPECT_EQ(device.exchange({0x00, 0xAA, 0x80, 0x00, 0x03, 0x81, 0xFF, 0x4B}, 9),
              (Bytes{0xFA, 0x00, 0xFA, 0xAA, 0xF8, 0xFA, 0xFF, 0xFA, 0x4B}));
}

TEST_F(MpsseChip, CommandsSplitAcrossWritesRunAsOne) {
    const Bytes stream = clause45Frame(0, 1, 1, 0x0002) + clause45Frame(3, 1, 1, 0) + flush();
    board().phy(1).setClause45(1, 0x0002, 0x4D11);
    for (std::size_t split = 1; split < stream.size(); ++split) {
        device.write(Bytes(stream.begin(), stream.begin() + static_cast<long>(split)));
        device.write(Bytes(stream.begin() + static_cast<long>(split), stream.end()));
        ASSERT_EQ(device.read(3), (Bytes{0x02, 0x4D, 0x11})) << "split at " << split;
    }
}

TEST_F(MpsseChip, ClockRateAndModeledTimeFollowTheDivisor) {
    struct Row {
        Bytes setup;
        double clockHz;
        double secondsPerBit;
    };
    const Row rows[] = {
        {{0x8B, 0x86, 0x05, 0x00, 0x8D}, 1e6, 1 / 1e6},        // 12 MHz / 12 (60 MHz: K8BatchTest)
        {{0x8A, 0x86, 0x31, 0x00, 0x8C}, 600e3, 1.5 / 600e3},  // three-phase: 1.5 periods
    };
    for (const Row& row : rows) {
        device.write(row.setup);
        EXPECT_DOUBLE_EQ(board().chip().clockHz, row.clockHz);
        board().resetCounters();
        device.write({0x13, 0x07, 0xFF, 0x11, 0x01, 0x00, 0x00, 0x00, 0x8E, 0x03});
        EXPECT_EQ(board().counters().mdcCycles, 8u + 16u + 4u);
        EXPECT_NEAR(board().counters().clockSeconds, 24 * row.secondsPerBit + 4 / row.clockHz,
                    1e-12);
    }
    device.write({0x8F, 0x01, 0x00});  // two bytes' worth of clocks
    EXPECT_EQ(board().counters().mdcCycles, 28u + 16u);
}

TEST_F(MpsseChip, RandomStreamsNeverCrashAndAResetBringsItBack) {
    board().phy(1).setClause22(2, 0x7C0A);
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(1, 300);
    for (int round = 0; round < 300; ++round) {
        Bytes garbage(static_cast<std::size_t>(length(random)));
        for (std::uint8_t& value : garbage)
            value = static_cast<std::uint8_t>(byte(random));
        device.write(garbage);
        device.read(4096);
    }
    ASSERT_EQ(FT_ResetDevice(device.handle), FTDI::D2xx::kOk);
    ASSERT_EQ(FT_SetBitMode(device.handle, 0, FTDI::D2xx::kBitModeMpsse), FTDI::D2xx::kOk);
    // Whatever state the garbage left the PHYs in, the frame's preamble resynchronises them.
    EXPECT_EQ(device.exchange(clause22Frame(2, 1, 2, 0) + flush(), 3), (Bytes{0x02, 0x7C, 0x0A}));
}
