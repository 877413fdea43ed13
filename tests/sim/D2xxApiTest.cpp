// The D2XX C functions: the device list, handles, and the statuses a real
// driver gives for bad arguments.
#include <gtest/gtest.h>

#include "SimHarness.h"

using namespace simtest;
using namespace FTDI::D2xx;

namespace {

Status open(const char* serialNumber, Handle* handle, std::uint32_t flags = kOpenBySerialNumber) {
    return FT_OpenEx(const_cast<char*>(serialNumber), flags, handle);
}

}  // namespace

TEST(D2xxApi, DefaultBenchListsItsBoardsAndAnOpenOneShows) {
    mdiosim::resetBench(mdiosim::defaultBenchDescription());
    std::vector<DeviceListNode> nodes = deviceList();
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_STREQ(nodes[0].Description, "K8U MDIO I2C");
    EXPECT_EQ(nodes[0].Type, kChipTypeFt232h);
    EXPECT_EQ(nodes[0].ID, 0x04036014u);
    EXPECT_STREQ(nodes[1].Description, "K8D MDIO");
    EXPECT_EQ(std::string(nodes[2].SerialNumber).back(), 'B');  // the older family
    EXPECT_EQ(nodes[1].Flags & kFlagOpened, 0u);

    Handle handle = nullptr;
    ASSERT_EQ(open("AA000001", &handle), kOk);
    nodes = deviceList();
    EXPECT_EQ(nodes[1].Flags & kFlagOpened, kFlagOpened);
    EXPECT_EQ(nodes[1].ftHandle, handle);
    std::uint32_t type = 0, id = 0;
    char serial[kSerialNumberSize] = {}, description[kDescriptionSize] = {};
    EXPECT_EQ(FT_GetDeviceInfo(handle, &type, &id, serial, description, nullptr), kOk);
    EXPECT_EQ(std::string(serial) + "/" + description, "AA000001/K8D MDIO");
    EXPECT_EQ(FT_GetDeviceInfo(handle, nullptr, nullptr, nullptr, nullptr, nullptr), kOk);

    // A second open of the same device is refused; after close it works again.
    Handle second = nullptr;
    EXPECT_EQ(open("AA000001", &second), kDeviceNotOpened);
    EXPECT_EQ(FT_Close(handle), kOk);
    EXPECT_EQ(deviceList()[1].Flags & kFlagOpened, 0u);
    ASSERT_EQ(open("AA000001", &second), kOk);
    EXPECT_NE(second, handle);  // handles are never reused
    EXPECT_EQ(FT_Close(second), kOk);
}

TEST(D2xxApi, BadArgumentsGetTheDriversStatusesNeverACrash) {
    mdiosim::resetBench(mdiosim::defaultBenchDescription());
    Handle closed = nullptr, handle = nullptr, unused = nullptr;
    ASSERT_EQ(open("K8A00001", &closed), kOk);
    ASSERT_EQ(FT_Close(closed), kOk);
    ASSERT_EQ(open("K8A00001", &handle), kOk);
    Handle bogus = reinterpret_cast<Handle>(0x1234);
    std::uint8_t byte = 0xAB;
    std::uint32_t done = 0;
    const std::pair<Status, Status> rows[] = {
        // what the call gave, what a driver gives
        {open("NOSUCH01", &unused), kDeviceNotFound},
        {open(nullptr, &unused), kInvalidParameter},
        {open("AA000001", nullptr), kInvalidParameter},
        {open("AA000001", &unused, 64), kInvalidParameter},
        {FT_CreateDeviceInfoList(nullptr), kInvalidParameter},
        {FT_GetDeviceInfoList(nullptr, &done), kInvalidParameter},
        {FT_Write(closed, &byte, 1, &done), kInvalidHandle},
        {FT_Read(bogus, &byte, 1, &done), kInvalidHandle},
        {FT_Close(closed), kInvalidHandle},
        {FT_Write(handle, &byte, 1, nullptr), kInvalidParameter},
        {FT_Write(handle, nullptr, 1, &done), kInvalidParameter},
        {FT_Read(handle, nullptr, 4, &done), kInvalidParameter},
        {FT_Read(handle, &byte, 1, nullptr), kInvalidParameter},
        {FT_SetBitMode(handle, 0, 3), kInvalidParameter},
        {FT_Write(handle, nullptr, 0, &done), kOk},  // an empty write
    };
    for (std::size_t row = 0; row < std::size(rows); ++row)
        EXPECT_EQ(rows[row].first, rows[row].second) << "row " << row;
    EXPECT_EQ(FT_Close(handle), kOk);
}

TEST(D2xxApi, CountersAndModeledTime) {
    mdiosim::BenchDescription description = k8Bench({0});
    description.usbLatencySeconds = 100e-6;
    description.timing = *mdiosim::timingPreset("ideal");  // TimingModelTest prices the rest
    mdiosim::resetBench(description);
    OpenDevice device("K8T00001");
    ASSERT_EQ(FT_SetTimeouts(device.handle, 1000, 1000), kOk);
    device.write({0x8A, 0x86, 0x05, 0x00});  // 5 MHz
    device.exchange(clause22Frame(2, 0, 1, 0) + flush(), 3);
    device.read(1);  // nothing left: waits out the 1000 ms time-out
    device.write({0x80, 0x03, 0x03});

    const mdiosim::Counters& counters = mdiosim::bench()->board(0).counters();
    EXPECT_EQ(counters.usbWrites, 3u);
    EXPECT_EQ(counters.usbReads, 2u);
    EXPECT_EQ(counters.bytesWritten, 4u + 38u + 4u + 3u);
    EXPECT_EQ(counters.bytesRead, 3u);
    EXPECT_EQ(counters.mdcCycles, 64u);
    // write | write+read | read | write: four round trips.
    EXPECT_EQ(counters.roundTrips, 4u);
    EXPECT_NEAR(counters.modeledSeconds(), 4 * 100e-6 + 64 / 5e6 + 1.0, 1e-9);
    EXPECT_EQ(mdiosim::bench()->totals().bytesRead, 3u);
}
