// The USB face of the simulated chip: what libusb and libftdi1 see of it.
// (The string descriptors are read back whole by libftdi1 in tests/ftdi_e2e,
// where every board is listed by its serial number and description.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Hex.h"
#include "mdiosim/Bench.h"
#include "mdiosim/UsbFace.h"

using namespace mdiosim;
using testing_support::hex;
using testing_support::toHex;

namespace {

constexpr std::uint8_t kVendorOut = 0x40;
constexpr std::uint8_t kVendorIn = 0xC0;
constexpr std::uint8_t kSetBitMode = 0x0B;
constexpr std::uint8_t kSetLatencyTimer = 0x09;
constexpr std::uint8_t kReset = 0x00;
constexpr std::uint8_t kSetBaudRate = 0x03;
// MPSSE: an opcode the chip does not know is answered with FA and the opcode.
constexpr std::uint8_t kBadOpcode = 0xAB;

BoardDescription board(const std::string& serial, std::uint32_t chipType,
                       const std::string& description) {
    BoardDescription described;
    described.serialNumber = serial;
    described.description = description;
    described.chipType = chipType;
    return described;
}

class UsbFaceTest : public testing::Test {
  protected:
    UsbFaceTest() {
        BenchDescription described;
        described.boards = {board("K8A00001", 8, "K8U MDIO"), board("K8A00002", 6, "K8D MDIO"),
                            board("TV00001B", 5, "Talvik MDIO")};
        resetBench(described);
    }

    static UsbAnswer vendor(UsbFace& face, std::uint8_t request, std::uint16_t value,
                            std::uint16_t index = 1) {
        return face.control({kVendorOut, request, value, index, 0}, nullptr);
    }

    static std::string bulkIn(UsbFace& face, std::size_t capacity, std::uint8_t endpoint = 0x81) {
        std::vector<std::uint8_t> buffer(capacity);
        const UsbAnswer answer = face.bulkIn(endpoint, buffer.data(), capacity);
        EXPECT_EQ(answer.outcome, UsbOutcome::Done);
        buffer.resize(answer.length);
        return toHex(buffer);
    }
};

}  // namespace

TEST_F(UsbFaceTest, DescriptorsTellChipTypeChannelsAndPacketSize) {
    struct Row {
        const char* serial;
        std::string expected;
    };
    const Row rows[] = {
        {"K8A00001",
         "12 01 00 02 00 00 00 40 03 04 14 60 00 09 01 02 03 01"
         " 09 02 20 00 01 01 00 80 2D"
         " 09 04 00 00 02 FF FF FF 02 07 05 81 02 00 02 00 07 05 02 02 00 02 00"},
        {"K8A00002",
         "12 01 00 02 00 00 00 40 03 04 10 60 00 07 01 02 03 01"
         " 09 02 37 00 02 01 00 80 2D"
         " 09 04 00 00 02 FF FF FF 02 07 05 81 02 00 02 00 07 05 02 02 00 02 00"
         " 09 04 01 00 02 FF FF FF 02 07 05 83 02 00 02 00 07 05 04 02 00 02 00"},
        {"TV00001B",
         "12 01 00 02 00 00 00 40 03 04 01 60 00 06 01 02 03 01"
         " 09 02 20 00 01 01 00 80 2D"
         " 09 04 00 00 02 FF FF FF 02 07 05 81 02 40 00 00 07 05 02 02 40 00 00"},
    };
    for (const Row& row : rows) {
        UsbFace face(row.serial);
        EXPECT_EQ(toHex(face.descriptors()), toHex(hex(row.expected))) << row.serial;
    }
}

TEST_F(UsbFaceTest, BulkInPacketsStartWithModemStatus) {
    UsbFace face("K8A00001");
    ASSERT_EQ(vendor(face, kSetBitMode, 0x0200).outcome, UsbOutcome::Done);
    // Idle: the status bytes alone. (Replies over several packets, each with
    // its status bytes, carry the thousand-read batch of tests/ftdi_e2e.)
    EXPECT_EQ(bulkIn(face, 4096), "01 60");
    // A buffer smaller than a packet takes what fits; the rest stays queued.
    const std::vector<std::uint8_t> two(2, kBadOpcode);
    face.bulkOut(0x02, two.data(), two.size());
    EXPECT_EQ(bulkIn(face, 4), "01 60 FA AB");
    EXPECT_EQ(bulkIn(face, 64), "01 60 FA AB");
}

TEST_F(UsbFaceTest, ControlRequestsDriveTheChipBothFacesShare) {
    UsbFace face("K8A00001");
    EXPECT_EQ(vendor(face, kSetLatencyTimer, 1).outcome, UsbOutcome::Done);
    EXPECT_EQ(vendor(face, kSetBitMode, 0x0200).outcome, UsbOutcome::Done);
    EXPECT_EQ(vendor(face, kSetBaudRate, 0x4001, 0x0201).outcome, UsbOutcome::Done);
    EXPECT_EQ(face.baudDivisor(), 0x24001u);
    ChipState state = bench()->board("K8A00001").chip();
    EXPECT_EQ(state.latencyMs, 1);
    EXPECT_EQ(state.bitMode, 2);
    std::uint8_t latency = 0;
    face.control({kVendorIn, 0x0A, 0, 1, 1}, &latency);
    EXPECT_EQ(latency, 1);

    // Purging the receive side drops the replies waiting for the host.
    const std::uint8_t bad = kBadOpcode;
    face.bulkOut(0x02, &bad, 1);
    EXPECT_EQ(vendor(face, kReset, 2).outcome, UsbOutcome::Done);
    EXPECT_EQ(bulkIn(face, 512), "01 60");
    // A reset returns the chip to bit mode reset.
    EXPECT_EQ(vendor(face, kReset, 0).outcome, UsbOutcome::Done);
    EXPECT_EQ(bench()->board("K8A00001").chip().bitMode, 0);
    // Two mode bits at once are refused, as is a request the chip does not know.
    EXPECT_EQ(vendor(face, kSetBitMode, 0x0300).outcome, UsbOutcome::Stall);
    EXPECT_EQ(vendor(face, 0x42, 0).outcome, UsbOutcome::Stall);
}

TEST_F(UsbFaceTest, SecondChannelHasItsOwnEndpoints) {
    UsbFace face("K8A00002");
    EXPECT_EQ(face.interfaceCount(), 2u);
    ASSERT_EQ(vendor(face, kSetBitMode, 0x0200, 2).outcome, UsbOutcome::Done);
    const std::uint8_t bad = kBadOpcode;
    face.bulkOut(0x04, &bad, 1);
    EXPECT_EQ(bulkIn(face, 512, 0x81), "01 60");  // channel A saw nothing
    EXPECT_EQ(bulkIn(face, 512, 0x83), "01 60 FA AB");
    // A single-channel chip has no channel B.
    UsbFace single("K8A00001");
    EXPECT_EQ(vendor(single, kSetBitMode, 0x0200, 2).outcome, UsbOutcome::Stall);
}

TEST_F(UsbFaceTest, UnpluggedBoardAnswersNoDeviceUntilReplugged) {
    UsbFace face("K8A00001");
    bench()->board("K8A00001").unplug();
    std::uint8_t byte = 0;
    EXPECT_EQ(vendor(face, kReset, 0).outcome, UsbOutcome::NoDevice);
    EXPECT_EQ(face.bulkOut(0x02, &byte, 1).outcome, UsbOutcome::NoDevice);
    EXPECT_EQ(face.bulkIn(0x81, &byte, 1).outcome, UsbOutcome::NoDevice);
    bench()->board("K8A00001").replug();
    EXPECT_EQ(bulkIn(face, 512), "01 60");
    EXPECT_EQ(UsbFace("NOSUCH").control({kVendorOut, kReset, 0, 1, 0}, nullptr).outcome,
              UsbOutcome::NoDevice);
}
