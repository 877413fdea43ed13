// The chip's answers on the bench, set by its knobs: a busy, failing or
// silent mailbox, SERDES bridge errors and a busy memory window; and the
// Clause 45 over Clause 22 sequence and the trace on the real bus.
#include <string>
#include <vector>

#include "ChipBench.h"
#include "TraceFile.h"

using Accesses = std::vector<std::string>;

// The chip's knobs shape its answers as the host sees them (the exact
// accesses and messages of each answer are in tests/chip/IndirectPathsTest.cpp).
TEST_F(ChipBench, BusyAndFailingAnswersOfTheChip) {
    mdiosim::ChipModel& model = chip(kK8, 2);
    model.setTge(0x0005, 0x1234);
    model.setSerdes(0x0042, 0x7777);
    HW_SetDelegationType(3, kK8, 1);
    model.knobs.mailboxBusyPolls = 3;
    EXPECT_EQ(HW_Read(kK8, 2, 11, 0x0005), 0x1234u);
    EXPECT_EQ(count(accesses(kK8), "R 1E C47F"), 4u);

    model.knobs.mailboxStatus = 2;  // an error: no second attempt, the target left alone
    testing::internal::CaptureStderr();
    HW_Write(kK8, 2, 11, 0x0005, 0x5A5A);
    model.knobs.serdesStatus = 0x1003;
    HW_Write(kK8, 2, 27, 0x0042, 0x1234);
    EXPECT_EQ(HW_Read(kK8, 2, 27, 0x0042), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Warning: PIF Mailbox reported an error, retrying.\n"
              "Error: PIF Mailbox retry limit exceeded, so giving up.\n"
              "Error: SERDES control register bridge error (code 0x3) writing address 0x42\n"
              "Error: SERDES control register bridge error (code 0x3) reading address 0x42\n");
    EXPECT_EQ(model.tge(0x0005), 0x1234u);
    EXPECT_EQ(model.serdes(0x42), 0x7777u);
    model.knobs.serdesStatus = 0x1000;  // bit 12 without a code is no error
    EXPECT_EQ(HW_Read(kK8, 2, 27, 0x0042), 0x7777u);
    EXPECT_EQ(HW_Fail(), 0);
}

TEST_F(ChipBench, Clause45OverClause22OnTheWire) {
    HW_EnableClause45OverClause22(kK8);
    HW_InitializeDelegations();  // ignored while tunnelling
    ZM_API_MDIO_Write(3, 1, 0x0042, 0xBEEF);
    EXPECT_EQ(phy(kK8, 3).clause45(1, 0x0042), 0xBEEFu);
    EXPECT_EQ(ZM_API_MDIO_Read(3, 1, 0x0042), 0xBEEFu);
    // An MMD that is special on the native path is a plain register here.
    ZM_API_MDIO_Write(3, 27, 0x0005, 0x0102);
    EXPECT_EQ(phy(kK8, 3).clause45(27, 0x0005), 0x0102u);
    EXPECT_EQ(accesses(kK8),
              (Accesses{"W22 0D 0001", "W22 0E 0042", "W22 0D 4001", "W22 0E BEEF",  //
                        "W22 0D 0001", "W22 0E 0042", "W22 0D 4001", "R22 0E",       //
                        "W22 0D 001B", "W22 0E 0005", "W22 0D 401B", "W22 0E 0102"}));
    EXPECT_EQ(HW_Fail(), 0) << (HW_Error() ? HW_Error() : "");
}

TEST(ChipBenchFile, ChipKnobsAndContents) {
    const mdiosim::BenchDescription bench = mdiosim::parseBenchJson(R"({"boards": [
        {"serialNumber": "AA000001", "description": "K8D MDIO", "phys": [
            {"address": 2, "chip": {"mailboxBusyPolls": 3, "mailboxStatus": 2,
                                    "mailboxNeverCompletes": true, "serdesStatus": "0x1003",
                                    "memoryWindowBusyPolls": 41, "paged": {"0x5FF": 9}}}]}]})");
    const mdiosim::ChipDescription& chip = bench.boards.at(0).phys.at(0).chip;
    EXPECT_EQ(chip.knobs.mailboxBusyPolls, 3u);
    EXPECT_EQ(chip.knobs.mailboxStatus, 2u);
    EXPECT_TRUE(chip.knobs.mailboxNeverCompletes);
    EXPECT_EQ(chip.knobs.serdesStatus, 0x1003u);
    EXPECT_EQ(chip.knobs.memoryWindowBusyPolls, 41u);
    // The last paged register, and one past it; the other contents are read
    // back through mdioctl --sim=FILE in tests/mdioctl (IndirectMmdsReachTheChip).
    EXPECT_EQ(chip.paged.at(0x5FF), 9u);
    EXPECT_THROW(mdiosim::parseBenchJson(R"({"boards": [{"serialNumber": "A", "phys": [
                     {"address": 1, "chip": {"paged": {"0x600": 1}}}]}]})"),
                 mdiosim::BenchFileError);
}
