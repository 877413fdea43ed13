// Configuration from the environment, as a host sets it at run time.
#include <gtest/gtest.h>

#include "Environment.h"
#include "ftdi/EnvironmentVariable.h"

#if defined(_WIN32)
#include <windows.h>
#endif

using FTDI::environmentVariable;
using testing_support::setEnvironment;
using testing_support::unsetEnvironment;

TEST(EnvironmentVariable, SetChangedAndRemovedAtRunTime) {
    EXPECT_EQ(environmentVariable("MDIO_CLOCK_HZ"), std::nullopt);
    setEnvironment("MDIO_CLOCK_HZ", "2500000");
    EXPECT_EQ(environmentVariable("MDIO_CLOCK_HZ"), "2500000");
    setEnvironment("MDIO_CLOCK_HZ", "12000000");
    EXPECT_EQ(environmentVariable("MDIO_CLOCK_HZ"), "12000000");
    unsetEnvironment("MDIO_CLOCK_HZ");
    EXPECT_EQ(environmentVariable("MDIO_CLOCK_HZ"), std::nullopt);
}

#if defined(_WIN32)
// A host built with another C runtime (Visual C++, .NET, Python) sets a
// variable in the process environment only; the getenv of this library's C
// runtime would not see it.
TEST(EnvironmentVariable, SeesWhatTheHostSetThroughWin32) {
    ASSERT_TRUE(SetEnvironmentVariableA("I2C_CLOCK_HZ", "100000"));
    EXPECT_EQ(environmentVariable("I2C_CLOCK_HZ"), "100000");
    // Longer than any first guess of a buffer size.
    const std::string path(600, 'x');
    ASSERT_TRUE(SetEnvironmentVariableA("MDIOHOST_D2XX", path.c_str()));
    EXPECT_EQ(environmentVariable("MDIOHOST_D2XX"), path);
}
#endif
