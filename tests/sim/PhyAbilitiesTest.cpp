// What a PHY accepts decides whether it answers: the Clause 45
// post-read-increment read (a suppressed preamble: MdioFramesTest). A PHY
// that lacks it stays off the line, so the host reads all ones. And MDIO
// setup at every rising MDC edge.
#include <gtest/gtest.h>

#include "SimHarness.h"

using namespace simtest;

namespace {

constexpr unsigned kPlain = 3;    // needs the full 32-bit preamble, no post-increment
constexpr unsigned kAbleOne = 5;  // accepts suppression and implements post-increment
constexpr unsigned kMmd = 1;
constexpr unsigned kAddressOp = 0, kWriteOp = 1, kReadIncrementOp = 2, kReadOp = 3;
constexpr unsigned kClause22Write = 1, kClause22Read = 2;
const Bytes kNobodyAnswered{0x03, 0xFF, 0xFF};
const Bytes kIdleClockHigh{0x80, 0x03, 0x03};  // MDC and MDIO high in one pin write
const Bytes kIdleClockLow{0x80, 0x02, 0x03};   // MDIO high, MDC still low

Bytes answer(std::uint16_t value) {
    return {0x02, static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

class PhyAbilities : public testing::Test {
  protected:
    PhyAbilities() {
        phy(kPlain).setPreamble(32, false);
        phy(kPlain).setPostReadIncrement(false);
        phy(kAbleOne).setPreamble(32, true);
        for (unsigned port : {kPlain, kAbleOne}) {
            for (std::uint16_t offset = 0; offset < 4; ++offset)
                phy(port).setClause45(kMmd, 0x10 + offset, 0xA000 + 0x100 * port + offset);
        }
    }
    mdiosim::Phy& phy(unsigned address) { return mdiosim::bench()->board(0).phy(address); }
    std::uint64_t setupViolations() {
        return mdiosim::bench()->board(0).counters().mdioSetupViolations;
    }

    UseBench bench{k8Bench({kPlain, kAbleOne})};
    OpenDevice device{"K8T00001"};
};

}  // namespace

TEST(PhyAbility, TheStatusRegisterShowsWhetherSuppressionIsAccepted) {
    for (const std::uint16_t described : {0x796D, 0x792D}) {
        mdiosim::PhyDescription description;
        description.clause22[1] = described;
        description.acceptsPreambleSuppression = false;
        mdiosim::Phy plain(description);
        description.acceptsPreambleSuppression = true;
        mdiosim::Phy able(description);
        EXPECT_EQ(plain.clause22ReadFrame(1), 0x792D);
        EXPECT_EQ(able.clause22ReadFrame(1), 0x796D);
        plain.setPreamble(32, true);
        EXPECT_EQ(plain.clause22(1), 0x796D);
    }
}

TEST_F(PhyAbilities, PostReadIncrementReadsNeedAPhyThatImplementsThem) {
    const Bytes burst = clause45Frame(kAddressOp, kPlain, kMmd, 0x10) +
                        clause45Frame(kReadIncrementOp, kPlain, kMmd, 0) +
                        clause45Frame(kReadIncrementOp, kPlain, kMmd, 0) +
                        clause45Frame(kReadOp, kPlain, kMmd, 0) + flush();
    // The PHY without it ignores both increment reads: its address stays at
    // 0x10, where the plain read then finds the first register.
    EXPECT_EQ(device.exchange(burst, 9), kNobodyAnswered + kNobodyAnswered + answer(0xA300));
    EXPECT_EQ(phy(kPlain).clause45AddressRegister(kMmd), 0x10);

    const Bytes able = clause45Frame(kAddressOp, kAbleOne, kMmd, 0x10) +
                       clause45Frame(kReadIncrementOp, kAbleOne, kMmd, 0) +
                       clause45Frame(kReadIncrementOp, kAbleOne, kMmd, 0) +
                       clause45Frame(kReadOp, kAbleOne, kMmd, 0) + flush();
    EXPECT_EQ(device.exchange(able, 9), answer(0xA500) + answer(0xA501) + answer(0xA502));
    EXPECT_EQ(phy(kAbleOne).clause45AddressRegister(kMmd), 0x12);
}

TEST_F(PhyAbilities, MdioMovingWithTheRisingClockIsASetupViolation) {
    const struct {
        const char* what;
        Bytes stream;
        std::uint64_t violations;
    } rows[] = {
        {"write ending in 0, then MDC and MDIO rise together",
         clause22Frame(kClause22Write, kPlain, 4, 0x0030) + kIdleClockHigh, 1},
        {"write ending in 1: MDIO does not move",
         clause22Frame(kClause22Write, kPlain, 4, 0x0031) + kIdleClockHigh, 0},
        {"MDIO raised half a period before MDC",
         clause22Frame(kClause22Write, kPlain, 4, 0x0030) + kIdleClockLow + kIdleClockHigh, 0},
        {"a read: the PHY released the line after its last bit",
         clause22Frame(kClause22Read, kPlain, 4, 0) + flush(), 0},
        {"Clause 45 write ending in 0, twice",
         clause45Frame(kWriteOp, kAbleOne, kMmd, 0x1110) + kIdleClockHigh +
             clause45Frame(kWriteOp, kAbleOne, kMmd, 0x2220) + kIdleClockHigh,
         2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        mdiosim::bench()->board(0).resetCounters();
        device.write(row.stream);
        (void)device.read(3);
        EXPECT_EQ(setupViolations(), row.violations);
    }
    // Counted, not acted on: the PHY decodes the level after the edge, so the
    // write landed and the next frame is in step.
    EXPECT_EQ(phy(kAbleOne).clause45(kMmd, 0), 0x2220);
}
