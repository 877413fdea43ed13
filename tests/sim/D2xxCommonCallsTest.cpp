// The D2XX calls other programs commonly make besides those mdiohost uses:
// listing and opening by index, the queue peek, the serial port settings and
// what a bench cannot do.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "SimHarness.h"

using namespace simtest;
using namespace FTDI::D2xx;

extern "C" {
Status FT_Open(int deviceNumber, Handle* handle);
Status FT_ListDevices(void* first, void* second, std::uint32_t flags);
Status FT_GetQueueStatus(Handle handle, std::uint32_t* received);
Status FT_GetStatus(Handle handle, std::uint32_t* received, std::uint32_t* transmitting,
                    std::uint32_t* events);
Status FT_SetBaudRate(Handle handle, std::uint32_t baudRate);
Status FT_SetDataCharacteristics(Handle handle, std::uint8_t wordLength, std::uint8_t stopBits,
                                 std::uint8_t parity);
Status FT_SetFlowControl(Handle handle, std::uint16_t flowControl, std::uint8_t xon,
                         std::uint8_t xoff);
Status FT_GetBitMode(Handle handle, std::uint8_t* pins);
Status FT_GetLibraryVersion(std::uint32_t* version);
Status FT_GetDriverVersion(Handle handle, std::uint32_t* version);
Status FT_SetDeadmanTimeout(Handle handle, std::uint32_t milliseconds);
Status FT_EE_Read(Handle handle, void* data);
Status FT_SetEventNotification(Handle handle, std::uint32_t mask, void* parameter);
}

namespace {

constexpr std::uint32_t kListNumberOnly = 0x80000000;
constexpr std::uint32_t kListByIndex = 0x40000000;
constexpr std::uint32_t kListAll = 0x20000000;
constexpr std::uint32_t kByDescription = 2;
constexpr std::uint32_t kByLocation = 4;

void* index(std::uintptr_t value) {
    return reinterpret_cast<void*>(value);
}

// The default bench with its middle board unplugged and its last one held by
// another process: two devices by index, the second with blank strings.
class Listing : public testing::Test {
  protected:
    void SetUp() override {
        mdiosim::resetBench(mdiosim::defaultBenchDescription());
        auto bench = mdiosim::bench();
        bench->board("AA000001").unplug();
        bench->board("TV00001B").setOpenElsewhere(true);
    }
};

}  // namespace

TEST_F(Listing, CountsAndNamesThePluggedDevicesByIndexOrAll) {
    std::uint32_t count = 0;
    ASSERT_EQ(FT_ListDevices(&count, nullptr, kListNumberOnly), kOk);
    EXPECT_EQ(count, 2u);

    char text[64];
    EXPECT_EQ(FT_ListDevices(index(0), text, kListByIndex | kOpenBySerialNumber), kOk);
    EXPECT_STREQ(text, "K8A00001");
    EXPECT_EQ(FT_ListDevices(index(0), text, kListByIndex), kOk);  // serial number by default
    EXPECT_STREQ(text, "K8A00001");
    EXPECT_EQ(FT_ListDevices(index(0), text, kListByIndex | kByDescription), kOk);
    EXPECT_STREQ(text, "K8U MDIO I2C");
    EXPECT_EQ(FT_ListDevices(index(1), text, kListByIndex | kOpenBySerialNumber), kOk);
    EXPECT_STREQ(text, "");  // another process holds it: nothing can be read
    EXPECT_EQ(FT_ListDevices(index(2), text, kListByIndex), kDeviceNotFound);

    char first[64] = "x", second[64] = "x";
    char* buffers[] = {first, second, nullptr};
    count = 0;
    EXPECT_EQ(FT_ListDevices(buffers, &count, kListAll | kByDescription), kOk);
    EXPECT_EQ(count, 2u);
    EXPECT_STREQ(first, "K8U MDIO I2C");
    EXPECT_STREQ(second, "");
    // An array shorter than the list gets what fits, and the full count.
    char* one[] = {first, nullptr};
    EXPECT_EQ(FT_ListDevices(one, &count, kListAll), kOk);
    EXPECT_STREQ(first, "K8A00001");
    EXPECT_EQ(count, 2u);

    std::uint32_t locations[2] = {};
    EXPECT_EQ(FT_ListDevices(locations, &count, kListAll | kByLocation), kOk);
    EXPECT_EQ(locations[0], deviceList()[0].LocId);
    EXPECT_EQ(locations[1], 0u);

    // The driver cannot read a device another process holds: only the flag.
    const DeviceListNode held = deviceList()[1];
    EXPECT_EQ(held.Flags, kFlagOpened);
    EXPECT_EQ(std::string(held.SerialNumber) + held.Description, "");
}

TEST_F(Listing, MistakenArgumentsAndFaults) {
    char text[64];
    std::uint32_t count = 0;
    EXPECT_EQ(FT_ListDevices(nullptr, nullptr, kListNumberOnly), kInvalidParameter);
    EXPECT_EQ(FT_ListDevices(index(0), nullptr, kListByIndex), kInvalidParameter);
    EXPECT_EQ(FT_ListDevices(nullptr, &count, kListAll), kInvalidParameter);
    EXPECT_EQ(FT_ListDevices(text, &count, 0), kInvalidParameter);  // no list flag
    mdiosim::bench()->failCall(*mdiosim::d2xxOperationNamed("FT_ListDevices"), 1, kIoError);
    EXPECT_EQ(FT_ListDevices(&count, nullptr, kListNumberOnly), kIoError);
}

TEST_F(Listing, OpenByIndexCountsThePluggedDevices) {
    Handle handle = nullptr, again = nullptr;
    ASSERT_EQ(FT_Open(0, &handle), kOk);
    EXPECT_TRUE(mdiosim::bench()->board("K8A00001").isOpen());
    EXPECT_EQ(FT_Open(0, &again), kDeviceNotOpened);
    EXPECT_EQ(again, nullptr);
    EXPECT_EQ(FT_Open(1, &again), kDeviceNotOpened);  // held by another process
    EXPECT_EQ(FT_OpenEx(const_cast<char*>("TV00001B"), kOpenBySerialNumber, &again),
              kDeviceNotFound);
    EXPECT_EQ(FT_Open(2, &again), kDeviceNotFound);
    EXPECT_EQ(FT_Open(-1, &again), kDeviceNotFound);
    EXPECT_EQ(FT_Open(0, nullptr), kInvalidParameter);
    EXPECT_EQ(FT_Close(handle), kOk);
}

TEST(D2xxQueue, GetQueueStatusLooksWithoutTakingAndGetStatusAgrees) {
    UseBench bench{k8Bench({})};
    OpenDevice device{"K8T00001"};
    device.write({0xAB, 0xAC});  // two unknown opcodes: four bytes queued
    std::uint32_t queued = 0, transmitting = 9, events = 9;
    ASSERT_EQ(FT_GetQueueStatus(device.handle, &queued), kOk);
    EXPECT_EQ(queued, 4u);
    ASSERT_EQ(FT_GetQueueStatus(device.handle, &queued), kOk);
    EXPECT_EQ(queued, 4u);
    ASSERT_EQ(FT_GetStatus(device.handle, &queued, &transmitting, &events), kOk);
    EXPECT_EQ(queued + transmitting + events, 4u);
    EXPECT_EQ(device.read(3), (Bytes{0xFA, 0xAB, 0xFA}));
    ASSERT_EQ(FT_GetQueueStatus(device.handle, &queued), kOk);
    EXPECT_EQ(queued, 1u);

    // While the in-task is stopped nothing reaches the driver's queue.
    ASSERT_EQ(FT_StopInTask(device.handle), kOk);
    ASSERT_EQ(FT_GetQueueStatus(device.handle, &queued), kOk);
    EXPECT_EQ(queued, 0u);
    ASSERT_EQ(FT_RestartInTask(device.handle), kOk);
    EXPECT_EQ(FT_GetQueueStatus(device.handle, nullptr), kInvalidParameter);
    EXPECT_EQ(FT_GetStatus(device.handle, &queued, nullptr, &events), kInvalidParameter);
    EXPECT_EQ(FT_GetQueueStatus(reinterpret_cast<Handle>(0x1234), &queued), kInvalidHandle);
    // Looking is not a USB transfer: no round trip, no modeled time.
    EXPECT_EQ(mdiosim::bench()->board(0).counters().usbReads, 1u);
}

TEST(D2xxPort, SettingsAreCheckedAndKept) {
    mdiosim::BenchDescription description = k8Bench({});
    description.boards.push_back(
        oneBoardBench("FS000001", "full speed", 5, {}).boards.front());  // FT232R
    UseBench bench{description};
    OpenDevice highSpeed{"K8T00001", kBitModeReset};
    OpenDevice fullSpeed{"FS000001", kBitModeReset};
    const struct {
        Status status;
        Status expected;
    } rows[] = {
        {FT_SetBaudRate(highSpeed.handle, 182), kInvalidBaudRate},
        {FT_SetBaudRate(highSpeed.handle, 12000000), kOk},
        {FT_SetBaudRate(highSpeed.handle, 12000001), kInvalidBaudRate},
        {FT_SetBaudRate(fullSpeed.handle, 3000001), kInvalidBaudRate},
        {FT_SetBaudRate(fullSpeed.handle, 115200), kOk},
        {FT_SetDataCharacteristics(highSpeed.handle, 7, 2, 2), kOk},
        {FT_SetDataCharacteristics(highSpeed.handle, 6, 0, 0), kInvalidParameter},
        {FT_SetDataCharacteristics(highSpeed.handle, 8, 1, 0), kInvalidParameter},
        {FT_SetDataCharacteristics(highSpeed.handle, 8, 0, 5), kInvalidParameter},
        {FT_SetFlowControl(highSpeed.handle, 0x0400, 0x11, 0x13), kOk},
        {FT_SetFlowControl(highSpeed.handle, 0x0300, 0, 0), kInvalidParameter},
        {FT_SetDeadmanTimeout(highSpeed.handle, 2500), kOk},
    };
    for (std::size_t row = 0; row < std::size(rows); ++row)
        EXPECT_EQ(rows[row].status, rows[row].expected) << "row " << row;

    const mdiosim::ChipState state = mdiosim::bench()->board("K8T00001").chip();
    EXPECT_EQ(state.baudRate, 12000000u);
    EXPECT_EQ(state.wordLength, 7);
    EXPECT_EQ(state.stopBits, 2);
    EXPECT_EQ(state.parity, 2);
    EXPECT_EQ(state.flowControl, 0x0400);
    EXPECT_EQ(state.deadmanTimeoutMs, 2500u);
    EXPECT_EQ(mdiosim::bench()->board("FS000001").chip().baudRate, 115200u);
}

TEST(D2xxPort, BitModePinsVersionsAndWhatABenchCannotDo) {
    UseBench bench{k8Bench({})};
    OpenDevice device{"K8T00001"};
    // ADBUS1 and ADBUS3 driven low; ADBUS2, an input, is on the same wire as ADBUS1.
    device.write({0x80, 0xF1, 0xFB});
    std::uint8_t pins = 0;
    ASSERT_EQ(FT_GetBitMode(device.handle, &pins), kOk);
    EXPECT_EQ(pins, 0xF1);
    EXPECT_EQ(FT_GetBitMode(device.handle, nullptr), kInvalidParameter);

    std::uint32_t library = 0, driver = 0;
    EXPECT_EQ(FT_GetLibraryVersion(&library), kOk);
    EXPECT_EQ(FT_GetDriverVersion(device.handle, &driver), kOk);
    EXPECT_EQ(library, 0x00010000u);  // 1.00.00
    EXPECT_EQ(driver, 0x00010000u);
    EXPECT_EQ(FT_GetLibraryVersion(nullptr), kInvalidParameter);

    char data[256] = {};
    EXPECT_EQ(FT_EE_Read(device.handle, data), kNotSupported);
    EXPECT_EQ(FT_SetEventNotification(device.handle, 1, nullptr), kNotSupported);
    EXPECT_EQ(FT_EE_Read(reinterpret_cast<Handle>(0x1234), data), kInvalidHandle);
}
