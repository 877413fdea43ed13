// The CSV trace: when it is on, the standard streams, who closes a stream.
// Every record's format is checked whole where the exports write it (tests/chip).
#include <gtest/gtest.h>

#include <cstdio>

#include "TraceFile.h"
#include "api/TraceLog.h"
#include "mdiohost.h"

namespace trace = mdiohost::trace;

using testing_support::TraceFile;

TEST(TraceLog, OffByDefaultAndAfterDisableAndTheStandardStreamStaysOpen) {
    testing::internal::CaptureStderr();
    trace::MW(1, 2, 3, 4, 5);
    HW_LogMsg("nobody hears this");
    HW_EnableLoggingStderr();
    trace::AF(0, 0, 0x12);
    HW_LogMsg("free text");
    HW_DisableLogging(1);  // never closes standard error
    trace::MR(1, 2, 3, 4, 5);
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
