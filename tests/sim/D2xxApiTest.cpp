// The D2XX C functions: the device list, handles, and the statuses a real
// driver gives for bad arguments.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "SimHarness.h"

using namespace simtest;
using namespace FTDI::D2xx;

namespace {

std::vector<DeviceListNode> deviceList() {
    std::uint32_t count = 0;
    EXPECT_EQ(FT_CreateDeviceInfoList(&count), kOk);
    std::vector<DeviceListNode> nodes(count);
    if (count != 0) {
        EXPECT_EQ(FT_GetDeviceInfoList(nodes.data(), &count), kOk);
    }
    return nodes;
}

Handle open(const char* serialNumber, Status expected = kOk) {
    Handle handle = nullptr;
    EXPECT_EQ(FT_OpenEx(const_cast<char*>(serialNumber), kOpenBySerialNumber, &handle), expected);
    return handle;
}

}  // namespace

TEST(D2xxApi, DefaultBenchListsItsThreeBoards) {
    mdiosim::resetBench(mdiosim::defaultBenchDescription());
    const std::vector<DeviceListNode> nodes = deviceList();
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_STREQ(nodes[0].Description, "K8U MDIO I2C");
    EXPECT_EQ(nodes[0].Type, kChipTypeFt232h);
    EXPECT_EQ(nodes[0].ID, 0x04036014u);
    EXPECT_EQ(std::strncmp(nodes[1].SerialNumber, "AA", 2), 0);
    EXPECT_STREQ(nodes[1].Description, "K8D MDIO");
    const std::string older = nodes[2].SerialNumber;
    EXPECT_EQ(older.back(), 'B');
    EXPECT_NE(std::string(nodes[2].Description).rfind("K8", 0), 0u);
    for (const DeviceListNode& node : nodes) {
        EXPECT_EQ(node.Flags & kFlagOpened, 0u);
        EXPECT_EQ(node.ftHandle, nullptr);
    }
    EXPECT_EQ(mdiosim::bench()->board(0).phyAddresses(), (std::vector<unsigned>{0, 1, 2, 3}));
    EXPECT_EQ(mdiosim::bench()->board(0).phy(2).clause22(2), 0x7C0A);
}

TEST(D2xxApi, OpenShowsInTheListAndCloseReleases) {
    mdiosim::resetBench(mdiosim::defaultBenchDescription());
    Handle handle = open("AA000001");
    std::vector<DeviceListNode> nodes = deviceList();
    EXPECT_EQ(nodes[1].Flags & kFlagOpened, kFlagOpened);
    EXPECT_EQ(nodes[1].ftHandle, handle);
    EXPECT_EQ(nodes[0].Flags & kFlagOpened, 0u);

    std::uint32_t type = 0, id = 0;
    char serial[kSerialNumberSize] = {}, description[kDescriptionSize] = {};
    EXPECT_EQ(FT_GetDeviceInfo(handle, &type, &id, serial, description, nullptr), kOk);
    EXPECT_EQ(type, kChipTypeFt232h);
    EXPECT_STREQ(serial, "AA000001");
    EXPECT_STREQ(description, "K8D MDIO");
    EXPECT_EQ(FT_GetDeviceInfo(handle, nullptr, nullptr, nullptr, nullptr, nullptr), kOk);

    // A second open of the same device is refused; after close it works again.
    open("AA000001", kDeviceNotOpened);
    EXPECT_EQ(FT_Close(handle), kOk);
    EXPECT_EQ(deviceList()[1].Flags & kFlagOpened, 0u);
    Handle again = open("AA000001");
    EXPECT_NE(again, handle);  // handles are never reused
    EXPECT_EQ(FT_Close(again), kOk);
}

TEST(D2xxApi, BadArgumentsGetTheDriversStatusesNeverACrash) {
    mdiosim::resetBench(mdiosim::defaultBenchDescription());
    Handle closed = open("K8A00001");
    ASSERT_EQ(FT_Close(closed), kOk);
    Handle handle = open("K8A00001");
    Handle bogus = reinterpret_cast<Handle>(0x1234);
    std::uint8_t byte = 0xAB;
    std::uint32_t done = 0;

    struct Row {
        const char* call;
        Status status;
        Status expected;
    };
    const Row rows[] = {
        {"open unknown",
         [] {
             Handle h = nullptr;
             return FT_OpenEx(const_cast<char*>("NOSUCH01"), kOpenBySerialNumber, &h);
         }(),
         kDeviceNotFound},
        {"open null name",
         [] {
             Handle h = nullptr;
             return FT_OpenEx(nullptr, kOpenBySerialNumber, &h);
         }(),
         kInvalidParameter},
        {"open null handle", FT_OpenEx(const_cast<char*>("AA000001"), kOpenBySerialNumber, nullptr),
         kInvalidParameter},
        {"open bad flags",
         [] {
             Handle h = nullptr;
             return FT_OpenEx(const_cast<char*>("AA000001"), 64, &h);
         }(),
         kInvalidParameter},
        {"list null count", FT_CreateDeviceInfoList(nullptr), kInvalidParameter},
        {"nodes null", FT_GetDeviceInfoList(nullptr, &done), kInvalidParameter},
        {"write closed", FT_Write(closed, &byte, 1, &done), kInvalidHandle},
        {"write null handle", FT_Write(nullptr, &byte, 1, &done), kInvalidHandle},
        {"read bogus", FT_Read(bogus, &byte, 1, &done), kInvalidHandle},
        {"close closed", FT_Close(closed), kInvalidHandle},
        {"purge bogus", FT_Purge(bogus, 3), kInvalidHandle},
        {"reset closed", FT_ResetDevice(closed), kInvalidHandle},
        {"write null count", FT_Write(handle, &byte, 1, nullptr), kInvalidParameter},
        {"write null buffer", FT_Write(handle, nullptr, 1, &done), kInvalidParameter},
        {"read null buffer", FT_Read(handle, nullptr, 4, &done), kInvalidParameter},
        {"read null count", FT_Read(handle, &byte, 1, nullptr), kInvalidParameter},
        {"bit mode 3", FT_SetBitMode(handle, 0, 3), kInvalidParameter},
        {"empty write", FT_Write(handle, nullptr, 0, &done), kOk},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.status, row.expected) << row.call;
    EXPECT_EQ(FT_Close(handle), kOk);
}

TEST(D2xxApi, CountersAndModeledTime) {
    mdiosim::BenchDescription description = k8Bench({0});
    description.usbLatencySeconds = 100e-6;
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

TEST(D2xxApi, ConcurrentHostsThreadsAreSerialised) {
    mdiosim::resetBench(mdiosim::defaultBenchDescription());
    OpenDevice k8("K8A00001");
    OpenDevice gpio("AA000001");
    auto hammer = [](Handle handle, std::uint8_t pins) {
        for (int round = 0; round < 2000; ++round) {
            std::uint8_t command[] = {0x82, pins, 0xFF, 0x83};
            std::uint8_t reply = 0;
            std::uint32_t done = 0;
            FT_Write(handle, command, sizeof command, &done);
            FT_Read(handle, &reply, 1, &done);
        }
    };
    std::thread first(hammer, k8.handle, 0x0F);
    std::thread second(hammer, k8.handle, 0xF0);
    std::thread third(hammer, gpio.handle, 0x55);
    first.join();
    second.join();
    third.join();
    EXPECT_EQ(mdiosim::bench()->board(0).counters().usbWrites, 4000u);
    EXPECT_EQ(mdiosim::bench()->board(1).highPins().value, 0x55);
}
