// The trace log seen from a host program that links the shared library: the
// streams cross the library boundary. On Windows this only works when host and
// library share one C runtime (mdiohost.dll uses msvcrt.dll, as every
// mingw-w64 program does); these tests run there under Wine.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "TemporaryPath.h"
#include "mdiohost.h"

TEST(HostStreams, HostFileIsWrittenAndClosedByTheLibrary) {
    const std::string path = testing_support::temporaryPath("host_trace", ".csv");
    std::FILE* stream = std::fopen(path.c_str(), "w");
    ASSERT_NE(stream, nullptr);
    std::fputs("# written by the host\n", stream);
    HW_EnableLogging(stream);
    HW_LogMsg("board 3 powered");
    // The library closes the host's stream: one runtime's fclose on the
    // other's FILE would corrupt the heap.
    HW_DisableLogging(1);
    EXPECT_EQ(testing_support::fileText(path),
              "# written by the host\n"
              "adapter,phy,op,mmd,address,value,\n"
              "board 3 powered\n");
    std::remove(path.c_str());
}

TEST(HostStreams, StandardOutputIsTheHostsInOrder) {
    testing::internal::CaptureStdout();
    std::printf("host line\n");
    HW_EnableLoggingStdout();
    HW_LogMsg("trace line");
    std::printf("host again\n");
    HW_DisableLogging(1);  // never closes the standard streams
    std::printf("still open\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "host line\n"
              "adapter,phy,op,mmd,address,value,\n"
              "trace line\n"
              "host again\n"
              "still open\n");
}
