// Reading the device list into adapters: order, names, what is skipped.
#include <string>
#include <vector>

#include "RegistryFixture.h"

namespace {

std::vector<std::string> listedNames() {
    std::vector<std::string> names;
    char** list = HW_DeviceList();
    for (int slot = 0; slot < 64 && list[slot] != nullptr; ++slot)
        names.emplace_back(list[slot]);
    return names;
}

}  // namespace

TEST_F(RegistryTest, NewBoardsAreIndexedInByteWiseSerialOrder) {
    EXPECT_EQ(HW_NumberOfDevices(), 0u);
    EXPECT_EQ(HW_DeviceList()[0], nullptr);
    driver.addDevice("FT2", "K8D MDIO");
    driver.addDevice("FT10B", "older board");
    driver.addDevice("FT10", "K8D MDIO");
    driver.addDevice("AB1", "unknown board");  // neither family: never an adapter
    driver.addDevice("K8S", "K8D I2C JTAG");   // one adapter per protocol
    EXPECT_EQ(HW_NumberOfDevices(), 5u);
    EXPECT_EQ(listedNames(),
              (std::vector<std::string>{"FT10", "FT10B", "FT2", "K8S:I2C", "K8S:JTAG"}));
    EXPECT_EQ(HW_Device(5), nullptr);
    EXPECT_EQ(HW_Fail(), 0);
    EXPECT_EQ(HW_Device_Revision(), 0u);
}

TEST_F(RegistryTest, EnumeratingAgainKeepsIndicesAndNameStrings) {
    driver.addDevice("B2B", "older board");
    driver.addDevice("A1", "K8D MDIO");
    ASSERT_EQ(HW_NumberOfDevices(), 2u);
    const char* first = HW_Device(0);
    // A board plugged in later goes behind the known ones, whatever its serial.
    driver.addDevice("A0", "K8D MDIO");
    EXPECT_EQ(HW_NumberOfDevices(), 3u);
    EXPECT_EQ(HW_Device(0), first);
    EXPECT_STREQ(HW_Device(0), "A1");
    EXPECT_STREQ(HW_Device(2), "A0");
    // Unplugged: the adapter keeps its index and name.
    driver.devices.clear();
    EXPECT_EQ(HW_NumberOfDevices(), 3u);
    EXPECT_STREQ(HW_Device_FullName(2), "A0");
}

TEST_F(RegistryTest, DriverFailuresAreReportedAndAddNothing) {
    driver.addDevice("A1", "K8D MDIO");
    driver.failNext("FT_CreateDeviceInfoList", 4);
    testing::internal::CaptureStderr();
    EXPECT_EQ(HW_NumberOfDevices(), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error retrieving device list: IO Error.\n");

    driver.failNext("FT_GetDeviceInfoList", 19);
    testing::internal::CaptureStderr();
    EXPECT_EQ(HW_NumberOfDevices(), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error retrieving device information: Device list not ready.\n");
    EXPECT_EQ(HW_Fail(), 0);
    EXPECT_EQ(HW_NumberOfDevices(), 1u);
}

TEST_F(RegistryTest, AbsurdDeviceCountIsRefusedWithoutAskingForTheList) {
    driver.addDevice("A1", "K8D MDIO");
    for (const std::uint32_t claimed : {8129u, 1000000u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        SCOPED_TRACE(claimed);
        driver.claimedDeviceCount = claimed;
        driver.forget();
        testing::internal::CaptureStderr();
        EXPECT_EQ(HW_NumberOfDevices(), 0u);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "Error retrieving device list: the driver reports " + std::to_string(claimed) +
                      " devices, more than the 8128 a USB host can hold.\n");
        EXPECT_EQ(driver.operations(), (std::vector<std::string>{"FT_CreateDeviceInfoList"}));
    }
    // The most a host can hold is still believed.
    driver.claimedDeviceCount = 8128;
    EXPECT_EQ(HW_NumberOfDevices(), 1u);
    EXPECT_EQ(HW_Fail(), 0);
}

TEST_F(RegistryTest, SerialNumberFillingItsWholeFieldIsReadAndBoardsOpenElsewhereSkipped) {
    driver.addDevice("A1", "K8D MDIO", FTDI::D2xx::kFlagOpened);
    driver.addDevice("ABCDEFGHIJKLMNOB", "older board");  // 16 characters, no terminator
    EXPECT_EQ(listedNames(), (std::vector<std::string>{"ABCDEFGHIJKLMNOB"}));
}

using RegistryDeathTest = RegistryTest;

// T100B, T101B, ...: built by appending, since "T" + a temporary draws a
// false overlap warning from GCC 12 at -O3.
std::string olderBoardSerial(int board) {
    std::string serial = "T";
    serial += std::to_string(100 + board);
    serial += 'B';
    return serial;
}

TEST_F(RegistryDeathTest, MoreThanSixtyFourAdaptersEndTheProcess) {
    for (int board = 0; board < 65; ++board) {
        driver.addDevice(olderBoardSerial(board), "older board");
    }
    EXPECT_EXIT(HW_NumberOfDevices(), testing::ExitedWithCode(1),
                "Error: Too many devices connected. Code needs modified. Current limit: 64\n");
}

TEST_F(RegistryDeathTest, ExactlySixtyFourAdaptersAreFine) {
    for (int board = 0; board < 64; ++board) {
        driver.addDevice(olderBoardSerial(board), "older board");
    }
    EXPECT_EQ(HW_NumberOfDevices(), 64u);
    EXPECT_STREQ(HW_Device(63), "T163B");
}

TEST_F(RegistryDeathTest, ASecondRegistryEndsTheProcess) {
    EXPECT_EXIT(TalvikControl second, testing::ExitedWithCode(1),
                "Only one instance of TalvikControl can be created.\n");
}
