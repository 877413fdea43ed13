// Single and queued operations: PHY id checks, result lists, the async rules.
#include <string>

#include "RegistryFixture.h"

namespace {

// An older-family board answers every read frame with three bytes, the value
// in bytes 1 and 2, low byte first.
testing_support::Bytes talvikReply(std::uint16_t value) {
    return {0x00, static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8)};
}

class Dispatch : public RegistryTest {
  protected:
    void SetUp() override {
        driver.addDevice("K8S", "K8D MDIO");
        driver.addDevice("OLD1B", "older board");
        ASSERT_EQ(HW_Initialize(), 1u);
        ASSERT_EQ(HW_NumberOfDevices(), 2u);
        ASSERT_EQ(HW_OpenAdapter(kK8), 1u);
        ASSERT_EQ(HW_OpenAdapter(kOld), 1u);
        driver.forget();
    }
    static constexpr std::uint32_t kK8 = 0, kOld = 1;
    TalvikControl& control = registry();
};

}  // namespace

TEST_F(Dispatch, QueuedWritesTravelWithTheNextSingleRead) {
    control.blockWrite(kOld, 2, 1, 0x20, 0xAAAA);
    control.blockWrite(kOld, 2, 1, 0x21, 0xBBBB);
    driver.queueReply(talvikReply(0x4242));
    EXPECT_EQ(control.read(kOld, 2, 1, 0x22), 0x4242u);
    // One transfer: select port 2, the two writes, then the read.
    ASSERT_EQ(driver.writes().size(), 1u);
    EXPECT_EQ(driver.writes()[0], (testing_support::Bytes{
                                      0xC0, 0x05, 0x00, 0x02, 0x00,  // port select
                                      0x41, 0x20, 0x00, 0xAA, 0xAA,  // write MMD 1
                                      0x41, 0x21, 0x00, 0xBB, 0xBB,  // write MMD 1
                                      0x61, 0x22, 0x00, 0x00, 0x00,  // read MMD 1
                                  }));
    // Single operations leave the block count alone.
    EXPECT_EQ(HW_BlockReadQueueSize(), 0u);
}

TEST_F(Dispatch, SingleReadAfterAQueuedReadFailsAndLosesBoth) {
    control.blockRead(kOld, 3, 1, 0x10);
    driver.queueReply(talvikReply(1));
    driver.queueReply(talvikReply(2));
    EXPECT_EQ(failureOf([&] { control.read(kOld, 3, 1, 0x11); }),
              "Error: read() called with with async reads queued. Must read out async values "
              "with blockOperationExecute before calling read().");
    EXPECT_EQ(control.blockOperationExecute(kOld, 3), nullptr);
}

TEST_F(Dispatch, SingleWriteAfterAQueuedReadWarnsButIsNoFailure) {
    control.blockRead(kOld, 3, 1, 0x10);
    driver.queueReply(talvikReply(1));
    testing::internal::CaptureStderr();
    control.write(kOld, 3, 1, 0x11, 0x5);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: write() called with with async reads queued. Must read out async values "
              "with blockOperationExecute before calling write() || read(). Read values have "
              "been lost.\n");
    EXPECT_EQ(HW_Fail(), 0);
    EXPECT_EQ(driver.count("FT_Write"), 1u);
}

TEST_F(Dispatch, QueuesArePerPhy) {
    control.blockRead(kOld, 3, 1, 0x10);
    driver.queueReply(talvikReply(0x44));
    EXPECT_EQ(control.read(kOld, 4, 1, 0x10), 0x44u);
    driver.queueReply(talvikReply(0x33));
    const std::uint32_t* values = control.blockOperationExecute(kOld, 3);
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values[0], 0x33u);
}

TEST_F(Dispatch, PhyIdChecksInTheirOrder) {
    EXPECT_EQ(failureOf([&] { control.blockWrite(kK8, 200, 1, 0, 0); }),
              "K8S: PHY ID invalid: 128");
    EXPECT_EQ(failureOf([&] { control.blockWrite(kK8, 40, 1, 0, 0); }),
              "K8S: Phy id, 40, out of range: min = 0, max = 31");
    // Reads ask the engine first, whose bound is tighter.
    EXPECT_EQ(failureOf([&] { control.blockRead(kK8, 200, 1, 0); }),
              "K8S: Phy id, 200, out of range: min = 0, max = 31");
    EXPECT_EQ(failureOf([&] { control.write32PreIncrementAddress(kK8, 130, 0); }),
              "K8S: DEV ID invalid: 128");
    EXPECT_EQ(failureOf([&] { control.blockOperationExecute(kOld, 128); }),
              "OLD1B: PHY ID invalid: 128");
    // A closed adapter fails before any PHY id is looked at.
    HW_CloseAdapter(kOld);
    EXPECT_EQ(failureOf([&] { control.blockWrite(kOld, 200, 1, 0, 0); }),
              "Device not found/in use: <index 1>");
    EXPECT_TRUE(driver.written().empty());
}

TEST_F(Dispatch, FailedExecuteKeepsTheOldResultList) {
    control.blockRead(kOld, 3, 1, 0x10);
    driver.queueReply(talvikReply(0x77));
    const std::uint32_t* before = control.blockOperationExecute(kOld, 3);
    ASSERT_NE(before, nullptr);
    control.blockRead(kOld, 3, 1, 0x10);
    driver.failNext("FT_Write", 4);
    EXPECT_NE(failureOf([&] { control.blockOperationExecute(kOld, 3); }), "no failure");
    EXPECT_EQ(HW_BlockReadQueueSize(), 1u);
    EXPECT_EQ(before[0], 0x77u);
}

TEST_F(RegistryTest, ResultListsWorkWithoutInitialize) {
    // A host that forgets HW_Initialize still gets its values, not a crash.
    driver.addDevice("OLD1B", "older board");
    ASSERT_EQ(HW_NumberOfDevices(), 1u);
    ASSERT_EQ(HW_OpenAdapter(0), 1u);
    driver.queueReply(talvikReply(0x1234));
    EXPECT_EQ(registry().read(0, 1, 1, 2), 0x1234u);
}
