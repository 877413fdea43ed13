// The library's driver boundary loads the simulated bench as its D2XX driver
// and sees the same bench the test inspects.
#include <gtest/gtest.h>

#include <cstring>

#include "SimulatedBench.h"
#include "ftdi/Device.h"
#include "ftdi/d2xx/Driver.h"
#include "mdiosim/Bench.h"

using namespace FTDI::D2xx;

TEST(DriverBoundary, EnumeratesTheDefaultBenchAndTalksThroughIt) {
    testing_support::useSimulatedBench();
    Driver& loaded = driver();
    std::uint32_t count = 0;
    ASSERT_EQ(loaded.createDeviceInfoList(count), kOk);
    ASSERT_EQ(count, 3u);
    std::vector<DeviceListNode> nodes(count);
    ASSERT_EQ(loaded.getDeviceInfoList(nodes.data(), count), kOk);
    EXPECT_STREQ(nodes[0].SerialNumber, "K8A00001");
    EXPECT_STREQ(nodes[0].Description, "K8U MDIO I2C");
    EXPECT_STREQ(nodes[1].Description, "K8D MDIO");

    FTDI::Device device("K8A00001:MDIO", "K8A00001", "K8U MDIO I2C");
    ASSERT_EQ(loaded.openBySerialNumber("K8A00001", device.handle), kOk);
    ASSERT_EQ(loaded.setBitMode(device.handle, 0, kBitModeMpsse), kOk);
    const std::uint8_t probe = 0xAB;
    device.writeBytes(&probe, 1);
    std::uint8_t answer[2] = {};
    device.readBytes(answer, 2);
    EXPECT_EQ(answer[0], 0xFA);
    EXPECT_EQ(answer[1], 0xAB);

    // The test's view of the bench is the loaded library's.
    EXPECT_TRUE(mdiosim::bench()->board("K8A00001").isOpen());
    EXPECT_EQ(mdiosim::bench()->board("K8A00001").counters().bytesRead, 2u);
    EXPECT_EQ(loaded.close(device.handle), kOk);
    device.handle = nullptr;
}
