// Requests on an open handle: reads that return what arrived when the
// time-out passes, writes in transfer-size chunks, the queue, purges and
// the settings, each with the statuses the vendor driver gives.
#include <gtest/gtest.h>
#include <libusb.h>

#include <chrono>
#include <string>
#include <vector>

#include "D2xxSession.h"
#include "Hex.h"
#include "ScriptedUsbPort.h"

using namespace FTDI::D2xx;
using testing_support::hex;
using testing_support::toHex;

namespace {

class OpenChannel : public testing::Test {
  protected:
    OpenChannel() {
        auto owned = std::make_unique<scripted::Port>();
        owned->devices = {scripted::device(1, 0x0900, "K8A00001", "K8U MDIO I2C")};
        port = owned.get();
        session = std::make_unique<usbdriver::D2xxSession>(std::move(owned));
        EXPECT_EQ(session->openBySerialNumber("K8A00001", &handle), kOk);
        link = port->links.at(0);
    }

    // Reads `count` bytes; returns what arrived, as hex.
    std::string read(std::uint32_t count, Status expected = kOk) {
        std::vector<std::uint8_t> buffer(count);
        std::uint32_t received = 99;
        EXPECT_EQ(session->read(handle, buffer.data(), count, &received), expected);
        buffer.resize(received);
        return toHex(buffer);
    }

    scripted::Port* port = nullptr;
    std::unique_ptr<usbdriver::D2xxSession> session;
    Handle handle = nullptr;
    std::shared_ptr<scripted::LinkRecord> link;
};

}  // namespace

TEST_F(OpenChannel, ReadCollectsArrivalsUntilTheCountIsThere) {
    session->setTimeouts(handle, 1000, 1000);
    link->reads = {{hex("01 02")}, {}, {hex("03 04 05 06")}};
    EXPECT_EQ(read(5), "01 02 03 04 05");
    // The sixth byte waits for the next read.
    EXPECT_EQ(read(1), "06");
}

TEST_F(OpenChannel, ReadReturnsWhatArrivedWhenTheTimeoutPasses) {
    struct Row {
        std::uint32_t timeoutMs;
        std::vector<scripted::ReadAnswer> answers;
        std::string expected;
    };
    const Row rows[] = {
        {40, {{hex("AA BB")}}, "AA BB"},        // short read: success with the partial count
        {40, {}, ""},                           // empty read
        {0, {{hex("AA")}, {hex("BB")}}, "AA"},  // time-out 0 looks once
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.timeoutMs);
        session->setTimeouts(handle, row.timeoutMs, 1000);
        link->reads.assign(row.answers.begin(), row.answers.end());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(read(4), row.expected);
        EXPECT_GE(std::chrono::steady_clock::now() - start,
                  std::chrono::milliseconds(row.timeoutMs));
        link->reads.clear();
    }
}

TEST_F(OpenChannel, ReadFailureKeepsTheBytesAlreadyThereAndMapsTheCause) {
    session->setTimeouts(handle, 1000, 1000);
    link->reads = {{hex("11 22")}, {{}, LIBUSB_ERROR_NO_DEVICE}};
    std::uint8_t buffer[4] = {};
    std::uint32_t received = 0;
    // An unplug mid-read is the vendor driver's I/O error, with the count so far.
    EXPECT_EQ(session->read(handle, buffer, 4, &received), kIoError);
    EXPECT_EQ(received, 2u);
}

TEST_F(OpenChannel, WritesGoInTransferSizeChunks) {
    struct Row {
        std::uint32_t count;
        std::vector<int> answers;
        Status status;
        std::uint32_t written;
        std::vector<std::size_t> chunks;
    };
    const Row rows[] = {
        {64, {}, kOk, 64, {64}},
        {65, {}, kOk, 65, {64, 1}},
        {150, {}, kOk, 150, {64, 64, 22}},
        {150, {64, LIBUSB_ERROR_NO_DEVICE}, kIoError, 64, {64, 0}},
        {150, {64, 10}, kOk, 74, {64, 10}},  // the chip took less: stop, report it
        {0, {}, kOk, 0, {}},
    };
    ASSERT_EQ(session->setUsbParameters(handle, 64, 64), kOk);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.count);
        link->writes.clear();
        link->writeAnswers.assign(row.answers.begin(), row.answers.end());
        std::vector<std::uint8_t> bytes(row.count);
        for (std::size_t at = 0; at < bytes.size(); ++at)
            bytes[at] = static_cast<std::uint8_t>(at);
        std::uint32_t written = 99;
        EXPECT_EQ(session->write(handle, bytes.data(), row.count, &written), row.status);
        EXPECT_EQ(written, row.written);
        std::vector<std::size_t> chunks;
        std::vector<std::uint8_t> joined;
        for (const auto& chunk : link->writes) {
            chunks.push_back(chunk.size());
            joined.insert(joined.end(), chunk.begin(), chunk.end());
        }
        EXPECT_EQ(chunks, row.chunks);
        EXPECT_TRUE(std::equal(joined.begin(), joined.end(), bytes.begin()));
    }
}

TEST_F(OpenChannel, BringUpRequestsReachTheChip) {
    EXPECT_EQ(session->resetDevice(handle), kOk);
    EXPECT_EQ(session->setUsbParameters(handle, 65535, 65535), kOk);
    EXPECT_EQ(session->setChars(handle, 0, 0, 0, 0), kOk);
    EXPECT_EQ(session->setTimeouts(handle, 0, 1000), kOk);
    EXPECT_EQ(session->setLatencyTimer(handle, 1), kOk);
    EXPECT_EQ(session->setBitMode(handle, 0, 0), kOk);
    EXPECT_EQ(session->setBitMode(handle, 0, 2), kOk);
    EXPECT_EQ(session->purge(handle, kPurgeReceive | kPurgeTransmit), kOk);
    const std::vector<std::string> expected = {
        "reset",         "sizes 65535 65535", "chars 00 off 00 off", "timeouts 0 1000", "latency 1",
        "bitmode 00 00", "bitmode 00 02",     "purge receive",       "purge transmit"};
    EXPECT_EQ(link->requests, expected);
}

TEST_F(OpenChannel, RefusedArgumentsAndFailedRequests) {
    EXPECT_EQ(session->setLatencyTimer(handle, 0), kInvalidParameter);
    EXPECT_EQ(session->setUsbParameters(handle, 63, 64), kInvalidParameter);
    EXPECT_EQ(session->setUsbParameters(handle, 64, 65537), kInvalidParameter);
    EXPECT_EQ(session->purge(handle, 4), kInvalidParameter);
    std::uint32_t count = 0;
    EXPECT_EQ(session->write(handle, nullptr, 1, &count), kInvalidParameter);
    EXPECT_EQ(session->read(handle, nullptr, 1, &count), kInvalidParameter);
    EXPECT_TRUE(link->requests.empty());

    link->controlAnswer = LIBUSB_ERROR_NO_DEVICE;
    EXPECT_EQ(session->setBitMode(handle, 0, 2), kIoError);
    link->controlAnswer = LIBUSB_ERROR_PIPE;
    EXPECT_EQ(session->resetDevice(handle), kIoError);

    Handle unknown = reinterpret_cast<Handle>(0x5);
    EXPECT_EQ(session->purge(unknown, kPurgeReceive), kInvalidHandle);
    EXPECT_EQ(session->read(unknown, nullptr, 0, &count), kInvalidHandle);
}

TEST_F(OpenChannel, QueueStatusCollectsAheadAndPurgeDropsIt) {
    link->reads = {{hex("01 02 03")}};
    std::uint32_t queued = 0;
    ASSERT_EQ(session->getQueueStatus(handle, &queued), kOk);
    EXPECT_EQ(queued, 3u);
    EXPECT_EQ(read(2), "01 02");
    ASSERT_EQ(session->getQueueStatus(handle, &queued), kOk);
    EXPECT_EQ(queued, 1u);
    ASSERT_EQ(session->purge(handle, kPurgeReceive), kOk);
    ASSERT_EQ(session->getQueueStatus(handle, &queued), kOk);
    EXPECT_EQ(queued, 0u);
}

TEST_F(OpenChannel, StoppedInTaskReadsNothing) {
    link->reads = {{hex("01")}};
    ASSERT_EQ(session->stopInTask(handle), kOk);
    EXPECT_EQ(read(1), "");
    ASSERT_EQ(session->restartInTask(handle), kOk);
    EXPECT_EQ(read(1), "01");
}
