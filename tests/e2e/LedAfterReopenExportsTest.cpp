// A board with an RGB status LED shows its protocol's colour each time an
// adapter of it is opened, also after it was closed (closing stops the blink
// thread, which forgets the status; the next open must give it again).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include "SimulatedBench.h"
#include "mdiohost.h"
#include "mdiosim/Bench.h"

namespace {

constexpr std::uint8_t kMdioColour = 0x34;
constexpr std::uint8_t kLedPins = 0x3F;  // ACBUS0..5: a lit segment is an output driven low

std::uint8_t shownColour() {
    return mdiosim::bench()->board("K8A00001").highPins().direction & kLedPins;
}

// Whether the LED shows `colour` within 5 s (a fade from another colour takes
// under a second).
bool shows(std::uint8_t colour) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < giveUp) {
        if (shownColour() == colour) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

}  // namespace

TEST(RgbLed, ShowsTheProtocolColourAgainAfterCloseAndReopen) {
    const std::uint32_t mdio = testing_support::openOnBench("K8A00001:MDIO");
    EXPECT_TRUE(shows(kMdioColour)) << "first open: " << int{shownColour()};
    for (int reopening = 0; reopening < 2; ++reopening) {
        ASSERT_EQ(HW_CloseAdapter(mdio), 1u);
        // Closing resets the chip, which releases every pin.
        EXPECT_EQ(shownColour(), 0);
        ASSERT_EQ(HW_OpenAdapter(mdio), 1u) << testing_support::recordedFailure();
        EXPECT_TRUE(shows(kMdioColour)) << "reopened: " << int{shownColour()};
    }
    HW_Close();
}
