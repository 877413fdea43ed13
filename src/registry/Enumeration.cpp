// Reading the driver's device list into adapters.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "ftdi/UsbLock.h"
#include "ftdi/d2xx/Driver.h"
#include "ftdi/d2xx/StatusText.h"
#include "registry/BoardFactories.h"
#include "registry/TalvikControl.h"

namespace {

using FTDI::D2xx::DeviceListNode;

// USB addresses are seven bits with address 0 kept for a device being set
// up, so a bus holds at most 127 devices; the driver lists each interface of
// a chip as a device of its own (four on an FT4232H), and a host has a bus
// per controller and speed, with add-in controllers a dozen or more. Sixteen
// buses of 127 four-interface chips is more than any host carries, and its
// list is under a megabyte. A driver announcing more is broken; believing it
// would size the device list (and the sort after it) by its word.
constexpr std::uint32_t kDevicesPerBus = 127;
constexpr std::uint32_t kInterfacesPerChip = 4;
constexpr std::uint32_t kUsbBuses = 16;
constexpr std::uint32_t kMostUsbDevices = kDevicesPerBus * kInterfacesPerChip * kUsbBuses;

void reportListFailure(const char* what, std::uint32_t status) {
    std::fprintf(stderr, "%s%s\n", what, FTDI::statusText(status).c_str());
}

// The serial number of a node; the driver's field is not terminated when
// the serial number fills it.
std::string serialNumberOf(const DeviceListNode& node) {
    const char* end = std::find(std::begin(node.SerialNumber), std::end(node.SerialNumber), '\0');
    return std::string(std::begin(node.SerialNumber), end);
}

}  // namespace

void TalvikControl::enumerateDevices() {
    FTDI::UsbLockGuard lock(FTDI::usbLock());
    const std::size_t sizeBefore = adapters.size();

    std::uint32_t count = 0;
    FTDI::D2xx::Status status = FTDI::D2xx::driver().createDeviceInfoList(count);
    if (status != FTDI::D2xx::kOk) {
        reportListFailure("Error retrieving device list: ", status);
        return;
    }
    if (count == 0) return;
    if (count > kMostUsbDevices) {
        std::fprintf(stderr,
                     "Error retrieving device list: the driver reports %lu devices, more than "
                     "the %lu a USB host can hold.\n",
                     static_cast<unsigned long>(count),
                     static_cast<unsigned long>(kMostUsbDevices));
        return;
    }

    std::vector<DeviceListNode> nodes(count, DeviceListNode{});
    status = FTDI::D2xx::driver().getDeviceInfoList(nodes.data(), count);
    if (status != FTDI::D2xx::kOk) {
        reportListFailure("Error retrieving device information: ", status);
        return;
    }
    // A driver may report fewer nodes than it announced; never more than we gave it room for.
    nodes.resize(std::min<std::size_t>(count, nodes.size()));

    // Devices open already (here or in another process) are skipped. The rest
    // are offered in byte-wise serial-number order, so "FT10" comes before
    // "FT2"; equal serial numbers keep the driver's order.
    std::vector<std::pair<std::string, std::size_t>> order;
    for (std::size_t position = 0; position < nodes.size(); ++position) {
        if ((nodes[position].Flags & FTDI::D2xx::kFlagOpened) != 0) continue;
        order.emplace_back(serialNumberOf(nodes[position]), position);
    }
    std::sort(order.begin(), order.end());

    try {
        for (const auto& [serial, position] : order) {
            for (mdiohost::BoardFactory factory : mdiohost::boardFactories()) {
                if (factory(adapters, nodes[position])) break;
            }
        }
    } catch (...) {
        // The adapters made before the failure stay; the slot limit must
        // hold for them too, or their indexes would reach past the tables.
        exitIfOverLimit();
        throw;
    }

    if (!adapters.empty() && adapters.size() != sizeBefore) fillNameList();
}

void TalvikControl::exitIfOverLimit() const {
    // The name list the host reads has a fixed number of slots; the process
    // cannot go on with adapters it has no slot for.
    if (adapters.size() > kMaxAdapters) {
        std::fprintf(stderr,
                     "Error: Too many devices connected. Code needs modified. Current limit: %u\n",
                     kMaxAdapters);
        std::exit(1);
    }
}

void TalvikControl::fillNameList() {
    exitIfOverLimit();
    for (std::size_t slot = filledNameCount; slot < adapters.size(); ++slot) {
        const std::string& adapterName = adapters[slot]->name;
        auto* copy = static_cast<char*>(std::malloc(adapterName.size() + 1));
        if (copy == nullptr) {
            std::fputs("Out of memory.\n", stderr);
            std::exit(1);
        }
        std::memcpy(copy, adapterName.c_str(), adapterName.size() + 1);
        deviceNames[slot] = copy;
    }
    filledNameCount = static_cast<std::uint32_t>(adapters.size());
}
