#include "DeviceList.h"

#include <algorithm>
#include <cstring>

#include "ChipTypes.h"

namespace usbdriver {
namespace {

// The location id packs the bus number, each hub port on the way and, on a
// multi-channel chip, the channel (1 for A) into hexadecimal digits: bus 1,
// port 4, channel B reads 0x142. The same socket gives the same id.
std::uint32_t locationOf(const UsbDeviceFound& device, unsigned interfaceIndex,
                         unsigned interfaces) {
    std::uint32_t location = device.busNumber;
    for (const std::uint8_t port : device.portPath)
        location = (location << 4) | (port & 0xFu);
    if (interfaces > 1) location = (location << 4) | (interfaceIndex + 1);
    return location;
}

void copyField(char* field, std::size_t size, const std::string& value) {
    const std::size_t length = std::min(value.size(), size - 1);
    std::memcpy(field, value.data(), length);
    std::memset(field + length, 0, size - length);
}

}  // namespace

std::vector<ListedDevice> listDevices(const std::vector<UsbDeviceFound>& found) {
    std::vector<ListedDevice> listed;
    for (const UsbDeviceFound& device : found) {
        const ChipKind kind = chipKind(device.releaseNumber);
        for (unsigned index = 0; index < kind.interfaces; ++index) {
            ListedDevice entry{};
            entry.token = device.token;
            entry.interfaceIndex = index;
            entry.type = kind.type;
            entry.id = (static_cast<std::uint32_t>(device.vendorId) << 16) | device.productId;
            entry.locationId = locationOf(device, index, kind.interfaces);
            entry.highSpeed = device.highSpeed;
            entry.serialNumber = device.serialNumber;
            entry.description = device.description;
            // A device whose strings could not be read keeps them blank.
            if (kind.interfaces > 1 && !device.serialNumber.empty()) {
                const char channel = static_cast<char>('A' + index);
                entry.serialNumber += channel;
                entry.description += ' ';
                entry.description += channel;
            }
            listed.push_back(std::move(entry));
        }
    }
    return listed;
}

void fillNode(const ListedDevice& device, bool opened, FTDI::D2xx::DeviceListNode& node) {
    node = FTDI::D2xx::DeviceListNode{};
    node.Flags = (opened ? FTDI::D2xx::kFlagOpened : 0) | (device.highSpeed ? kFlagHighSpeed : 0);
    node.Type = device.type;
    node.ID = device.id;
    node.LocId = device.locationId;
    copyField(node.SerialNumber, FTDI::D2xx::kSerialNumberSize, device.serialNumber);
    copyField(node.Description, FTDI::D2xx::kDescriptionSize, device.description);
}

}  // namespace usbdriver
