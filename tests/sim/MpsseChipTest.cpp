// The FTDI chip model in MPSSE mode, driven with raw command bytes.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

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

TEST(MpsseChipTypes, DriveOnlyZeroExistsOnlyOnTheFt232h) {
    UseBench bench{k8Bench({}, 6)};  // an FT2232H
    OpenDevice device{"K8T00001"};
    // 9E is unknown here, and so are its would-be operands.
    EXPECT_EQ(device.exchange({0x9E, 0x07, 0x00, 0xAB}, 8),
              (Bytes{0xFA, 0x9E, 0xFA, 0x07, 0xFA, 0x00, 0xFA, 0xAB}));
}

TEST_F(MpsseChip, PinsSetAndReadBackThroughTheWires) {
    // Low byte: MDIO (pins 1 and 2 share the wire) is pulled up when released,
    // pulled down when pin 1 drives 0; pins that drive 0 read 0.
    EXPECT_EQ(device.exchange({0x80, 0x02, 0x03, 0x81, 0x80, 0x00, 0x03, 0x81, 0x80, 0x00, 0x01,
                               0x81, 0x80, 0x00, 0xF3, 0x81},
                              4),
              (Bytes{0xFE, 0xF8, 0xFE, 0x08}));
    device.write({0x82, 0x5A, 0xF0, 0x9E, 0x07, 0x00});
    EXPECT_EQ(device.exchange({0x83}, 1), (Bytes{0x5F}));
    const mdiosim::PinState high = board().highPins();
    EXPECT_EQ(high.value, 0x5A);
    EXPECT_EQ(high.direction, 0xF0);
    EXPECT_EQ(board().lowPins().driveOnlyZero, 0x07);
}

// The library shifts bytes and bits MSB first; other hosts use the rest of
// the family. With MDIO released and no PHY answering, the data input reads
// the pull-up; with loopback it reads the data output.
TEST_F(MpsseChip, ShiftingFamilyByEdgeBitOrderAndLength) {
    const std::vector<std::tuple<bool, Bytes, Bytes>> rows{
        // loopback, command, reply
        {false, {0x24, 0x00, 0x00}, {0xFF}},       // bytes in, falling edge
        {false, {0x2A, 0x02}, {0xE0}},             // 3 bits in, LSB first: bits 7..5
        {false, {0x13, 0x06, 0x12}, {}},           // bits out only: no reply
        {true, {0x34, 0x00, 0x00, 0x96}, {0x96}},  // out rising, in falling
        {true, {0x39, 0x00, 0x00, 0x81}, {0x81}},  // LSB first both ways
        {true, {0x33, 0x02, 0xA0}, {0x05}},        // 3 bits MSB first: 101 -> bits 2..0
        {true, {0x3B, 0x02, 0x05}, {0xA0}},        // 3 bits LSB first: 101 -> bits 7..5
    };
    device.write({0x80, 0x00, 0x01});
    for (const auto& [loopback, command, reply] : rows) {
        if (loopback) device.write({0x84});
        EXPECT_EQ(device.exchange(command, 8), reply) << int(command[0]);
    }
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
        {{0x8A, 0x86, 0x05, 0x00, 0x8D}, 5e6, 1 / 5e6},        // 60 MHz / 12
        {{0x8B, 0x86, 0x05, 0x00, 0x8D}, 1e6, 1 / 1e6},        // 12 MHz / 12
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

TEST_F(MpsseChip, WaitOnIoStallsUntilTheHostPurges) {
    // GPIOL1 is pulled up: a wait for high passes, a wait for low stalls.
    EXPECT_EQ(device.exchange({0x88, 0x81}, 1).size(), 1u);
    EXPECT_EQ(device.exchange({0x89, 0x81, 0xAB}, 3), Bytes{});
    ASSERT_EQ(FT_Purge(device.handle, 3), FTDI::D2xx::kOk);
    EXPECT_EQ(device.exchange({0xAB}, 2), (Bytes{0xFA, 0xAB}));
}

TEST_F(MpsseChip, ResetModeIsAPipeToNothing) {
    ASSERT_EQ(FT_SetBitMode(device.handle, 0, FTDI::D2xx::kBitModeReset), FTDI::D2xx::kOk);
    EXPECT_EQ(device.exchange({0xAB, 0x81}, 3), Bytes{});
    // Back in MPSSE the pins start over as inputs.
    ASSERT_EQ(FT_SetBitMode(device.handle, 0, FTDI::D2xx::kBitModeMpsse), FTDI::D2xx::kOk);
    EXPECT_EQ(board().lowPins().direction, 0);
    EXPECT_EQ(device.exchange({0xAB}, 2), (Bytes{0xFA, 0xAB}));
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
