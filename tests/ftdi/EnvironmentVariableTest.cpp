// Configuration from the environment, as a host sets it at run time. On
// POSIX, variables set, changed and removed at run time are the clock
// settings of the K8 bring-up tests.
#include <gtest/gtest.h>

#include "base/EnvironmentVariable.h"

#if defined(_WIN32)
#include <windows.h>

using FTDI::environmentVariable;

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
