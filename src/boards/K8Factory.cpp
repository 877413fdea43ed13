#include "boards/K8Factory.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <string_view>

#include "boards/K8BoardTables.h"
#include "boards/K8Device.h"
#include "boards/LED_4BitRGB.h"
#include "boards/LED_None.h"

namespace FTDI::K8 {
namespace {

constexpr std::string_view kBoardPrefix = "K8";
constexpr std::size_t kLedKindPosition = 2;
constexpr char kRgbLedKind = 'U';

// A fixed-size field of the device list, up to its first zero byte.
std::string fieldText(const char* field, std::size_t size) {
    return std::string(field, strnlen(field, size));
}

// Adapter name -> protocol, ordered by name; a protocol named twice is one entry.
std::map<std::string, std::string> protocolsOf(const std::string& serialNumber,
                                               const std::string& description) {
    std::map<std::string, std::string> adapters;
    std::size_t begin = 0;
    while (true) {
        const std::size_t space = description.find(' ', begin);
        const std::string token = description.substr(begin, space - begin);
        if (isProtocolName(token)) adapters.emplace(serialNumber + ":" + token, token);
        if (space == std::string::npos) break;
        begin = space + 1;
    }
    return adapters;
}

}  // namespace

bool factory(AdapterTable& adapters, const D2xx::DeviceListNode& node) {
    const std::string serialNumber = fieldText(node.SerialNumber, sizeof node.SerialNumber);
    const std::string description = fieldText(node.Description, sizeof node.Description);
    if (serialNumber.empty() || description.size() <= kLedKindPosition) return false;
    if (!description.starts_with(kBoardPrefix)) return false;

    std::map<std::string, std::string> protocols = protocolsOf(serialNumber, description);
    if (protocols.empty()) {
        std::fputs("\n", stderr);
        std::fflush(stderr);
        std::fputs("ZM FTDI device found without any supported protocols.\n", stderr);
        std::fflush(stderr);
        return false;
    }
    if (protocols.size() == 1) {
        std::string protocol = protocols.begin()->second;
        protocols = {{serialNumber, std::move(protocol)}};
    }

    const bool rgbLed = description[kLedKindPosition] == kRgbLedKind;
    for (const auto& [adapterName, protocol] : protocols) {
        if (hasAdapterNamed(adapters, adapterName)) continue;
        auto device = std::make_unique<Device>(adapterName, serialNumber, description, protocol);
        if (rgbLed) {
            device->markStatusLed();
            device->leds = std::make_unique<LED_4BitRGB>(device.get());
        } else {
            device->leds = std::make_unique<LED_None>(device.get());
        }
        adapters.push_back(std::move(device));
    }
    return true;
}

}  // namespace FTDI::K8
