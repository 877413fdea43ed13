// The device list and opening: one entry per channel with the vendor's
// letters, flags, location ids, and open by serial number or index.
#include <gtest/gtest.h>
#include <libusb.h>

#include <string>

#include "D2xxSession.h"
#include "ScriptedUsbPort.h"

using namespace FTDI::D2xx;
using usbdriver::D2xxSession;

namespace {

struct Listing {
    scripted::Port* port;
    D2xxSession session;
    explicit Listing(std::unique_ptr<scripted::Port> owned)
        : port(owned.get()), session(std::move(owned)) {}

    std::vector<DeviceListNode> list() {
        std::uint32_t count = 0;
        EXPECT_EQ(session.createDeviceInfoList(&count), kOk);
        std::vector<DeviceListNode> nodes(count);
        EXPECT_EQ(session.getDeviceInfoList(nodes.data(), &count), kOk);
        return nodes;
    }
};

std::unique_ptr<scripted::Port> benchOfThree() {
    auto port = std::make_unique<scripted::Port>();
    port->devices = {scripted::device(1, 0x0900, "K8A00001", "K8U MDIO I2C"),
                     scripted::device(2, 0x0700, "K8A00002", "K8D MDIO"),
                     scripted::device(3, 0x0600, "TV00001B", "Talvik MDIO")};
    port->devices[1].productId = 0x6010;
    return port;
}

}  // namespace

TEST(DeviceList, OneEntryPerChannelWithTheVendorsLetters) {
    Listing bench(benchOfThree());
    const std::vector<DeviceListNode> nodes = bench.list();
    struct Row {
        std::string serial, description;
        std::uint32_t type, id, location, flags;
    };
    const Row expected[] = {
        {"K8A00001", "K8U MDIO I2C", 8, 0x04036014, 0x11, 0x2},
        {"K8A00002A", "K8D MDIO A", 6, 0x04036010, 0x121, 0x2},
        {"K8A00002B", "K8D MDIO B", 6, 0x04036010, 0x122, 0x2},
        {"TV00001B", "Talvik MDIO", 5, 0x04036014, 0x13, 0x0},
    };
    ASSERT_EQ(nodes.size(), std::size(expected));
    for (std::size_t index = 0; index < nodes.size(); ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(nodes[index].SerialNumber, expected[index].serial);
        EXPECT_EQ(nodes[index].Description, expected[index].description);
        EXPECT_EQ(nodes[index].Type, expected[index].type);
        EXPECT_EQ(nodes[index].ID, expected[index].id);
        EXPECT_EQ(nodes[index].LocId, expected[index].location);
        EXPECT_EQ(nodes[index].Flags, expected[index].flags);
        EXPECT_EQ(nodes[index].ftHandle, nullptr);
    }
}

TEST(DeviceList, FourChannelsAndUnreadableStrings) {
    auto port = std::make_unique<scripted::Port>();
    port->devices = {scripted::device(4, 0x0800, "FT4X", "Quad RS232-HS"),
                     scripted::device(5, 0x0900, "", "")};
    Listing bench(std::move(port));
    const std::vector<DeviceListNode> nodes = bench.list();
    ASSERT_EQ(nodes.size(), 5u);
    EXPECT_EQ(std::string(nodes[3].SerialNumber) + "|" + nodes[3].Description,
              "FT4XD|Quad RS232-HS D");
    EXPECT_EQ(nodes[3].LocId, 0x144u);
    // No permission to read the strings: listed blank, never with a letter alone.
    EXPECT_EQ(std::string(nodes[4].SerialNumber) + "|" + nodes[4].Description, "|");
}

TEST(DeviceList, OpenBySerialPicksTheChannelAndMarksItOpen) {
    Listing bench(benchOfThree());
    bench.list();
    Handle handle = nullptr;
    ASSERT_EQ(bench.session.openBySerialNumber("K8A00002B", &handle), kOk);
    ASSERT_EQ(bench.port->links.size(), 1u);
    EXPECT_EQ(bench.port->links[0]->token, 2u);
    EXPECT_EQ(bench.port->links[0]->interfaceIndex, 1u);

    const std::vector<DeviceListNode> nodes = bench.list();
    EXPECT_EQ(nodes[2].Flags, kFlagOpened | usbdriver::kFlagHighSpeed);
    EXPECT_EQ(nodes[2].ftHandle, handle);
    EXPECT_EQ(nodes[1].Flags, usbdriver::kFlagHighSpeed);

    std::uint32_t type = 0, id = 0;
    char serial[kSerialNumberSize] = {}, description[kDescriptionSize] = {};
    ASSERT_EQ(bench.session.getDeviceInfo(handle, &type, &id, serial, description), kOk);
    EXPECT_EQ(std::string(serial) + "|" + description + "|" + std::to_string(type),
              "K8A00002B|K8D MDIO B|6");

    EXPECT_EQ(bench.session.close(handle), kOk);
    EXPECT_TRUE(bench.port->links[0]->closed);
    EXPECT_EQ(bench.session.close(handle), kInvalidHandle);
}

TEST(DeviceList, OpenRefusals) {
    struct Row {
        const char* serial;
        int openAnswer;
        Status expected;
    };
    const Row rows[] = {
        {"NOPE", 0, kDeviceNotFound},
        {"K8A00002", 0, kDeviceNotFound},  // a two-channel chip is opened by channel
        // The open step's mapping (the table has every error): gone is not found.
        {"K8A00001", LIBUSB_ERROR_NO_DEVICE, kDeviceNotFound},
        {nullptr, 0, kInvalidParameter},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.serial != nullptr ? row.serial : "null");
        Listing bench(benchOfThree());
        bench.port->openAnswer = row.openAnswer;
        Handle handle = reinterpret_cast<Handle>(1);
        EXPECT_EQ(bench.session.openBySerialNumber(row.serial, &handle), row.expected);
        EXPECT_EQ(handle == nullptr, row.serial != nullptr);
    }
}

TEST(DeviceList, SecondOpenOfAChannelIsRefusedAndUnpluggedIsNotFound) {
    Listing bench(benchOfThree());
    Handle first = nullptr, second = nullptr;
    ASSERT_EQ(bench.session.openByIndex(0, &first), kOk);
    EXPECT_EQ(bench.session.openBySerialNumber("K8A00001", &second), kDeviceNotOpened);
    EXPECT_EQ(bench.session.openByIndex(9, &second), kDeviceNotFound);
    // Opening looks at the bus again: a device gone since the list is not found.
    bench.port->devices.pop_back();
    EXPECT_EQ(bench.session.openBySerialNumber("TV00001B", &second), kDeviceNotFound);
    bench.port->enumerateAnswer = LIBUSB_ERROR_NO_MEM;
    std::uint32_t count = 0;
    EXPECT_EQ(bench.session.createDeviceInfoList(&count), kInsufficientResources);
}
