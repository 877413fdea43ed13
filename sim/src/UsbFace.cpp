#include "mdiosim/UsbFace.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "BoardHardware.h"
#include "FtdiChip.h"
#include "ProcessBench.h"
#include "UsbRequests.h"
#include "mdiosim/Counters.h"

namespace mdiosim {

using namespace usb;

namespace {

// What the chip type decides on the bus: product id, release number
// (bcdDevice, which hosts read the chip type from), channels and speed.
struct ChipIdentity {
    std::uint16_t productId;
    std::uint16_t releaseNumber;
    unsigned interfaces;
    bool highSpeed;
};

ChipIdentity identityOf(std::uint32_t chipType) {
    switch (chipType) {
        case 0:
            return {0x6001, 0x0400, 1, false};  // FT232BM
        case 1:
            return {0x6001, 0x0200, 1, false};  // FT232AM
        case 4:
            return {0x6010, 0x0500, 2, false};  // FT2232C/D
        case 5:
            return {0x6001, 0x0600, 1, false};  // FT232R
        case 6:
            return {0x6010, 0x0700, 2, true};  // FT2232H
        case 7:
            return {0x6011, 0x0800, 4, true};  // FT4232H
        case 8:
            return {0x6014, 0x0900, 1, true};  // FT232H
        case 9:
            return {0x6015, 0x1000, 1, false};  // X series
        default:
            return {0x6001, 0x0600, 1, false};
    }
}

void appendWord(std::vector<std::uint8_t>& bytes, std::uint16_t word) {
    bytes.push_back(static_cast<std::uint8_t>(word));
    bytes.push_back(static_cast<std::uint8_t>(word >> 8));
}

// A string descriptor: length, type, then the text in UTF-16LE.
std::vector<std::uint8_t> stringDescriptor(const std::string& text) {
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(2 + 2 * text.size()),
                                    kDescriptorString};
    for (const char character : text)
        appendWord(bytes, static_cast<std::uint8_t>(character));
    return bytes;
}

// Channel A is interface 0; requests name it 1 in wIndex's low byte (0 too).
unsigned channelOfIndex(std::uint16_t index) {
    const unsigned channel = index & 0xFFu;
    return channel == 0 ? 0 : channel - 1;
}

// Endpoints 0x81/0x02 are channel A, 0x83/0x04 channel B, and so on.
unsigned channelOfEndpoint(std::uint8_t endpoint) {
    const unsigned number = endpoint & 0x7Fu;
    return (endpoint & kDirectionIn) ? (number - 1) / 2 : number / 2 - 1;
}

Board* pluggedBoard(const std::string& serial) {
    Board* board = lockedBench().findBoard(serial);
    return board != nullptr && board->plugged() ? board : nullptr;
}

constexpr UsbAnswer kNoDevice{UsbOutcome::NoDevice, 0};
constexpr UsbAnswer kStall{UsbOutcome::Stall, 0};

UsbAnswer answerWith(const std::vector<std::uint8_t>& bytes, std::uint8_t* data,
                     std::size_t length) {
    const std::size_t count = std::min(length, bytes.size());
    std::memcpy(data, bytes.data(), count);
    return {UsbOutcome::Done, count};
}

}  // namespace

UsbFace::UsbFace(std::string serialNumber)
    : serial(std::move(serialNumber)), spareCounters(std::make_unique<Counters>()) {}

UsbFace::~UsbFace() = default;

unsigned UsbFace::interfaceCount() const {
    const std::lock_guard guard(benchMutex());
    const Board* board = lockedBench().findBoard(serial);
    return board != nullptr ? identityOf(board->chipType()).interfaces : 0;
}

bool UsbFace::highSpeed() const {
    const std::lock_guard guard(benchMutex());
    const Board* board = lockedBench().findBoard(serial);
    return board != nullptr && identityOf(board->chipType()).highSpeed;
}

std::vector<std::uint8_t> UsbFace::descriptors() const {
    const std::lock_guard guard(benchMutex());
    const Board* board = lockedBench().findBoard(serial);
    if (board == nullptr) return {};
    const ChipIdentity identity = identityOf(board->chipType());
    std::vector<std::uint8_t> bytes{kDeviceDescriptorSize, kDescriptorDevice};
    appendWord(bytes, kUsb20);
    bytes.insert(bytes.end(), {0, 0, 0, kControlPacketSize});  // class in the interfaces
    appendWord(bytes, kFtdiVendorId);
    appendWord(bytes, identity.productId);
    appendWord(bytes, identity.releaseNumber);
    bytes.insert(bytes.end(), {kStringManufacturer, kStringProduct, kStringSerialNumber, 1});

    const std::uint16_t packet = identity.highSpeed ? kHighSpeedPacket : kFullSpeedPacket;
    const auto total = static_cast<std::uint16_t>(
        kConfigurationDescriptorSize +
        identity.interfaces * (kInterfaceDescriptorSize + 2 * kEndpointDescriptorSize));
    bytes.insert(bytes.end(), {kConfigurationDescriptorSize, kDescriptorConfiguration});
    appendWord(bytes, total);
    bytes.insert(bytes.end(), {static_cast<std::uint8_t>(identity.interfaces), 1, 0, kBusPowered,
                               kMaxPower90mA});
    for (unsigned channel = 0; channel < identity.interfaces; ++channel) {
        bytes.insert(bytes.end(), {kInterfaceDescriptorSize, kDescriptorInterface,
                                   static_cast<std::uint8_t>(channel), 0, 2, kVendorSpecificClass,
                                   kVendorSpecificClass, kVendorSpecificClass, kStringProduct});
        bytes.insert(bytes.end(),
                     {kEndpointDescriptorSize, kDescriptorEndpoint,
                      static_cast<std::uint8_t>(kDirectionIn | (2 * channel + 1)), kBulk});
        appendWord(bytes, packet);
        bytes.push_back(0);
        bytes.insert(bytes.end(), {kEndpointDescriptorSize, kDescriptorEndpoint,
                                   static_cast<std::uint8_t>(2 * channel + 2), kBulk});
        appendWord(bytes, packet);
        bytes.push_back(0);
    }
    return bytes;
}

FtdiChip* UsbFace::channel(unsigned interfaceIndex) {
    Board* board = pluggedBoard(serial);
    if (board == nullptr) return nullptr;
    const ChipIdentity identity = identityOf(board->chipType());
    if (interfaceIndex >= identity.interfaces) return nullptr;
    if (interfaceIndex == 0) return &board->hardware().chip;
    while (spareChannels.size() < interfaceIndex) {
        spareChannels.push_back(std::make_unique<FtdiChip>(board->chipType(), 0, *spareCounters));
    }
    return spareChannels[interfaceIndex - 1].get();
}

UsbAnswer UsbFace::control(const UsbSetup& setup, std::uint8_t* data) {
    const std::lock_guard guard(benchMutex());
    if (pluggedBoard(serial) == nullptr) return kNoDevice;
    if ((setup.requestType & kRequestTypeMask) == kRequestTypeStandard)
        return standardRequest(setup, data);
    if (setup.requestType != kVendorOut && setup.requestType != kVendorIn) return kStall;
    return vendorRequest(setup, data);
}

UsbAnswer UsbFace::standardRequest(const UsbSetup& setup, std::uint8_t* data) {
    Board& board = *pluggedBoard(serial);
    switch (setup.request) {
        case kGetStatus:
            return answerWith({0, 0}, data, setup.length);
        case kSetConfiguration:
            return {};
        case kGetDescriptor:
            break;
        default:
            return kStall;
    }
    const auto type = static_cast<std::uint8_t>(setup.value >> 8);
    const auto index = static_cast<std::uint8_t>(setup.value);
    if (type == kDescriptorDevice || type == kDescriptorConfiguration) {
        std::vector<std::uint8_t> all = descriptors();
        if (type == kDescriptorConfiguration)
            all.erase(all.begin(), all.begin() + kDeviceDescriptorSize);
        return answerWith(all, data, setup.length);
    }
    if (type != kDescriptorString) return kStall;
    switch (index) {
        case 0: {
            std::vector<std::uint8_t> languages{4, kDescriptorString};
            appendWord(languages, kLanguageEnglishUs);
            return answerWith(languages, data, setup.length);
        }
        case kStringManufacturer:
            return answerWith(stringDescriptor("FTDI"), data, setup.length);
        case kStringProduct:
            return answerWith(stringDescriptor(board.description()), data, setup.length);
        case kStringSerialNumber:
            return answerWith(stringDescriptor(board.serialNumber()), data, setup.length);
        default:
            return kStall;
    }
}

UsbAnswer UsbFace::vendorRequest(const UsbSetup& setup, std::uint8_t* data) {
    FtdiChip* chip = channel(channelOfIndex(setup.index));
    if (chip == nullptr) return kStall;
    BoardHardware& parts = pluggedBoard(serial)->hardware();
    const bool channelA = chip == &parts.chip;
    switch (setup.request) {
        case kReset:
            if (setup.value == kResetChip) {
                chip->reset();
            } else if (setup.value == kPurgeTransmit) {
                chip->purgeTransmit();
            } else if (setup.value == kPurgeReceive) {
                chip->purgeReceive();
            } else {
                return kStall;
            }
            return {};
        case kSetBaudRate:
            baud = setup.value | (static_cast<std::uint32_t>(setup.index >> 8) << 16);
            return {};
        case kSetLatencyTimer:
            if (channelA) parts.usb.latencyMs = static_cast<std::uint8_t>(setup.value);
            return {};
        case kGetLatencyTimer:
            return answerWith({parts.usb.latencyMs}, data, setup.length);
        case kSetBitMode: {
            const auto mode = static_cast<std::uint8_t>(setup.value >> 8);
            // One mode bit at a time, as the chips take them.
            if ((mode & (mode - 1)) != 0) return kStall;
            chip->setBitMode(mode);
            return {};
        }
        case kReadPins:
            return answerWith({chip->mpsse().lowPins().levels}, data, setup.length);
        case kPollModemStatus:
            return answerWith({kModemStatus, kLineStatus}, data, setup.length);
        case kReadEeprom:
            return answerWith({0xFF, 0xFF}, data, setup.length);  // blank
        case kSetModemControl:
        case kSetFlowControl:
        case kSetData:
        case kSetEventChar:
        case kSetErrorChar:
            return {};
        default:
            return kStall;
    }
}

UsbAnswer UsbFace::bulkOut(std::uint8_t endpoint, const std::uint8_t* bytes, std::size_t count) {
    const std::lock_guard guard(benchMutex());
    if (pluggedBoard(serial) == nullptr) return kNoDevice;
    if (endpoint & kDirectionIn) return kStall;
    FtdiChip* chip = channel(channelOfEndpoint(endpoint));
    if (chip == nullptr) return kStall;
    chip->write(bytes, count);
    BoardHardware& parts = pluggedBoard(serial)->hardware();
    if (chip == &parts.chip) {
        parts.counters.usbWrites += 1;
        parts.counters.bytesWritten += count;
        parts.countTransfer(true);
        parts.countPackets(count, true);
    }
    return {UsbOutcome::Done, count};
}

UsbAnswer UsbFace::bulkIn(std::uint8_t endpoint, std::uint8_t* buffer, std::size_t capacity) {
    const std::lock_guard guard(benchMutex());
    Board* board = pluggedBoard(serial);
    if (board == nullptr) return kNoDevice;
    if (!(endpoint & kDirectionIn)) return kStall;
    FtdiChip* chip = channel(channelOfEndpoint(endpoint));
    if (chip == nullptr) return kStall;
    const std::size_t packet =
        identityOf(board->chipType()).highSpeed ? kHighSpeedPacket : kFullSpeedPacket;
    std::size_t length = 0;
    std::size_t payload = 0;
    const std::size_t ready = chip->readyToSend();
    while (capacity - length >= 2) {
        buffer[length] = kModemStatus;
        buffer[length + 1] = kLineStatus;
        const std::size_t room = std::min(packet, capacity - length) - 2;
        const std::size_t got = chip->read(buffer + length + 2, room);
        length += 2 + got;
        payload += got;
        // A short packet ends the transfer.
        if (got < packet - 2) break;
    }
    BoardHardware& parts = board->hardware();
    if (chip == &parts.chip && payload != 0) {
        parts.counters.usbReads += 1;
        parts.counters.bytesRead += payload;
        parts.countTransfer(false);
        parts.countPackets(payload, false);
        parts.countLatencyTimer(payload > ready);
    }
    return {UsbOutcome::Done, length};
}

}  // namespace mdiosim
