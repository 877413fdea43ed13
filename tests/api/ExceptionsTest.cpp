// Composition of the exception texts and the driver status table.
#include <gtest/gtest.h>

#include <string>

#include "base/Exceptions.h"
#include "ftdi/d2xx/DriverFailure.h"
#include "ftdi/d2xx/StatusText.h"

using FTDI::statusText;

TEST(StatusText, CoversTheDriverEnumerationAndNothingElse) {
    const char* const texts[] = {"Ok.",
                                 "Invalid handle.",
                                 "Device not found.",
                                 "Device not opened.",
                                 "IO Error.",
                                 "Insufficient resources.",
                                 "Invalid parameter.",
                                 "Invalid baud rate.",
                                 "Device not opened for erase.",
                                 "Device not opened for write.",
                                 "Failed to write to device.",
                                 "EEPROM read failed.",
                                 "EEPROM write failed.",
                                 "EEPROM erase failed.",
                                 "EEPROM net present.",
                                 "EEPROM not programmed.",
                                 "Invalid arguments.",
                                 "Not supported.",
                                 "Unknown error.",
                                 "Device list not ready."};
    for (std::uint32_t code = 0; code < 20; ++code)
        EXPECT_EQ(statusText(code), texts[code]) << "status " << code;
    EXPECT_EQ(statusText(20), "");
    EXPECT_EQ(statusText(0xFFFFFFFF), "");
}

TEST(DeviceConnectionText, AppendsTheStatusTextOnlyForFailures) {
    const struct {
        std::uint32_t status;
        const char* text;
    } rows[] = {
        {4, "Device Communication problem: K8:MDIO: Couldn't reset: IO Error."},
        {0, "Device Communication problem: K8:MDIO: Couldn't reset"},
        {77, "Device Communication problem: K8:MDIO: Couldn't reset: "},  // unknown code
    };
    for (const auto& row : rows) {
        try {
            FTDI::Exceptions::throwDeviceConnection("K8:MDIO", "Couldn't reset", row.status);
            ADD_FAILURE() << "did not throw";
        } catch (const FTDI::Exceptions::DeviceConnection& error) {
            EXPECT_STREQ(error.what(), row.text);
        }
    }
}
