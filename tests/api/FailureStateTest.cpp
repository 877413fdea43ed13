// The failure state seen through HW_Fail and HW_Error, fed by the guard frame.
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "base/Exceptions.h"
#include "base/Guard.h"
#include "mdiohost.h"
#include "mdiohost_ext.h"

using mdiohost::Echo;
using mdiohost::guarded;

namespace {

unsigned failingWith(const char* text, Echo echo) {
    return guarded(echo, 0u, [&]() -> unsigned { throw std::runtime_error(text); });
}

}  // namespace

TEST(FailureState, FlagIsStickyTextIsTheLatestAndClearingKeepsTheText) {
    HW_CallException();  // does nothing
    EXPECT_EQ(HW_Fail(), 0);
    EXPECT_EQ(HW_Error(), nullptr);
    failingWith("first", Echo::Silent);
    guarded(Echo::Silent, [] { throw FTDI::Exceptions::NoDevice("<index 3>"); });
    EXPECT_EQ(HW_Fail(), 1);
    EXPECT_STREQ(HW_Error(), "Device not found/in use: <index 3>");
    // A later success changes neither.
    EXPECT_EQ(guarded(Echo::Silent, 0u, [] { return 7u; }), 7u);
    EXPECT_EQ(HW_Fail(), 1);
    mdiohost::clearFailureFlag();
    EXPECT_EQ(HW_Fail(), 0);
    EXPECT_STREQ(HW_Error(), "Device not found/in use: <index 3>");
}

TEST(FailureState, GuardEchoesOnlyWhenAskedAndForeignExceptionsAreUnknownErrors) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(failingWith("quiet", Echo::Silent), 0u);
    EXPECT_EQ(failingWith("loud", Echo::ToStderr), 0u);
    guarded(Echo::ToStderr, [] { throw 42; });
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: loud\nUnknown error.\n");
    EXPECT_STREQ(HW_Error(), "Unknown error.");
}

TEST(FailureState, MessageThatCannotBeKeptLeavesTheFlagAndNoText) {
    failingWith("kept so far", Echo::Silent);
    mdiohost::useErrorBufferAllocator([](void*, std::size_t) -> void* { return nullptr; });
    testing::internal::CaptureStderr();
    failingWith("too big to keep", Echo::Silent);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Out of memory. Couldn't save error message.\n");
    mdiohost::useErrorBufferAllocator(&std::realloc);
    EXPECT_EQ(HW_Fail(), 1);
    EXPECT_EQ(HW_Error(), nullptr);
}

TEST(FailureState, HostSwitchesTheEchoOffAndClearsTheFlagWithoutReinitialising) {
    EXPECT_EQ(mdiohost_error_echo(), 1);
    mdiohost_set_error_echo(0);
    testing::internal::CaptureStderr();
    failingWith("recorded, not printed", Echo::ToStderr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(HW_Fail(), 1);
    EXPECT_STREQ(HW_Error(), "recorded, not printed");

    mdiohost_clear_failure();
    EXPECT_EQ(HW_Fail(), 0);
    EXPECT_STREQ(HW_Error(), "recorded, not printed");

    mdiohost_set_error_echo(7);  // any nonzero value turns it back on
    EXPECT_EQ(mdiohost_error_echo(), 1);
    testing::internal::CaptureStderr();
    failingWith("printed again", Echo::ToStderr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: printed again\n");
}

// The build reads the project version out of the public header and hands it
// to the library as MDIOHOST_VERSION: a header that no longer parses shows here.
TEST(FailureState, VersionIsTheProjectVersion) {
    EXPECT_STREQ(mdiohost_version(), MDIOHOST_VERSION);
    EXPECT_STREQ(MDIOHOST_VERSION_STRING, MDIOHOST_VERSION);
}
