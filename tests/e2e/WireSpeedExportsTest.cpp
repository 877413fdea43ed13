// The wire-speed extensions on the default simulated bench: bursts read what
// single reads read, in queue order among the classic queued reads; the
// settings are kept per adapter and PHY; and every bad call is a recorded -1
// with nothing queued, nothing changed and the host's buffer untouched.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "OpenDefaultAdapters.h"
#include "SimulatedBench.h"
#include "mdiohost.h"
#include "mdiohost_ext.h"
#include "mdiosim/Bench.h"
#include "mdiosim/Board.h"
#include "mdiosim/Phy.h"

namespace {

using Values = std::vector<std::uint32_t>;

class WireSpeedExports : public OpenDefaultAdapters {
  protected:
    // The values a queued execute returns for the PHY.
    Values execute(std::uint32_t phy) const {
        const auto* first = reinterpret_cast<const std::uint32_t*>(
            static_cast<std::uintptr_t>(HW_BlockOperationExecuteAdapter(mdio, phy)));
        return first == nullptr ? Values{} : Values(first, first + HW_BlockReadQueueSize());
    }
};

// MMD 1 of every default PHY: control, status, the two identifiers, an
// unset register, devices in package.
const std::vector<std::uint16_t> kPmaRegisters{0x2040, 0x0006, 0x7C0A, 0x4C21,
                                               0x0000, 0x008B, 0xC000};

}  // namespace

TEST_F(WireSpeedExports, BurstsReadWhatSingleReadsReadInEveryEncoding) {
    for (const int compact : {0, 1}) {
        ASSERT_EQ(mdiohost_set_compact_encoding(mdio, compact), 0);
        std::vector<std::uint16_t> values(kPmaRegisters.size(), 0x5555);
        ASSERT_EQ(mdiohost_read_burst(mdio, 3, 1, 0, values.data(), 7), 0) << failure();
        EXPECT_EQ(values, kPmaRegisters) << "compact " << compact;

        // Queued, a burst's values come in queue order among the others'.
        HW_BlockReadAdapter(mdio, 3, 1, 2);
        ASSERT_EQ(mdiohost_block_read_burst(mdio, 3, 7, 2, 2), 0);
        HW_BlockReadAdapter(mdio, 3, 30, 0x20);
        EXPECT_EQ(execute(3), (Values{0x7C0A, 0x7C0A, 0x4C21, 0x0103})) << "compact " << compact;
    }
    EXPECT_EQ(failure(), "");
}

// Frames without preamble reach a PHY that accepts them and only that one:
// the other ignores them, and its bus reads all ones.
TEST_F(WireSpeedExports, SuppressedPreambleReachesOnlyAPhyThatAcceptsIt) {
    k8().phy(3).setPreamble(32, true);
    ASSERT_EQ(mdiohost_set_preamble(mdio, 3, 0), 0);
    ASSERT_EQ(mdiohost_set_preamble(mdio, 2, 0), 0);
    std::vector<std::uint16_t> accepting(3, 0);
    std::vector<std::uint16_t> ignoring(3, 0);
    ASSERT_EQ(mdiohost_read_burst(mdio, 3, 1, 2, accepting.data(), 3), 0);
    ASSERT_EQ(mdiohost_read_burst(mdio, 2, 1, 2, ignoring.data(), 3), 0);
    EXPECT_EQ(accepting, (std::vector<std::uint16_t>{0x7C0A, 0x4C21, 0x0000}));
    EXPECT_EQ(ignoring, (std::vector<std::uint16_t>{0xFFFF, 0xFFFF, 0xFFFF}));
    // Back to the full preamble, the same PHY answers again.
    ASSERT_EQ(mdiohost_set_preamble(mdio, 2, 32), 0);
    EXPECT_EQ(HW_Read(mdio, 2, 1, 2), 0x7C0Au);
    EXPECT_EQ(failure(), "");
}

TEST_F(WireSpeedExports, SettingsAreKeptPerAdapterAndPhyAndReadBack) {
    EXPECT_EQ(mdiohost_preamble(mdio, 3), 32);
    EXPECT_EQ(mdiohost_compact_encoding(mdio), 0);
    ASSERT_EQ(mdiohost_set_preamble(mdio, 3, 7), 0);
    EXPECT_EQ(mdiohost_preamble(mdio, 3), 7);
    EXPECT_EQ(mdiohost_preamble(mdio, 2), 32);
    ASSERT_EQ(mdiohost_set_compact_encoding(mdio, 5), 0);  // any nonzero value
    EXPECT_EQ(mdiohost_compact_encoding(mdio), 1);
    // A setting lasts while the adapter is open.
    HW_CloseAdapter(mdio);
    ASSERT_EQ(HW_OpenAdapter(mdio), 1u);
    EXPECT_EQ(mdiohost_preamble(mdio, 3), 32);
    EXPECT_EQ(mdiohost_compact_encoding(mdio), 0);
    EXPECT_EQ(failure(), "");
}

TEST_F(WireSpeedExports, BadCallsFailWithNothingQueuedOrChangedAndTheBufferUntouched) {
    std::array<std::uint16_t, 4> buffer{0x5555, 0x5555, 0x5555, 0x5555};
    const std::string noSettings =
        ": no wire-speed settings on this adapter (only K8 adapters whose protocol is MDIO have "
        "them).";
    struct Case {
        const char* what;
        std::function<int()> call;
        std::string failure;
    };
    const Case cases[] = {
        {"preamble over 32", [&] { return mdiohost_set_preamble(mdio, 3, 33); },
         "Preamble of 33 bits refused: 0 to 32."},
        {"PHY over 31", [&] { return mdiohost_set_preamble(mdio, 32, 0); },
         "K8A00001: Phy id, 32, out of range: min = 0, max = 31"},
        {"adapter-qualified PHY id", [&] { return mdiohost_preamble(mdio, 0x80000003u); },
         "K8A00001: Phy id, 2147483651, out of range: min = 0, max = 31"},
        {"older family", [&] { return mdiohost_preamble(older, 3); }, "TV00001B" + noSettings},
        {"I2C-bridged MDIO", [&] { return mdiohost_set_compact_encoding(i2c, 1); },
         "K8A00001:I2C" + noSettings},
        {"no such adapter", [&] { return mdiohost_compact_encoding(99); },
         "Device not found/in use: <index 99>"},
        {"burst of 0", [&] { return mdiohost_block_read_burst(mdio, 3, 1, 0, 0); },
         "Burst of 0 reads refused: 1 to 1024 go in one burst."},
        {"burst over the limit", [&] { return mdiohost_block_read_burst(mdio, 3, 1, 0, 1025); },
         "Burst of 1025 reads refused: 1 to 1024 go in one burst."},
        {"MMD over 31", [&] { return mdiohost_block_read_burst(mdio, 3, 32, 0, 1); },
         "MMD 32 out of range: 0 to 31."},
        {"MMD behind a bridge", [&] { return mdiohost_block_read_burst(mdio, 3, 11, 0, 1); },
         "MMD 11 is not reached by plain MDIO on this adapter; a burst needs it."},
        {"register over 0xFFFF", [&] { return mdiohost_block_read_burst(mdio, 3, 1, 0x10000, 1); },
         "Register address 0x10000 out of range: 0 to 0xFFFF."},
        {"burst past 0xFFFF", [&] { return mdiohost_block_read_burst(mdio, 3, 1, 0xFFFE, 3); },
         "Burst of 3 reads from 0xFFFE runs past register 0xFFFF."},
        {"null values", [&] { return mdiohost_read_burst(mdio, 3, 1, 0, nullptr, 2); },
         "Burst read of 2 registers with no buffer (null pointer)."},
        {"older family read", [&] { return mdiohost_read_burst(older, 3, 1, 0, buffer.data(), 4); },
         "TV00001B" + noSettings},
    };
    for (const Case& c : cases) {
        mdiohost_clear_failure();
        EXPECT_EQ(c.call(), -1) << c.what;
        EXPECT_EQ(failure(), c.failure) << c.what;
    }
    mdiohost_clear_failure();
    EXPECT_TRUE(execute(3).empty());
    EXPECT_EQ(mdiohost_preamble(mdio, 3), 32);
    EXPECT_EQ(mdiohost_compact_encoding(mdio), 0);
    EXPECT_EQ(buffer, (std::array<std::uint16_t, 4>{0x5555, 0x5555, 0x5555, 0x5555}));

    // A single-call burst never takes reads queued before it as its own.
    HW_BlockReadAdapter(mdio, 3, 1, 3);
    EXPECT_EQ(mdiohost_read_burst(mdio, 3, 1, 0, buffer.data(), 4), -1);
    EXPECT_EQ(
        failure(),
        "Reads are queued for PHY 3; collect them with HW_BlockOperationExecuteAdapter first.");
    EXPECT_EQ(buffer[0], 0x5555);
    EXPECT_EQ(execute(3), (Values{0x4C21}));
}
