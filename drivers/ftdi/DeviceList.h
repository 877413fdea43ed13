// The D2XX device list built from the USB devices found: one entry per
// interface, so a two- or four-channel chip lists as two or four devices
// whose serial numbers and descriptions carry the channel letter, as the
// vendor driver shows them ("K8A00002A", "Dual RS232-HS A").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "UsbPort.h"
#include "ftdi/d2xx/D2xxAbi.h"

namespace usbdriver {

// Device-list flag bit 1: a high-speed (480 Mb/s) device.
inline constexpr std::uint32_t kFlagHighSpeed = 0x2;

struct ListedDevice {
    std::uint32_t token;      // the USB device, as UsbPort::open takes it
    unsigned interfaceIndex;  // 0 for channel A
    std::uint32_t type;       // D2XX chip type
    std::uint32_t id;         // vendor id << 16 | product id
    std::uint32_t locationId;
    bool highSpeed;
    std::string serialNumber;  // with the channel letter on multi-channel chips
    std::string description;
};

std::vector<ListedDevice> listDevices(const std::vector<UsbDeviceFound>& found);

// Fills a device-list node; `opened` sets the open flag.
void fillNode(const ListedDevice& device, bool opened, FTDI::D2xx::DeviceListNode& node);

}  // namespace usbdriver
