// A Windows host as a customer builds it: it links mdiohost.dll alone, and
// the library loads the D2XX driver by its default name, FTD2XX.dll, from the
// program's directory, resolving every function by ordinal. Here FTD2XX.dll
// is the simulated bench, with its default boards.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

#include "mdiohost.h"

namespace {

class WindowsHost : public testing::Test {
  protected:
    WindowsHost() {
        SetEnvironmentVariableA("MDIOHOST_D2XX", nullptr);
        HW_Initialize();
    }
};

}  // namespace

TEST_F(WindowsHost, OpensABoardThroughTheDefaultDriverByOrdinal) {
    ASSERT_EQ(HW_NumberOfDevices(), 4u) << (HW_Fail() ? HW_Error() : "");
    const std::uint32_t adapter = HW_DeviceNumber("K8A00001:MDIO");
    ASSERT_EQ(HW_OpenAdapter(adapter), 1u) << HW_Error();
    EXPECT_EQ(HW_CloseAdapter(adapter), 1u);
    EXPECT_EQ(HW_Fail(), 0);
}

// The host ends with a K8 adapter open and its LED blink thread running.
// Windows terminates the thread before the library's destructors run; they
// must neither wait for it nor take a lock it may have held.
TEST_F(WindowsHost, ProcessEndsWhileAnLedThreadRuns) {
    EXPECT_EXIT(
        {
            HW_NumberOfDevices();
            if (HW_OpenAdapter(HW_DeviceNumber("K8A00001:MDIO")) != 1) std::exit(2);
            Sleep(50);  // the blink thread is animating
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}
