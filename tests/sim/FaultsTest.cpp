// Faults on demand, armed through the C++ interface (the bench file's faults
// section arms the same knobs; see BenchFileTest).
#include <gtest/gtest.h>

#include <thread>

#include "SimHarness.h"

using namespace simtest;
using namespace FTDI::D2xx;
using mdiosim::D2xxOperation;

namespace {

class Faults : public testing::Test {
  protected:
    UseBench bench{mdiosim::defaultBenchDescription()};
    OpenDevice device{"K8A00001"};
    mdiosim::Board& board() { return mdiosim::bench()->board("K8A00001"); }

    Status writeStatus(const Bytes& bytes, std::uint32_t* written = nullptr) {
        std::uint32_t count = 0;
        return FT_Write(device.handle, const_cast<std::uint8_t*>(bytes.data()),
                        static_cast<std::uint32_t>(bytes.size()), written ? written : &count);
    }
};

// One driver call: the scheduled unplug counts them.
std::uint32_t listedCount() {
    std::uint32_t count = 0;
    FT_CreateDeviceInfoList(&count);
    return count;
}

}  // namespace

TEST_F(Faults, TheNthCallOfAnOperationFailsWithTheChosenStatus) {
    mdiosim::bench()->failCall(D2xxOperation::Write, 2, kIoError, "", 2);
    mdiosim::bench()->failCall(D2xxOperation::Purge, 1, kOtherError, "AA000001");
    EXPECT_EQ(writeStatus({0x87}), kOk);
    EXPECT_EQ(writeStatus({0x87}), kIoError);
    EXPECT_EQ(writeStatus({0x87}), kIoError);
    EXPECT_EQ(writeStatus({0x87}), kOk);
    // Armed for another board: calls on this one do not count.
    EXPECT_EQ(FT_Purge(device.handle, 3), kOk);
    OpenDevice other("AA000001");
    EXPECT_EQ(FT_Purge(other.handle, 3), kOtherError);
    EXPECT_EQ(FT_Purge(other.handle, 3), kOk);
    // A failed write moved no byte.
    EXPECT_EQ(board().counters().usbWrites, 2u);

    mdiosim::bench()->failCall(D2xxOperation::CreateDeviceInfoList, 1, kDeviceNotFound);
    std::uint32_t count = 0;
    EXPECT_EQ(FT_CreateDeviceInfoList(&count), kDeviceNotFound);
}

TEST_F(Faults, ChunkedWritesShortAndEmptyReadsAndAWrongSyncAnswer) {
    board().chunkWrites(3);
    std::uint32_t written = 0;
    EXPECT_EQ(writeStatus({0xAB, 0xAB, 0xAB, 0xAB, 0xAB}, &written), kOk);
    EXPECT_EQ(written, 3u);
    board().shortReads(2, 0);
    EXPECT_EQ(device.read(6), Bytes{});
    EXPECT_EQ(device.read(6), Bytes{});
    board().shortReads(1, 4);
    EXPECT_EQ(device.read(6), (Bytes{0xFA, 0xAB, 0xFA, 0xAB}));
    EXPECT_EQ(device.read(6), (Bytes{0xFA, 0xAB}));
    board().chunkWrites(0);
    EXPECT_EQ(writeStatus({0xAB, 0xAB, 0xAB, 0xAB, 0xAB}, &written), kOk);
    EXPECT_EQ(written, 5u);
    device.read(16);

    board().wrongSyncAnswers(1);
    EXPECT_EQ(device.exchange({0xAB}, 2), (Bytes{0xFA, 0x54}));
    EXPECT_EQ(device.exchange({0xAB}, 2), (Bytes{0xFA, 0xAB}));
}

TEST_F(Faults, UnpluggedBoardFailsItsHandleAndComesBackClosed) {
    board().unplug();
    EXPECT_EQ(listedCount(), 2u);
    std::uint8_t byte = 0xAB;
    std::uint32_t done = 0;
    EXPECT_EQ(FT_Write(device.handle, &byte, 1, &done), kIoError);
    EXPECT_EQ(FT_Read(device.handle, &byte, 1, &done), kIoError);
    EXPECT_EQ(FT_SetBitMode(device.handle, 0, kBitModeMpsse), kIoError);
    Handle handle = nullptr;
    EXPECT_EQ(FT_OpenEx(const_cast<char*>("K8A00001"), kOpenBySerialNumber, &handle),
              kDeviceNotFound);

    board().replug();
    EXPECT_EQ(listedCount(), 3u);
    EXPECT_FALSE(board().isOpen());
    // The old handle stays dead; closing it releases it.
    EXPECT_EQ(FT_Write(device.handle, &byte, 1, &done), kIoError);
    EXPECT_EQ(FT_Close(device.handle), kIoError);
    EXPECT_EQ(FT_Close(device.handle), kInvalidHandle);
    device.handle = nullptr;
    OpenDevice fresh("K8A00001");
    EXPECT_EQ(fresh.exchange({0xAB}, 2), (Bytes{0xFA, 0xAB}));
}

TEST_F(Faults, ScheduledUnplugAndReplugCountDriverCalls) {
    mdiosim::bench()->scheduleUnplug("AA000001", 2, 3);  // after call 2, for 3 calls
    for (const std::uint32_t listed : {3u, 3u, 2u, 2u, 2u, 3u})
        EXPECT_EQ(listedCount(), listed);
}

TEST_F(Faults, AFailureAimedAtAThreadIsNotTakenByAnother) {
    mdiosim::bench()->failCall(D2xxOperation::Write, 1, kIoError, "K8A00001", 1,
                               std::this_thread::get_id());
    Status other = kIoError;
    std::thread([&] { other = writeStatus({0x87}); }).join();
    EXPECT_EQ(other, kOk);
    EXPECT_EQ(writeStatus({0x87}), kIoError);
    EXPECT_EQ(writeStatus({0x87}), kOk);
}

TEST_F(Faults, ClearingDisarmsEveryFaultStillWaiting) {
    mdiosim::Bench& armed = *mdiosim::bench();
    armed.failCall(D2xxOperation::Write, 1, kIoError);
    armed.scheduleUnplug("AA000001", 1);
    board().chunkWrites(1);
    board().shortReads(3, 0);
    board().wrongSyncAnswers(2);
    armed.board("TV00001B").setOpenElsewhere(true);
    armed.clearFaults();

    EXPECT_EQ(listedCount(), 3u);
    EXPECT_EQ(listedCount(), 3u);  // the unplug that was due stays away
    EXPECT_EQ(device.exchange({0xAB, 0xAB}, 4), (Bytes{0xFA, 0xAB, 0xFA, 0xAB}));
    EXPECT_FALSE(armed.board("TV00001B").openElsewhere());

    // An unplugged board is not plugged back in by clearing.
    board().unplug();
    armed.clearFaults();
    EXPECT_FALSE(board().plugged());
}
