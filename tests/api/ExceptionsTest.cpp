// Composition of the exception texts and the driver status table. The common
// status texts are checked whole wherever a failure names them.
#include <gtest/gtest.h>

#include <string>

#include "Failure.h"
#include "api/Exceptions.h"
#include "api/StatusText.h"

using FTDI::statusText;

TEST(StatusText, KeepsTheDriversWordingAndNothingOutsideTheEnumeration) {
    EXPECT_EQ(statusText(14), "EEPROM net present.");  // hosts match on the typo
    EXPECT_EQ(statusText(20), "");
    EXPECT_EQ(statusText(0xFFFFFFFF), "");
}

TEST(DeviceConnectionText, AppendsTheStatusTextOnlyForFailures) {
    const std::string prefix = "Device Communication problem: K8:MDIO: Couldn't reset";
    for (const auto& [status, suffix] :
         {std::pair<std::uint32_t, std::string>{0, ""}, {77, ": "}}) {  // an unknown code
        EXPECT_EQ(testing_support::failureOf([status = status] {
                      FTDI::Exceptions::throwDeviceConnection("K8:MDIO", "Couldn't reset", status);
                  }),
                  prefix + suffix);
    }
}
