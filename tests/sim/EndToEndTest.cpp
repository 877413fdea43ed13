// The library on the simulated bench: its real bring-up and MDIO bytes reach
// the modelled chips and PHYs, which are the independent check of them.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "SimulatedBench.h"
#include "mdiohost.h"
#include "mdiosim/Bench.h"
#include "registry/TalvikControl.h"

namespace {

class EndToEnd : public testing::Test {
  protected:
    EndToEnd() {
        testing_support::useSimulatedBench();
        HW_Initialize();
    }
    static std::string failure() { return HW_Fail() ? HW_Error() : ""; }
};

}  // namespace

TEST_F(EndToEnd, TheDefaultBenchListsItsAdapters) {
    ASSERT_EQ(HW_NumberOfDevices(), 4u) << failure();
    std::set<std::string> names;
    for (std::uint32_t index = 0; index < 4; ++index)
        names.insert(HW_Device(index));
    EXPECT_EQ(names,
              (std::set<std::string>{"K8A00001:I2C", "K8A00001:MDIO", "AA000001", "TV00001B"}));
}

TEST_F(EndToEnd, K8RegistersReadAndWrittenThroughTheLibrary) {
    HW_NumberOfDevices();
    const std::uint32_t adapter = HW_DeviceNumber("K8A00001:MDIO");
    ASSERT_EQ(HW_OpenAdapter(adapter), 1u) << failure();
    EXPECT_EQ(mdiosim::bench()->board("K8A00001").chip().clockHz, 5e6);

    TalvikControl& control = registry();
    EXPECT_EQ(control.read(adapter, 3, 1, 2), 0x7C0Au);
    EXPECT_EQ(control.readC22(adapter, 2, 3), 0x4C21u);
    control.write(adapter, 1, 30, 0xC47C, 0xBEEF);
    EXPECT_EQ(mdiosim::bench()->board("K8A00001").phy(1).clause45(30, 0xC47C), 0xBEEF);
    control.write32(adapter, 0, 0x000200, 0x12345678);
    EXPECT_EQ(control.read32(adapter, 0, 0x000200), 0x12345678u);
    EXPECT_EQ(control.read(adapter, 9, 1, 2), 0xFFFFu);  // no PHY at 9
    EXPECT_EQ(failure(), "");
    HW_CloseAdapter(adapter);
}

TEST_F(EndToEnd, OlderFamilyRegistersThroughItsController) {
    HW_NumberOfDevices();
    const std::uint32_t adapter = HW_DeviceNumber("TV00001B");
    ASSERT_EQ(HW_OpenAdapter(adapter), 1u) << failure();
    TalvikControl& control = registry();
    mdiosim::bench()->board("TV00001B").phy(1).setClause45(7, 0x0010, 0x0A0B);
    EXPECT_EQ(control.read(adapter, 1, 7, 0x0010), 0x0A0Bu);
    control.write(adapter, 0, 30, 0x0210, 0x8001);
    EXPECT_EQ(mdiosim::bench()->board("TV00001B").phy(0).clause45(30, 0x0210), 0x8001);
    EXPECT_EQ(failure(), "");
}

TEST_F(EndToEnd, AnUnpluggedBoardIsAReportedFailure) {
    HW_NumberOfDevices();
    const std::uint32_t adapter = HW_DeviceNumber("AA000001");
    ASSERT_EQ(HW_OpenAdapter(adapter), 1u) << failure();
    mdiosim::bench()->board("AA000001").unplug();
    registry().blockRead(adapter, 0, 1, 2);
    EXPECT_THROW(registry().blockOperationExecute(adapter, 0), std::exception);
}
