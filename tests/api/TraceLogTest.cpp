// The CSV trace: where it goes, what each record looks like, who closes it.
#include <gtest/gtest.h>

#include <cstdio>

#include "TraceFile.h"
#include "base/TraceLog.h"
#include "mdiohost.h"

namespace trace = mdiohost::trace;

using testing_support::TraceFile;

TEST(TraceLog, EveryRecordFormat) {
    TraceFile file;
    HW_EnableLogging(file.stream);
    trace::MW(1, 2, 0x1E, 0x1234, 0xAB);
    trace::MR(0, 3, 1, 2, 0xFFFF);
    trace::AR(4, 5, 0x1F, 0x8037);
    trace::AW(4, 5, 7, 0, 0x1);
    trace::AF(2, 9, 0xBEEF);
    trace::MW32(0, 1, 0x123, 0xDEADBEEF);
    trace::MR32(0, 1, 0xABCDEF, 0x1);
    trace::AR32(0, 1, 0x5);
    trace::AW32(0, 1, 0x1000000, 0x2);
    // An adapter-qualified PHY id is written whole, in decimal.
    trace::MW(0, 0x80030005u, 1, 2, 3);
    HW_DisableLogging(1);
    EXPECT_EQ(file.text(),
              "adapter,phy,op,mmd,address,value,\n"
              "1,2,MW,1E,1234,00AB\n"
              "0,3,MR,01,0002,FFFF\n"
              "4,5,AR,1F,8037,\n"
              "4,5,AW,07,0000,0001\n"
              "2,9,AF,,,BEEF\n"
              "0,1,MW,000123,DEADBEEF\n"
              "0,1,MR,ABCDEF,00000001\n"
              "0,1,AR,,05,\n"
              "0,1,AW,1000000,00000002\n"
              "0,2147680261,MW,01,0002,0003\n");
}

TEST(TraceLog, OffByDefaultAndAfterDisable) {
    testing::internal::CaptureStdout();
    trace::MW(1, 2, 3, 4, 5);
    HW_LogMsg("nobody hears this");
    HW_EnableLoggingStdout();
    HW_DisableLogging(0);
    trace::MR(1, 2, 3, 4, 5);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "adapter,phy,op,mmd,address,value,\n");
}

TEST(TraceLog, StandardStreamsGetHeaderRecordsAndMessages) {
    testing::internal::CaptureStderr();
    HW_EnableLoggingStderr();
    trace::AF(0, 0, 0x12);
    HW_LogMsg("free text");
    HW_DisableLogging(1);  // never closes standard error
    std::fputs("still open\n", stderr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "adapter,phy,op,mmd,address,value,\n0,0,AF,,,0012\nfree text\nstill open\n");
}

TEST(TraceLog, OnlyAHostStreamIsClosedAndOnlyWhenAsked) {
    HW_EnableLogging(nullptr);  // leaves tracing off, closes nothing
    EXPECT_FALSE(trace::enabled());
    HW_DisableLogging(1);
    HW_LogMsg(nullptr);  // ignored, not a crash
    TraceFile kept;
    HW_EnableLogging(kept.stream);
    HW_DisableLogging(0);
    // Still open: writing to it works.
    EXPECT_GE(std::fputs("x", kept.stream), 0);

    // A new stream replaces the old one without closing it.
    TraceFile replaced;
    HW_EnableLogging(replaced.stream);
    HW_EnableLogging(kept.stream);
    EXPECT_GE(std::fputs("y", replaced.stream), 0);
    std::fclose(replaced.stream);

    HW_DisableLogging(1);  // closes `kept`
    kept.stream = nullptr;
    EXPECT_FALSE(trace::enabled());
}
