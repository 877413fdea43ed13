// The library on a Linux machine without the vendor's driver: it loads the
// libftdi1 driver beside itself, which reaches the bench's boards through
// libftdi1 and libusb, with the USB devices emulated at the kernel interface.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "EmulatedUsbBus.h"
#include "mdiohost.h"
#include "mdiohost_ext.h"
#include "mdiosim/Bench.h"

namespace {

constexpr unsigned kBatchReads = 1000;
constexpr std::uint16_t kFirstRegister = 0x8000;
constexpr unsigned kPhy = 3;
constexpr unsigned kPmaPmd = 1;

std::uint16_t patternAt(unsigned index) {
    return static_cast<std::uint16_t>(index * 0x9E37 + 0x1234);
}

// The default bench plus a K8 board on a two-channel FT2232H.
mdiosim::BenchDescription benchWithDualChannelBoard() {
    mdiosim::BenchDescription described = mdiosim::defaultBenchDescription();
    mdiosim::BoardDescription dual;
    dual.serialNumber = "K8C00002";
    dual.description = "K8D MDIO";
    dual.chipType = 6;
    dual.phys.push_back(described.boards[1].phys[0]);
    described.boards.push_back(dual);
    return described;
}

class OpenDriverSession : public testing::Test {
  protected:
    void SetUp() override {
        unsetenv("MDIOHOST_D2XX");
        mdiosim::resetBench(benchWithDualChannelBoard());
        bus.plug("K8A00001", 1);
        bus.plug("AA000001", 2);
        bus.plug("TV00001B", 3);
        bus.plug("K8C00002", 4);
        ASSERT_EQ(HW_Initialize(), 1u);
    }
    void TearDown() override { HW_Close(); }

    static std::string failure() { return HW_Fail() ? HW_Error() : ""; }
    static std::uint32_t opened(const char* name) {
        const std::uint32_t adapter = HW_DeviceNumber(name);
        EXPECT_EQ(HW_OpenAdapter(adapter), 1u) << name << ": " << failure();
        return adapter;
    }
    static mdiosim::Phy& phy(const char* serialNumber) {
        return mdiosim::bench()->board(serialNumber).phy(kPhy);
    }
    static void fillPattern() {
        auto bench = mdiosim::bench();
        for (unsigned index = 0; index < kBatchReads; ++index) {
            bench->board("K8A00001")
                .phy(kPhy)
                .setClause45(kPmaPmd, static_cast<std::uint16_t>(kFirstRegister + index),
                             patternAt(index));
        }
    }
    static void queueBatch(std::uint32_t adapter) {
        for (unsigned index = 0; index < kBatchReads; ++index)
            HW_BlockReadAdapter(adapter, kPhy, kPmaPmd, kFirstRegister + index);
    }

    e2e::EmulatedUsbBus bus;
};

}  // namespace

TEST_F(OpenDriverSession, EnumeratesEveryBoardThroughLibusb) {
    std::vector<std::string> names;
    for (std::uint32_t index = 0; index < HW_NumberOfDevices(); ++index)
        names.push_back(HW_Device(index));
    const std::vector<std::string> expected = {"AA000001",  "K8A00001:I2C", "K8A00001:MDIO",
                                               "K8C00002A", "K8C00002B",    "TV00001B"};
    EXPECT_EQ(names, expected) << failure();
    const std::string driver = mdiohost_driver_path();
    EXPECT_EQ(driver.substr(driver.rfind('/') + 1), "libmdiohost-ftdi.so");
}

TEST_F(OpenDriverSession, BringUpAndABatchOfAThousandClause45Reads) {
    fillPattern();
    const std::uint32_t adapter = opened("K8A00001:MDIO");
    // Open took the interface from the kernel's serial driver.
    EXPECT_FALSE(bus.kernelDriverBound("K8A00001", 0));
    EXPECT_EQ(HW_Read(adapter, kPhy, kPmaPmd, kFirstRegister), patternAt(0)) << failure();

    queueBatch(adapter);
    const auto* values =
        reinterpret_cast<const std::uint32_t*>(HW_BlockOperationExecuteAdapter(adapter, kPhy));
    ASSERT_NE(values, nullptr) << failure();
    ASSERT_EQ(HW_BlockReadQueueSize(), kBatchReads);
    unsigned wrong = 0;
    for (unsigned index = 0; index < kBatchReads; ++index) {
        if (values[index] != patternAt(index)) ++wrong;
    }
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(failure(), "");

    // Closing gives the interface back to the kernel.
    EXPECT_EQ(HW_CloseAdapter(adapter), 1u) << failure();
    EXPECT_TRUE(bus.kernelDriverBound("K8A00001", 0));
}

TEST_F(OpenDriverSession, ChannelAOfTheDualChannelChipReachesItsPhy) {
    const std::uint32_t adapter = opened("K8C00002A");
    // Only the opened channel left the kernel's serial driver.
    EXPECT_FALSE(bus.kernelDriverBound("K8C00002", 0));
    EXPECT_TRUE(bus.kernelDriverBound("K8C00002", 1));
    EXPECT_EQ(HW_Read(adapter, 0, kPmaPmd, 2), 0x7C0Au) << failure();
    // Channel B opens on its own endpoints; nothing is wired to it.
    opened("K8C00002B");
    EXPECT_FALSE(bus.kernelDriverBound("K8C00002", 1));
}

TEST_F(OpenDriverSession, OlderFamilyBoardRegistersThroughTheBytePipe) {
    // A full-speed FT232R: 64-byte packets, the chip in bit mode reset.
    const std::uint32_t older = opened("TV00001B");
    EXPECT_EQ(Board_ReadAdapter(older, 0), 0x54u) << failure();  // board id
    EXPECT_EQ(HW_Read(older, 1, kPmaPmd, 2), 0x7C0Au) << failure();
}

TEST_F(OpenDriverSession, ChipThatStopsAnsweringTimesOutAfterSixEmptyReads) {
    const std::uint32_t adapter = opened("K8A00001:MDIO");
    bus.silence("K8A00001", true);
    // Each read returns empty when its second passes; the sixth gives up.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(HW_Read(adapter, kPhy, kPmaPmd, kFirstRegister), 0u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
    EXPECT_EQ(failure(), "Device Communication problem: K8A00001: Timed out reading data.");
}

TEST_F(OpenDriverSession, UnplugMidBatchFailsClearlyUntilReplugged) {
    fillPattern();
    const std::uint32_t adapter = opened("K8A00001:MDIO");
    queueBatch(adapter);
    // The batch's bytes reach the chip, then the board is gone.
    bus.unplugAfterBulkOut("K8A00001", 1);
    EXPECT_EQ(HW_BlockOperationExecuteAdapter(adapter, kPhy), 0u);
    EXPECT_EQ(HW_Fail(), 1);
    EXPECT_EQ(std::string(HW_Error()).rfind("Device Communication problem: K8A00001: ", 0), 0u)
        << HW_Error();

    bus.unplug("K8A00001");
    HW_CloseAdapter(adapter);
    HW_Initialize();
    EXPECT_EQ(HW_OpenAdapter(adapter), 0u);
    EXPECT_EQ(HW_Fail(), 1);

    bus.plug("K8A00001", 1);
    HW_Initialize();
    ASSERT_EQ(HW_OpenAdapter(adapter), 1u) << failure();
    EXPECT_EQ(HW_Read(adapter, kPhy, kPmaPmd, kFirstRegister + 7), patternAt(7)) << failure();
}

#if defined(MDIOCTL_PATH)
TEST_F(OpenDriverSession, MdioctlListsTheBoardsAndNamesTheDriver) {
    // mdioctl is a process of its own; it inherits the emulated bus.
    std::FILE* output = popen(MDIOCTL_PATH " list --verbose", "r");
    ASSERT_NE(output, nullptr);
    std::string text;
    char line[256];
    while (std::fgets(line, sizeof line, output) != nullptr)
        text += line;
    EXPECT_EQ(pclose(output), 0) << text;
    EXPECT_NE(text.find("/libmdiohost-ftdi.so\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" 2  K8A00001:MDIO            K8 MDIO       free\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find(" 5  TV00001B                 older family  free\n"), std::string::npos)
        << text;
}

#endif

int main(int argc, char** argv) {
    e2e::runUnderUmockdev(argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
