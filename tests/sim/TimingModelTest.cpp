// The timing model's charges beyond round trips and clock cycles: every MPSSE
// command, every bulk packet after the first of a transfer, and replies the
// chip holds until its latency timer runs out.
#include <gtest/gtest.h>

#include "SimHarness.h"

using namespace simtest;

namespace {

constexpr std::uint8_t kReadLowPins = 0x81;  // one command, one reply byte
constexpr std::uint8_t kSendImmediate = 0x87;
constexpr std::uint8_t kLatencyTimerMs = 2;

Bytes repeated(std::uint8_t byte, std::size_t count) {
    return Bytes(count, byte);
}

// A K8 board under `timing`, opened with a 2 ms latency timer and its
// counters cleared.
struct TimedBoard {
    explicit TimedBoard(const mdiosim::TimingModel& timing) : bench(benchWith(timing)) {
        EXPECT_EQ(FT_SetLatencyTimer(device.handle, kLatencyTimerMs), FTDI::D2xx::kOk);
        mdiosim::bench()->board(0).resetCounters();
    }
    static mdiosim::BenchDescription benchWith(const mdiosim::TimingModel& timing) {
        mdiosim::BenchDescription description = k8Bench({3});
        description.timing = timing;
        return description;
    }
    mdiosim::Counters counters() { return mdiosim::bench()->board(0).counters(); }

    UseBench bench;
    OpenDevice device{"K8T00001"};
};

}  // namespace

TEST(TimingModel, EachSettingPricesCommandsPacketsAndTheLatencyTimer) {
    const struct {
        const char* setting;
        double commandSeconds;
        double packetSeconds;
        bool latencyTimer;
    } rows[] = {
        {"ideal", 0, 0, false},
        {"optimistic", 0, 0, true},
        {"typical", 33e-9, 1e-6, true},
        {"pessimistic", 200e-9, 10e-6, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.setting);
        TimedBoard board(mdiosim::timingPreset(row.setting).value());
        // 1100 pin reads: 1100 bytes in three 512-byte packets, 1100 replies
        // in three packets of 510, the last one held by the chip because
        // nothing flushed it.
        board.device.write(repeated(kReadLowPins, 1100));
        EXPECT_EQ(board.device.read(1100).size(), 1100u);
        const mdiosim::Counters counters = board.counters();
        EXPECT_EQ(counters.mpsseCommands, 1100u);
        EXPECT_EQ(counters.usbPackets, 3u + 3u);
        EXPECT_NEAR(counters.commandSeconds, 1100 * row.commandSeconds, 1e-12);
        EXPECT_NEAR(counters.packetSeconds, 4 * row.packetSeconds, 1e-12);
        EXPECT_DOUBLE_EQ(counters.latencyTimerSeconds, row.latencyTimer ? 2e-3 : 0);
        EXPECT_NEAR(counters.modeledSeconds(),
                    counters.usbSeconds + counters.clockSeconds + counters.commandSeconds +
                        counters.packetSeconds + counters.latencyTimerSeconds,
                    1e-12);
    }
    EXPECT_FALSE(mdiosim::timingPreset("fast").has_value());
}

TEST(TimingModel, OnlyRepliesNobodyFlushedWaitForTheLatencyTimer) {
    const struct {
        const char* what;
        Bytes written;
        std::size_t replies;
        bool waits;
    } rows[] = {
        {"held", repeated(kReadLowPins, 3), 3, true},
        {"flushed", repeated(kReadLowPins, 3) + Bytes{kSendImmediate}, 3, false},
        {"flushed, then more held", Bytes{kReadLowPins, kSendImmediate, kReadLowPins}, 2, true},
        {"flushed part read alone", Bytes{kReadLowPins, kSendImmediate, kReadLowPins}, 1, false},
        {"bad command answered at once", Bytes{0xAB}, 2, false},
        {"one full packet goes by itself", repeated(kReadLowPins, 510), 510, false},
        {"and what is past it waits", repeated(kReadLowPins, 511), 511, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TimedBoard board(mdiosim::TimingModel{});
        board.device.write(row.written);
        EXPECT_EQ(board.device.read(row.replies).size(), row.replies);
        EXPECT_DOUBLE_EQ(board.counters().latencyTimerSeconds, row.waits ? 2e-3 : 0);
    }
}
