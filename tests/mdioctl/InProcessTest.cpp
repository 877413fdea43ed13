// mdioctl's commands run in this process, where the simulated bench's
// counters and bus log show what they cost and what they touched.
#include <gtest/gtest.h>

#include "Commands.h"
#include "FastRead.h"
#include "SimulatedBench.h"
#include "mdiosim/Bench.h"
#include "mdiosim/Board.h"
#include "mdiosim/Phy.h"

#include <functional>
#include <sstream>

#include "mdiohost_ext.h"

namespace {

constexpr const char* kBoard = "AA000001";  // no status LED: only our traffic

class InProcess : public testing::Test {
  protected:
    void SetUp() override {
        testing_support::useSimulatedBench();
        // Open the adapter and make the once-a-second sync exchange up front.
        mdioctl::RegisterRange one{false, 1, 2, 1};
        session.readRange(session.open("0"), 1, one, 1);
        mdiosim::bench()->log().clear();
    }
    mdioctl::Session session{mdioctl::SessionOptions{}};
    mdioctl::Output out{true};
};

}  // namespace

TEST_F(InProcess, A256RegisterDumpIsOneRoundTrip) {
    const mdiosim::Counters before = mdiosim::bench()->board(kBoard).counters();
    mdioctl::dumpRegisters(session, out, "0", 1, mdioctl::RegisterRange{false, 1, 0, 256});
    const mdiosim::Counters after = mdiosim::bench()->board(kBoard).counters();
    EXPECT_EQ(after.usbWrites - before.usbWrites, 1u);
    EXPECT_EQ(after.usbReads - before.usbReads, 1u);
    EXPECT_EQ(out.document["values"].size(), 256u);
    EXPECT_EQ(out.document["values"][2], 0x7C0A);
}

TEST_F(InProcess, ScanLeavesVendorMmdsAloneUnlessAsked) {
    const auto touchesVendorMmd = [] {
        for (const mdiosim::Transaction& t : mdiosim::bench()->transactionsSeen()) {
            if (t.bus == mdiosim::Bus::Mdio && (t.mmd == 30 || t.mmd == 31) &&
                t.operation == mdiosim::Operation::Clause45Address) {
                return true;
            }
        }
        return false;
    };
    mdioctl::scanAdapter(session, out, "0", false);
    EXPECT_EQ(out.document["phys"].size(), 2u);
    EXPECT_FALSE(touchesVendorMmd());
    mdioctl::scanAdapter(session, out, "0", true);
    EXPECT_TRUE(touchesVendorMmd());
}

TEST_F(InProcess, WatchPrintsEachChangeAsItHappens) {
    mdiosim::Phy& phy = mdiosim::bench()->board(kBoard).phy(1);
    mdioctl::WatchOptions watch;
    watch.polls = 4;
    watch.intervalMilliseconds = 1;
    watch.afterPoll = [&](std::uint32_t done) {
        if (done == 2) phy.setClause45(1, 1, 0x0002);  // receive link lost
    };
    const std::vector<mdioctl::RegisterRange> registers{{false, 1, 1, 1}, {true, 0, 0, 1}};
    testing::internal::CaptureStdout();
    mdioctl::watchRegisters(session, out, "0", 1, registers, watch);
    const std::string printed = testing::internal::GetCapturedStdout();
    std::vector<nlohmann::json> events;
    std::istringstream lines(printed);
    for (std::string line; std::getline(lines, line);)
        events.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(events.size(), 3u) << printed;
    EXPECT_EQ(events[0]["value"], 0x0006);
    EXPECT_FALSE(events[0].contains("before"));
    EXPECT_EQ(events[1]["clause"], 22);
    EXPECT_EQ(events[2]["mmd"], 1);
    EXPECT_EQ(events[2]["before"], 0x0006);
    EXPECT_EQ(events[2]["value"], 0x0002);
    EXPECT_GT(events[2]["seconds"].get<double>(), 0.0);
}

// --fast leaves the preamble out only where the PHY takes frames without it:
// its status register must allow it and the burst must agree with the
// registers read with the full preamble in the same transfer. Whatever is
// decided, the values are the plain reads' and the preamble is whole again
// after the dump.
TEST_F(InProcess, FastDumpLeavesThePreambleOutOnlyWhereThePhyTakesFramesWithoutIt) {
    mdiosim::Phy& phy = mdiosim::bench()->board(kBoard).phy(1);
    const mdioctl::RegisterRange range{false, 1, 0, 16};
    const std::vector<std::uint16_t> plain = session.readRange(0, 1, range, range.count);
    struct Row {
        const char* what;
        std::function<void()> setUp;
        std::uint32_t preambleBits;
        std::uint64_t roundTrips;
        std::string note;
    };
    const Row rows[] = {
        // The status read, then the burst; then the burst again in full.
        {"status allows it but the PHY ignores such frames",
         [&] {
             phy.setPreamble(32, false);
             phy.setClause22(1, 0x796D);
         },
         32, 3, "mdioctl: note: PHY 1 reads otherwise without preamble; read the plain way\n"},
        {"the PHY accepts it", [&] { phy.setPreamble(32, true); }, 0, 2, ""},
        {"status bit 6 clear", [&] { phy.setClause22(1, 0x792D); }, 32, 2,
         "mdioctl: note: PHY 1 does not accept frames without preamble (status bit 6); read the "
         "plain way\n"},
    };
    for (const Row& row : rows) {
        row.setUp();
        const mdiosim::Counters before = mdiosim::bench()->board(kBoard).counters();
        mdioctl::FastReadReport report;
        EXPECT_EQ(mdioctl::readRangeFast(session, 0, 1, range, range.count, true, report), plain)
            << row.what;
        const mdiosim::Counters after = mdiosim::bench()->board(kBoard).counters();
        EXPECT_EQ(report.preambleBits, row.preambleBits) << row.what;
        EXPECT_TRUE(report.burst) << row.what;
        EXPECT_EQ(after.usbWrites - before.usbWrites, row.roundTrips) << row.what;
        EXPECT_EQ(mdiohost_preamble(0, 1), 32) << row.what;

        testing::internal::CaptureStderr();
        mdioctl::dumpRegisters(session, out, "0", 1, range, true);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), row.note) << row.what;
        EXPECT_EQ(out.document["values"], nlohmann::json(plain)) << row.what;
    }
}
