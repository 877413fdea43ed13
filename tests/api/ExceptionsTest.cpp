// Composition of the exception texts and the driver status table.
#include <gtest/gtest.h>

#include <string>

#include "api/Exceptions.h"
#include "api/StatusText.h"

using FTDI::statusText;
using FTDI::Exceptions::DeviceConnection;
using FTDI::Exceptions::throwDeviceConnection;

namespace {

std::string connectionText(const std::string& context, const std::string& action,
                           std::uint32_t status) {
    try {
        throwDeviceConnection(context, action, status);
    } catch (const DeviceConnection& error) {
        return error.what();
    }
    return "did not throw";
}

}  // namespace

TEST(StatusText, CoversTheDriverEnumerationAndNothingElse) {
    const std::pair<std::uint32_t, const char*> table[] = {
        {0, "Ok."},
        {1, "Invalid handle."},
        {2, "Device not found."},
        {3, "Device not opened."},
        {4, "IO Error."},
        {5, "Insufficient resources."},
        {6, "Invalid parameter."},
        {7, "Invalid baud rate."},
        {8, "Device not opened for erase."},
        {9, "Device not opened for write."},
        {10, "Failed to write to device."},
        {11, "EEPROM read failed."},
        {12, "EEPROM write failed."},
        {13, "EEPROM erase failed."},
        {14, "EEPROM net present."},
        {15, "EEPROM not programmed."},
        {16, "Invalid arguments."},
        {17, "Not supported."},
        {18, "Unknown error."},
        {19, "Device list not ready."},
        {20, ""},
        {0xFFFFFFFF, ""},
    };
    for (const auto& [code, text] : table) EXPECT_EQ(statusText(code), text) << "status " << code;
}

TEST(DeviceConnectionText, AppendsTheStatusTextOnlyForFailures) {
    EXPECT_EQ(connectionText("FT1234", "Error writing to the device.", 4),
              "Device Communication problem: FT1234: Error writing to the device.: IO Error.");
    EXPECT_EQ(connectionText("K8:MDIO", "Couldn't reset", 0),
              "Device Communication problem: K8:MDIO: Couldn't reset");
    // A code the driver does not define still gets its separator.
    EXPECT_EQ(connectionText("S", "Couldn't close.", 77),
              "Device Communication problem: S: Couldn't close.: ");
}

TEST(NoDeviceText, NamesWhatWasLookedFor) {
    EXPECT_STREQ(FTDI::Exceptions::NoDevice("<index 7>").what(),
                 "Device not found/in use: <index 7>");
}
