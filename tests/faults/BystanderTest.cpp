// A failed close of one board followed by its unplug leaves every other
// board open and working: the walk of HW_Close stops at the failed close,
// the boards after it keep their handles, and a second HW_Close closes them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "SimulatedBench.h"
#include "mdiohost.h"
#include "mdiosim/Bench.h"

namespace {

using mdiosim::D2xxOperation;

constexpr std::uint32_t kIoError = 4;
constexpr std::uint32_t kPhy = 1;
constexpr std::uint32_t kMmd = 1;
constexpr std::uint32_t kIdentifier = 2;

// The default bench's adapters in index order, and the board behind each.
struct Adapter {
    const char* name;
    const char* serialNumber;
};
constexpr Adapter kAdapters[] = {{"AA000001", "AA000001"},
                                 {"K8A00001:I2C", "K8A00001"},
                                 {"K8A00001:MDIO", "K8A00001"},
                                 {"TV00001B", "TV00001B"}};
constexpr std::uint32_t kAdapterCount = 4;

std::string failure() {
    return testing_support::recordedFailure();
}

std::uint32_t identifierOn(const char* serialNumber) {
    return mdiosim::bench()->board(serialNumber).phy(kPhy).clause45(kMmd, kIdentifier);
}

class FailedCloseThenUnplug : public testing::TestWithParam<std::uint32_t> {
  protected:
    void SetUp() override {
        testing_support::useSimulatedBench();
        mdiosim::reloadBench();
        HW_Initialize();
        ASSERT_EQ(HW_NumberOfDevices(), kAdapterCount);
        for (std::uint32_t index = 0; index < kAdapterCount; ++index) {
            ASSERT_STREQ(HW_Device(index), kAdapters[index].name);
            ASSERT_EQ(HW_OpenAdapter(index), 1u) << kAdapters[index].name << ": " << failure();
        }
    }

    static const char* victimBoard() { return kAdapters[GetParam()].serialNumber; }
    static bool onVictimBoard(std::uint32_t index) {
        return std::string(kAdapters[index].serialNumber) == victimBoard();
    }

    // Every MDIO adapter of another board from `first` on reads its PHY right.
    void expectOtherBoardsWork(std::uint32_t first = 0) {
        for (std::uint32_t index = first; index < kAdapterCount; ++index) {
            if (onVictimBoard(index) || index == 1) continue;  // index 1 is the I2C side
            HW_Initialize();
            EXPECT_EQ(HW_Read(index, kPhy, kMmd, kIdentifier),
                      identifierOn(kAdapters[index].serialNumber))
                << kAdapters[index].name;
            EXPECT_EQ(failure(), "") << kAdapters[index].name;
        }
    }
};

}  // namespace

TEST_P(FailedCloseThenUnplug, LeavesTheOtherBoardsOpenAndWorking) {
    mdiosim::bench()->failCall(D2xxOperation::Close, 1, kIoError, victimBoard());
    // Close the victim's adapters (the last one of a board closes its USB device).
    HW_Initialize();
    for (std::uint32_t index = 0; index < kAdapterCount; ++index) {
        if (onVictimBoard(index)) HW_CloseAdapter(index);
    }
    EXPECT_NE(failure().find("Couldn't close.: IO Error."), std::string::npos) << failure();
    mdiosim::bench()->scheduleUnplug(victimBoard(), 0);
    expectOtherBoardsWork();

    // Plugged back in, the victim opens again as if nothing had happened.
    mdiosim::bench()->board(victimBoard()).replug();
    HW_Initialize();
    EXPECT_EQ(HW_OpenAdapter(GetParam()), 1u) << failure();
    expectOtherBoardsWork();
}

TEST_P(FailedCloseThenUnplug, HwCloseStopsAtTheFailureAndASecondCallClosesTheRest) {
    mdiosim::bench()->failCall(D2xxOperation::Close, 1, kIoError, victimBoard());
    HW_Initialize();
    HW_Close();
    EXPECT_NE(failure().find("Couldn't close.: IO Error."), std::string::npos) << failure();
    mdiosim::bench()->scheduleUnplug(victimBoard(), 0);
    // The walk closed the boards before the failure; those behind it were not
    // reached and still work.
    expectOtherBoardsWork(GetParam() + 1);

    HW_Initialize();
    HW_Close();
    EXPECT_EQ(failure(), "");
    for (std::uint32_t index = 0; index < kAdapterCount; ++index) {
        const std::string serial = kAdapters[index].serialNumber;
        if (serial != victimBoard()) {
            EXPECT_FALSE(mdiosim::bench()->board(serial).isOpen()) << serial;
        }
    }
    EXPECT_EQ(HW_GetDefaultAdapter(), 0u);
}

std::string boardName(const testing::TestParamInfo<std::uint32_t>& info) {
    std::string name = kAdapters[info.param].serialNumber;
    return name;
}

// One victim per board: AA000001, K8A00001 (both its adapters), TV00001B.
INSTANTIATE_TEST_SUITE_P(Victims, FailedCloseThenUnplug, testing::Values(0u, 2u, 3u), boardName);
