// The library on the simulated bench, whose modelled chips and PHYs are the
// independent check of its bytes: batches of thousands of K8 operations, one
// USB write and one USB read per execute, early executes when a queue
// outgrows one transfer, and every value back in queue order.
#include <gtest/gtest.h>

#include <string>

#include "SimulatedBench.h"
#include "mdiohost.h"
#include "mdiosim/Bench.h"
#include "registry/TalvikControl.h"

namespace {

// The board without a status LED: no blink thread writes between the batches
// being counted.
constexpr const char* kBoard = "AA000001";
constexpr std::uint32_t kPhy = 1;
constexpr std::uint32_t kMmd = 7;

std::uint16_t pattern(std::uint32_t index) {
    return static_cast<std::uint16_t>(index * 0x9E37u ^ 0x5A5Au);
}

class K8Batches : public testing::Test {
  protected:
    void SetUp() override {
        adapter = testing_support::openOnBench(kBoard);
        // A first execute makes the once-a-second sync exchange, so that the
        // counted executes below are the batches alone.
        control.read(adapter, kPhy, 1, 2);
    }
    mdiosim::Counters counters() { return mdiosim::bench()->board(kBoard).counters(); }

    TalvikControl& control = registry();
    std::uint32_t adapter = 0;
};

}  // namespace

// 500 reads fit one transfer; 2000 Clause 45 reads of 76 bytes each need
// three, as the engine executes early at the 862nd and 1723rd reads.
TEST_F(K8Batches, BatchesAreOneWriteAndOneReadPerTransferAndKeepTheirOrder) {
    for (const auto& [reads, transfers] : {std::pair{500u, 1u}, std::pair{2000u, 3u}}) {
        for (std::uint32_t i = 0; i < reads; ++i) {
            mdiosim::bench()->board(kBoard).phy(kPhy).setClause45(
                kMmd, static_cast<std::uint16_t>(i), pattern(i + reads));
        }
        mdiosim::Counters before;
        mdiosim::Counters after;
        const std::uint32_t* values = nullptr;
        // On a slow machine a second may pass inside the batch, and the
        // once-a-second sync exchange (one byte out, two back) joins it;
        // the batch then runs again.
        for (int attempt = 0; attempt < 3; ++attempt) {
            before = counters();
            for (std::uint32_t i = 0; i < reads; ++i)
                control.blockRead(adapter, kPhy, kMmd, i);
            values = control.blockOperationExecute(adapter, kPhy);
            after = counters();
            const bool syncJoined = after.usbWrites - before.usbWrites == transfers + 1 &&
                                    after.bytesRead - before.bytesRead == reads * 3 + 2;
            if (!syncJoined) break;
        }

        ASSERT_EQ(HW_BlockReadQueueSize(), reads);
        for (std::uint32_t i = 0; i < reads; ++i)
            ASSERT_EQ(values[i], pattern(i + reads)) << "read " << i;
        EXPECT_EQ(after.usbWrites - before.usbWrites, transfers);
        EXPECT_EQ(after.usbReads - before.usbReads, transfers);
        EXPECT_EQ(after.bytesRead - before.bytesRead, reads * 3);
    }
}

TEST_F(K8Batches, WritesClause22And32BitRegistersReachThePhy) {
    // Brought up at the default 5 MHz; a port without a PHY reads all ones.
    EXPECT_EQ(mdiosim::bench()->board(kBoard).chip().clockHz, 5e6);
    EXPECT_EQ(control.read(adapter, 9, 1, 2), 0xFFFFu);
    for (std::uint32_t i = 0; i < 1000; ++i)
        control.blockWrite(adapter, kPhy, kMmd, 0x1000 + i, pattern(i));
    for (std::uint32_t i = 0; i < 8; ++i)
        control.blockWriteC22(adapter, kPhy, 16 + i, pattern(i));
    for (std::uint32_t i = 0; i < 64; ++i)
        control.blockWrite32(adapter, kPhy, 0x8000 + 4 * i, 0xA5000000u | i);
    EXPECT_EQ(control.blockOperationExecute(adapter, kPhy), nullptr);

    mdiosim::Phy& phy = mdiosim::bench()->board(kBoard).phy(kPhy);
    for (std::uint32_t i = 0; i < 1000; ++i)
        ASSERT_EQ(phy.clause45(kMmd, 0x1000 + i), pattern(i));
    for (std::uint32_t i = 0; i < 8; ++i)
        EXPECT_EQ(phy.clause22(16 + i), pattern(i));
    for (std::uint32_t i = 0; i < 64; ++i)
        ASSERT_EQ(phy.register32(0x8000 + 4 * i), 0xA5000000u | i);

    // And back through reads of every kind in one batch.
    control.blockRead(adapter, kPhy, kMmd, 0x1003);
    control.blockReadC22(adapter, kPhy, 17);
    control.blockRead32(adapter, kPhy, 0x8000 + 4 * 5);
    const std::uint32_t* values = control.blockOperationExecute(adapter, kPhy);
    ASSERT_EQ(HW_BlockReadQueueSize(), 3u);
    EXPECT_EQ(values[0], pattern(3));
    EXPECT_EQ(values[1], pattern(1));
    EXPECT_EQ(values[2], 0xA5000005u);
}
