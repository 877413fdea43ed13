// Opening and closing adapters, shared USB handles, defaults, look-up by name.
#include <chrono>
#include <string>
#include <vector>

#include "RegistryFixture.h"

namespace {

class OpenClose : public RegistryTest {
  protected:
    void SetUp() override {
        // One K8 board with two protocols (two adapters, one USB device), and
        // one board of the older family.
        driver.addDevice("K8S", "K8D MDIO JTAG");
        driver.addDevice("OLD1B", "older board");
        ASSERT_EQ(HW_Initialize(), 1u);
        ASSERT_EQ(HW_NumberOfDevices(), 3u);  // K8S:JTAG, K8S:MDIO, OLD1B
        driver.forget();
    }
    static constexpr std::uint32_t kJtag = 0, kMdio = 1, kOld = 2;
};

}  // namespace

TEST_F(OpenClose, AdaptersOfOneBoardShareOneUsbDevice) {
    ASSERT_EQ(HW_OpenAdapter(kMdio), 1u);
    EXPECT_EQ(driver.count("FT_OpenEx"), 1u);
    driver.forget();

    // The second protocol takes over the open handle: no bring-up; the board
    // has no LEDs, so only its GPIO pins set the high pin byte.
    ASSERT_EQ(HW_OpenAdapter(kJtag), 1u);
    EXPECT_EQ(driver.operations(), std::vector<std::string>{"FT_Write"});
    EXPECT_EQ(driver.written(), (testing_support::Bytes{0x82, 0x00, 0x00}));
    EXPECT_EQ(HW_GetDefaultAdapter(), kJtag);

    // Closing the first keeps the device open for the second ...
    ASSERT_EQ(HW_CloseAdapter(kMdio), 1u);
    EXPECT_EQ(driver.count("FT_Close"), 0u);
    // ... closing the last resets and closes it.
    driver.forget();
    ASSERT_EQ(HW_CloseAdapter(kJtag), 1u);
    const auto operations = driver.operations();
    ASSERT_GE(operations.size(), 2u);
    EXPECT_EQ(operations[operations.size() - 2], "FT_ResetDevice");
    EXPECT_EQ(operations.back(), "FT_Close");
    EXPECT_EQ(HW_Fail(), 0);
}

TEST_F(OpenClose, RepeatedOpensAndClosesCallNothingButMoveTheDefault) {
    EXPECT_EQ(HW_CloseAdapter(kOld), 1u);  // closing a closed adapter
    ASSERT_EQ(HW_OpenAdapter(kOld), 1u);
    ASSERT_EQ(HW_SetDefaultAdapter(kMdio), 1u);
    driver.forget();
    EXPECT_EQ(HW_OpenAdapter(kOld), 1u);  // opening an open adapter
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_EQ(HW_GetDefaultAdapter(), kOld);

    // An index past the table fails silently and still moves the default.
    testing::internal::CaptureStderr();
    EXPECT_EQ(HW_OpenAdapter(7), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(recorded(), "Device not found/in use: <index 7>");
    EXPECT_EQ(HW_GetDefaultAdapter(), 7u);
}

TEST_F(OpenClose, DriverFailuresAreRecordedWithTheirTextAndLeaveTheAdapterClosed) {
    driver.failNext("FT_OpenEx", 3);
    EXPECT_EQ(HW_OpenAdapter(kOld), 0u);
    EXPECT_EQ(recorded(),
              "Device Communication problem: OLD1B: Couldn't open device.: Device not opened.");
    EXPECT_EQ(failureOf([] { registry().read(kOld, 0, 1, 2); }),
              "Device not found/in use: <index 2>");

    driver.failNext("FT_ResetDevice", 4);
    EXPECT_EQ(HW_OpenAdapter(kMdio), 0u);
    EXPECT_EQ(recorded(), "Device Communication problem: K8S:MDIO: Couldn't reset: IO Error.");
    EXPECT_EQ(driver.operations().back(), "FT_Close");
    EXPECT_EQ(HW_OpenAdapter(kMdio), 1u);  // a second attempt starts from the beginning

    ASSERT_EQ(HW_OpenAdapter(kOld), 1u);
    driver.failNext("FT_Close", 1);
    EXPECT_EQ(HW_CloseAdapter(kOld), 0u);
    EXPECT_EQ(recorded(), "Device Communication problem: OLD1B: Couldn't close.: Invalid handle.");
}

// Opening by name in any case and closing everything are in the host session
// end to end (tests/hostsession).
TEST_F(OpenClose, NullNameIsARecordedFailure) {
    EXPECT_EQ(HW_Open(nullptr), 0u);
    EXPECT_EQ(HW_Fail(), 1);
}

TEST_F(OpenClose, NameLookUpWaitsAboutFourSecondsThenGivesUp) {
    const auto start = std::chrono::steady_clock::now();
    testing::internal::CaptureStderr();
    EXPECT_EQ(HW_DeviceNumber("No-Such-Board"), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: Device not found/in use: no-such-board\n");
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(3990));
    EXPECT_LT(waited, std::chrono::seconds(8));
    // It kept looking for new boards meanwhile.
    EXPECT_GT(driver.count("FT_CreateDeviceInfoList"), 10u);
}

TEST_F(OpenClose, DeviceParameterIsAFlag) {
    ASSERT_EQ(HW_OpenAdapter(kMdio), 1u);
    HW_SetDeviceParameters(kMdio, 99, 5);
    EXPECT_EQ(HW_GetDeviceParameters(kMdio, 0), 1u);
    HW_SetDeviceParameters(kMdio, 0, 0);
    EXPECT_EQ(HW_GetDeviceParameters(kMdio, 12), 0u);
}

TEST_F(OpenClose, AdapterWithoutEngineRefusesMdioAndParameters) {
    ASSERT_EQ(HW_OpenAdapter(kJtag), 1u);
    const std::string refusal = "K8S:JTAG: this adapter has no MDIO engine.";
    EXPECT_EQ(failureOf([] { registry().read(kJtag, 0, 1, 2); }), refusal);
    EXPECT_EQ(failureOf([] { registry().blockOperationExecute(kJtag, 0); }), refusal);
    testing::internal::CaptureStderr();
    EXPECT_EQ(HW_GetDeviceParameters(kJtag, 0), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: " + refusal + "\n");
}

TEST_F(RegistryTest, WithNoAdaptersCloseOnlyResetsTheDefaultAndOpenNeverEnumerates) {
    HW_SetDefaultAdapter(5);
    HW_Close();
    EXPECT_EQ(HW_GetDefaultAdapter(), 0u);
    driver.addDevice("A1", "K8D MDIO");
    EXPECT_EQ(HW_OpenAdapter(0), 0u);
    EXPECT_EQ(recorded(), "Device not found/in use: <index 0>");
    EXPECT_TRUE(driver.calls.empty());
}
