// What lets a run of hours go on: the bench's transaction log keeps its most
// recent entries within a bound, and armed faults can be disarmed without
// rebuilding the boards (which would invalidate the host's handles).
#include <gtest/gtest.h>

#include <cstdint>

#include "SimulatedBench.h"
#include "mdiohost.h"
#include "mdiosim/Bench.h"

namespace {

mdiosim::Transaction numbered(std::uint32_t number) {
    mdiosim::Transaction transaction;
    transaction.value = number;
    return transaction;
}

}  // namespace

TEST(TransactionLog, KeepsTheMostRecentWithinItsBound) {
    mdiosim::TransactionLog log;
    constexpr std::size_t kBound = mdiosim::TransactionLog::kMostKept;
    for (std::uint32_t number = 0; number < kBound; ++number)
        log.record(numbered(number));
    EXPECT_EQ(log.all().size(), kBound);
    EXPECT_EQ(log.dropped(), 0u);

    // One more: the older half goes, the newest is last, nothing in between is lost.
    log.record(numbered(kBound));
    ASSERT_EQ(log.all().size(), kBound / 2 + 1);
    EXPECT_EQ(log.dropped(), kBound / 2);
    EXPECT_EQ(log.all().front().value, kBound / 2);
    EXPECT_EQ(log.all().back().value, kBound);
    for (std::size_t index = 1; index < log.all().size(); ++index)
        ASSERT_EQ(log.all()[index].value, log.all()[index - 1].value + 1) << index;
}

TEST(BenchFaults, ClearedFaultsAndPlugEventsNeverFire) {
    const std::uint32_t adapter = testing_support::openOnBench("TV00001B");
    {
        auto bench = mdiosim::bench();
        bench->failCall(mdiosim::D2xxOperation::Write, 1, 4, "TV00001B", 5);
        bench->scheduleUnplug("TV00001B", 2);
        bench->clearFaults();
    }
    const std::uint32_t expected = mdiosim::bench()->board("TV00001B").phy(1).clause45(1, 2);
    for (int read = 0; read < 5; ++read)
        EXPECT_EQ(HW_Read(adapter, 1, 1, 2), expected) << read;
    EXPECT_EQ(testing_support::recordedFailure(), "");
    EXPECT_TRUE(mdiosim::bench()->board("TV00001B").plugged());
}
