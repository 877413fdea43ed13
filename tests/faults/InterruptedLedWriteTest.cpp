// The status LED's blink thread writes its colour commands to the same USB
// device as the host's MDIO transfers and cannot report a failure. When one of
// its writes stops part-way (the driver took the set-pins opcode, then failed),
// the chip waits for the command's operands; whatever comes next would
// complete it, and every reply after that would be shifted, with no failure
// recorded anywhere. The next transfer must drop the half-sent command first.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "SimulatedBench.h"
#include "mdiohost.h"
#include "mdiosim/Bench.h"

namespace {

using mdiosim::D2xxOperation;

constexpr const char* kLedBoard = "K8A00001";
constexpr std::uint32_t kIoError = 4;
constexpr std::uint32_t kMmd = 1;
constexpr std::uint32_t kIdentifier = 2;
constexpr unsigned kPhys = 4;

std::uint64_t writesAccepted() {
    return mdiosim::bench()->board(kLedBoard).counters().usbWrites;
}

}  // namespace

TEST(InterruptedLedWrite, TheNextTransfersReadRight) {
    testing_support::useSimulatedBench();
    mdiosim::reloadBench();
    const std::uint32_t adapter = testing_support::openOnBench("K8A00001:MDIO");
    ASSERT_EQ(testing_support::recordedFailure(), "");

    // One byte per driver write, and the second write from now on fails: with
    // the host idle, only the blink thread writes, so its next colour command
    // gets its opcode out and loses its two operands.
    std::uint64_t before = 0;
    {
        auto bench = mdiosim::bench();
        before = bench->board(kLedBoard).counters().usbWrites;
        bench->board(kLedBoard).chunkWrites(1);
        bench->failCall(D2xxOperation::Write, 2, kIoError, kLedBoard);
    }
    // The opcode, the failed write, then at least one byte of a later colour.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (writesAccepted() < before + 2 && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_GE(writesAccepted(), before + 2) << "the blink thread wrote nothing";

    // Whole reads and a batch on every PHY, with the writes still cut into
    // single bytes: each value as the bench holds it, no failure.
    for (unsigned phy = 0; phy < kPhys; ++phy) {
        SCOPED_TRACE("PHY " + std::to_string(phy));
        const std::uint32_t expected =
            mdiosim::bench()->board(kLedBoard).phy(phy).clause45(kMmd, kIdentifier);
        EXPECT_EQ(HW_Read(adapter, phy, kMmd, kIdentifier), expected);
        HW_BlockReadAdapter(adapter, phy, kMmd, kIdentifier);
        HW_BlockReadAdapter(adapter, phy, kMmd, kIdentifier + 1);
        const auto* values =
            reinterpret_cast<const std::uint32_t*>(HW_BlockOperationExecuteAdapter(adapter, phy));
        ASSERT_NE(values, nullptr) << testing_support::recordedFailure();
        EXPECT_EQ(values[0], expected);
        EXPECT_EQ(values[1],
                  mdiosim::bench()->board(kLedBoard).phy(phy).clause45(kMmd, kIdentifier + 1));
    }
    EXPECT_EQ(testing_support::recordedFailure(), "");
    mdiosim::bench()->clearFaults();
    HW_CloseAdapter(adapter);
}
