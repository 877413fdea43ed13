// The library on the simulated bench: its real bring-up and MDIO bytes reach
// the modelled chips and PHYs, which are the independent check of them.
#include <gtest/gtest.h>

#include <string>

#include "SimulatedBench.h"
#include "mdiohost.h"
#include "mdiosim/Bench.h"
#include "registry/TalvikControl.h"

using testing_support::openOnBench;
using testing_support::recordedFailure;

TEST(EndToEnd, K8RegistersReadAndWrittenThroughTheLibrary) {
    const std::uint32_t adapter = openOnBench("K8A00001:MDIO");
    EXPECT_EQ(mdiosim::bench()->board("K8A00001").chip().clockHz, 5e6);

    TalvikControl& control = registry();
    EXPECT_EQ(control.read(adapter, 3, 1, 2), 0x7C0Au);
    EXPECT_EQ(control.readC22(adapter, 2, 3), 0x4C21u);
    control.write(adapter, 1, 30, 0xC47C, 0xBEEF);
    EXPECT_EQ(mdiosim::bench()->board("K8A00001").phy(1).clause45(30, 0xC47C), 0xBEEF);
    control.write32(adapter, 0, 0x000200, 0x12345678);
    EXPECT_EQ(control.read32(adapter, 0, 0x000200), 0x12345678u);
    EXPECT_EQ(control.read(adapter, 9, 1, 2), 0xFFFFu);  // no PHY at 9
    EXPECT_EQ(recordedFailure(), "");
    HW_CloseAdapter(adapter);
}
