#include "FuzzedDriver.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace fuzzing {
namespace {

using namespace FTDI::D2xx;

// Serial numbers a listed board may have: boards of both families, one that
// fills its field with no terminating zero (of each family), and an empty one.
constexpr std::array<std::string_view, 8> kSerialNumbers = {
    "K8A00001",         "AA000001", "TV00001B", "K8C0000000000001",
    "TV0000000000001B", "",         "K8A0000",  "TV00002B"};

// Descriptions of the K8 boards the library knows, and two it must refuse.
constexpr std::array<std::string_view, 8> kDescriptions = {
    "K8U MDIO I2C", "K8D MDIO", "K8U MDIO I2C JTAG", "K8D I2C", "K8U JTAG",
    "Talvik MDIO",  "K8",       "K8X NOTHING"};

// Device counts a broken driver may claim, beside the ordinary few.
constexpr std::uint32_t kAbsurdCounts[] = {127, 128, 1000000, 0x7FFFFFFF, 0xFFFFFFFF};

}  // namespace

FuzzedDataProvider* FuzzedDriver::answering() const {
    return std::this_thread::get_id() == mainThread ? input : nullptr;
}

// Mostly success, so the library gets past each step; otherwise any status
// the driver defines, or one it does not.
FTDI::D2xx::Status FuzzedDriver::status() {
    FuzzedDataProvider* in = answering();
    if (in == nullptr) return kOk;
    const auto pick = in->ConsumeIntegral<std::uint8_t>();
    if (pick < 0xE0) return kOk;
    if (pick == 0xFF) return 0xFFFFFFFF;
    return static_cast<Status>(pick - 0xE0 + 1);
}

void FuzzedDriver::fillText(char* field, std::size_t size) {
    FuzzedDataProvider* in = answering();
    std::memset(field, 0, size);
    if (in == nullptr) return;
    const auto choice = in->ConsumeIntegralInRange<std::size_t>(0, kDescriptions.size());
    if (choice < kDescriptions.size()) {
        const std::string_view text = kDescriptions[choice];
        std::copy_n(text.begin(), std::min(text.size(), size), field);
        return;
    }
    // Raw bytes to the brim, no terminating zero unless the input has one.
    const std::vector<std::uint8_t> raw = in->ConsumeBytes<std::uint8_t>(size);
    std::copy(raw.begin(), raw.end(), field);
}

FTDI::D2xx::Status FuzzedDriver::createDeviceInfoList(std::uint32_t& count) {
    const Status result = status();
    FuzzedDataProvider* in = answering();
    count = 0;
    if (in == nullptr) return result;
    count = in->ConsumeIntegralInRange(0, 15) == 0 ? in->PickValueInArray(kAbsurdCounts)
                                                   : in->ConsumeIntegralInRange(0u, 6u);
    return result;
}

FTDI::D2xx::Status FuzzedDriver::getDeviceInfoList(DeviceListNode* nodes, std::uint32_t& count) {
    const Status result = status();
    FuzzedDataProvider* in = answering();
    if (in == nullptr) {
        count = 0;
        return result;
    }
    const std::uint32_t room = count;
    const std::uint32_t filled = std::min<std::uint32_t>(room, in->ConsumeIntegralInRange(0u, 8u));
    for (std::uint32_t index = 0; index < filled; ++index) {
        DeviceListNode& node = nodes[index];
        node.Flags = in->ConsumeIntegral<std::uint8_t>() & kFlagOpened;
        node.Type = in->ConsumeBool() ? kChipTypeFt232h : in->ConsumeIntegral<std::uint32_t>();
        node.ID = in->ConsumeIntegral<std::uint32_t>();
        node.LocId = in->ConsumeIntegral<std::uint32_t>();
        std::memset(node.SerialNumber, 0, sizeof node.SerialNumber);
        const std::string_view serial = in->PickValueInArray(kSerialNumbers);
        std::copy(serial.begin(), serial.end(), node.SerialNumber);
        fillText(node.Description, sizeof node.Description);
        node.ftHandle = nullptr;
    }
    // The count reported back may even exceed the room given.
    count = in->ConsumeIntegralInRange(0, 7) == 0 ? in->ConsumeIntegral<std::uint32_t>() : filled;
    return result;
}

FTDI::D2xx::Status FuzzedDriver::openBySerialNumber(const char*, Handle& handle) {
    const Status result = status();
    handle = reinterpret_cast<Handle>(nextHandle);
    nextHandle += 0x10;
    return result;
}

FTDI::D2xx::Status FuzzedDriver::getDeviceInfo(Handle, std::uint32_t& chipType,
                                               std::uint32_t& deviceId, char* serialNumber,
                                               char* description) {
    const Status result = status();
    FuzzedDataProvider* in = answering();
    chipType = kChipTypeFt232h;
    deviceId = 0;
    if (in != nullptr) {
        if (in->ConsumeBool()) chipType = in->ConsumeIntegral<std::uint32_t>();
        const std::vector<std::uint8_t> serial = in->ConsumeBytes<std::uint8_t>(kSerialNumberSize);
        std::memset(serialNumber, 0, kSerialNumberSize);
        std::copy(serial.begin(), serial.end(), serialNumber);
    } else {
        std::memset(serialNumber, 0, kSerialNumberSize);
    }
    fillText(description, kDescriptionSize);
    return result;
}

FTDI::D2xx::Status FuzzedDriver::write(Handle, const std::uint8_t* bytes, std::uint32_t count,
                                       std::uint32_t& written) {
    const Status result = status();
    FuzzedDataProvider* in = answering();
    // Every byte handed over is read, as a driver would copy it.
    std::uint8_t sum = 0;
    for (std::uint32_t index = 0; index < count; ++index)
        sum = static_cast<std::uint8_t>(sum + bytes[index]);
    (void)sum;
    written = count;
    if (in == nullptr) return result;
    switch (in->ConsumeIntegralInRange(0, 9)) {
        case 0:
            written = 0;
            break;
        case 1:
            written = count == 0 ? 0 : in->ConsumeIntegralInRange<std::uint32_t>(0, count - 1);
            break;
        case 2:
            written = count + in->ConsumeIntegralInRange<std::uint32_t>(1, 1000);
            break;
        default:
            break;
    }
    return result;
}

FTDI::D2xx::Status FuzzedDriver::read(Handle, std::uint8_t* buffer, std::uint32_t count,
                                      std::uint32_t& received) {
    const Status result = status();
    FuzzedDataProvider* in = answering();
    received = 0;
    if (in == nullptr) return result;
    std::uint32_t filled = count;
    switch (in->ConsumeIntegralInRange(0, 9)) {
        case 0:
            filled = 0;
            break;
        case 1:
            filled = count == 0 ? 0 : in->ConsumeIntegralInRange<std::uint32_t>(0, count - 1);
            break;
        default:
            break;
    }
    const std::vector<std::uint8_t> bytes = in->ConsumeBytes<std::uint8_t>(filled);
    std::copy(bytes.begin(), bytes.end(), buffer);
    // A reply cut short by the end of the input still counts as returned: the
    // bytes past it are zeros.
    std::fill(buffer + bytes.size(), buffer + filled, 0);
    received = filled;
    // Now and then a driver claims more than the buffer held.
    if (in->ConsumeIntegralInRange(0, 31) == 0) received = count + 1;
    return result;
}

}  // namespace fuzzing
