// Every fast way of reading against PHYs that do and do not support it: the
// dump's checked paths never return a wrong value, the bench command reports
// each mode's wrong values (a raw burst on a PHY without post-read-increment
// reads all ones), and the fast modes leave no MDIO setup violation on the
// wire.
#include <gtest/gtest.h>

#include "Commands.h"
#include "FastRead.h"
#include "SimulatedBench.h"
#include "mdiohost.h"
#include "mdiohost_ext.h"
#include "mdiosim/Bench.h"
#include "mdiosim/Board.h"

namespace {

constexpr const char* kBoard = "FM000001";
constexpr std::uint32_t kMmd = 1;
constexpr std::uint32_t kRegisters = 32;

struct PhyKind {
    unsigned address;
    const char* what;
    bool acceptsSuppression;
    bool postReadIncrement;
    bool statusClaimsSuppression;
};

const PhyKind kKinds[] = {
    {1, "supports both", true, true, true},
    {2, "needs its preamble", false, true, false},
    {3, "no post-read-increment", true, false, true},
    {4, "neither, and its status register claims suppression", false, false, true},
};

std::uint16_t valueOf(unsigned phy, std::uint32_t registerAddress) {
    return static_cast<std::uint16_t>(0x1000 * phy + 0x11 * registerAddress + 1);
}

mdiosim::BenchDescription benchOfKinds() {
    mdiosim::BoardDescription board;
    board.serialNumber = kBoard;
    board.description = "K8D MDIO";
    for (const PhyKind& kind : kKinds) {
        mdiosim::PhyDescription phy;
        phy.address = kind.address;
        phy.acceptsPreambleSuppression = kind.acceptsSuppression;
        phy.implementsPostReadIncrement = kind.postReadIncrement;
        phy.clause22[2] = 0x7C0A;
        for (std::uint32_t r = 0; r < kRegisters; ++r)
            phy.clause45[kMmd][static_cast<std::uint16_t>(r)] = valueOf(kind.address, r);
        board.phys.push_back(phy);
    }
    mdiosim::BenchDescription bench;
    bench.boards.push_back(board);
    return bench;
}

class FastModes : public testing::Test {
  protected:
    void SetUp() override {
        testing_support::useSimulatedBench();
        mdiosim::resetBench(benchOfKinds());
        for (const PhyKind& kind : kKinds) {
            // A status register may promise what the PHY does not do.
            mdiosim::Phy& phy = mdiosim::bench()->board(kBoard).phy(kind.address);
            phy.setClause22(1, kind.statusClaimsSuppression ? 0x796D : 0x792D);
        }
        adapter = session.open(kBoard);
    }
    std::vector<std::uint16_t> expected(unsigned phy) const {
        std::vector<std::uint16_t> values;
        for (std::uint32_t r = 0; r < kRegisters; ++r)
            values.push_back(valueOf(phy, r));
        return values;
    }
    std::uint64_t setupViolations() {
        return mdiosim::bench()->board(kBoard).counters().mdioSetupViolations;
    }

    mdioctl::Session session{mdioctl::SessionOptions{}};
    mdioctl::Output out{true};
    std::uint32_t adapter = 0;
};

}  // namespace

TEST_F(FastModes, TheDumpsFastPathsNeverReturnAWrongValue) {
    const mdioctl::RegisterRange range{false, kMmd, 0, kRegisters};
    for (const PhyKind& kind : kKinds) {
        SCOPED_TRACE(kind.what);
        for (const bool compact : {false, true}) {
            mdiohost_set_compact_encoding(adapter, compact ? 1 : 0);
            const std::uint64_t violations = setupViolations();
            mdioctl::FastReadReport report;
            EXPECT_EQ(
                mdioctl::readRangeFast(session, adapter, kind.address, range, 8, true, report),
                expected(kind.address));
            // Only a PHY that does both is read the fastest way.
            const bool fastest = kind.acceptsSuppression && kind.postReadIncrement;
            EXPECT_EQ(report.preambleBits, fastest ? 0u : 32u);
            EXPECT_EQ(report.burst, kind.postReadIncrement);
            EXPECT_EQ(setupViolations(), violations);
            EXPECT_EQ(mdiohost_preamble(adapter, kind.address), 32);
        }
    }
}

TEST_F(FastModes, TheBenchReportsEveryModesWrongValuesAndSkipsWhatThePhyRefuses) {
    const mdiosim::Counters before = mdiosim::bench()->board(kBoard).counters();
    for (const PhyKind& kind : kKinds) {
        SCOPED_TRACE(kind.what);
        mdioctl::benchAdapter(session, out, kBoard, kind.address, kRegisters);
        const nlohmann::json& modes = out.document["modes"];
        ASSERT_EQ(modes.size(), 4u);
        EXPECT_EQ(modes[0]["wrongValues"], 0);  // plain
        EXPECT_EQ(modes[1]["wrongValues"], 0);  // compact
        EXPECT_EQ(modes[2]["wrongValues"], kind.postReadIncrement ? 0u : kRegisters);
        if (!kind.statusClaimsSuppression) {
            EXPECT_TRUE(modes[3].contains("skipped"));
        } else {
            const bool right = kind.acceptsSuppression && kind.postReadIncrement;
            EXPECT_EQ(modes[3]["wrongValues"], right ? 0u : kRegisters);
        }
    }
    // The adapter ends every transfer cleanly once it has sent a burst.
    const mdiosim::Counters after = mdiosim::bench()->board(kBoard).counters();
    EXPECT_EQ(after.mdioSetupViolations, before.mdioSetupViolations);
}
