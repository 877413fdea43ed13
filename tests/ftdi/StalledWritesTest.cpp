// A driver that accepts nothing for a while and then a byte again is slow,
// not stuck: only writes that accept nothing in a row count towards giving
// up, so a long batch through a slow driver never times out.
#include <gtest/gtest.h>

#include <deque>
#include <numeric>
#include <vector>

#include "Failure.h"
#include "ScriptedDriver.h"
#include "ftdi/AdapterPort.h"

using testing_support::Bytes;
using testing_support::failureOf;

namespace {

constexpr unsigned kStallsAllowed = FTDI::kMaxStalledWrites;
const char* const kTimedOut = "Device Communication problem: FT1234: Timed out writing data.";

struct SlowDriverRow {
    const char* what;
    std::deque<std::uint32_t> acceptance;  // bytes accepted per call, in order
    unsigned bytes;
    const char* failure;  // "no failure" or the text
};

std::deque<std::uint32_t> stallsThenOne(unsigned stalls, unsigned rounds) {
    std::deque<std::uint32_t> acceptance;
    for (unsigned round = 0; round < rounds; ++round) {
        acceptance.insert(acceptance.end(), stalls, 0);
        acceptance.push_back(1);
    }
    return acceptance;
}

}  // namespace

TEST(StalledWrites, CountOnlyInARow) {
    const std::vector<SlowDriverRow> rows = {
        // 40 bytes, each after the most stalls allowed: 200 stalls in total.
        {"the most stalls before each byte", stallsThenOne(kStallsAllowed, 40), 40, "no failure"},
        {"one stall too many before the 3rd byte",
         [] {
             auto acceptance = stallsThenOne(kStallsAllowed, 2);
             acceptance.insert(acceptance.end(), kStallsAllowed + 1, 0);
             return acceptance;
         }(),
         3, kTimedOut},
        {"one stall too many at once", std::deque<std::uint32_t>(kStallsAllowed + 1, 0), 1,
         kTimedOut},
    };
    for (const SlowDriverRow& row : rows) {
        SCOPED_TRACE(row.what);
        testing_support::ScriptedDriver& driver = testing_support::installScriptedDriver();
        FTDI::AdapterPort device{"FT1234:MDIO", "FT1234", "K8U MDIO"};
        Bytes bytes(row.bytes);
        std::iota(bytes.begin(), bytes.end(), 1);
        driver.writeSizes = row.acceptance;
        EXPECT_EQ(failureOf([&] { device.writeBytes(bytes.data(), row.bytes); }), row.failure);
        EXPECT_EQ(driver.count("FT_Write"), row.acceptance.size());
        if (std::string(row.failure) == "no failure") {
            EXPECT_EQ(driver.written(), bytes);
        }
    }
}
