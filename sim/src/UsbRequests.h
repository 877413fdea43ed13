// The FTDI chip's USB protocol: vendor control requests, their arguments,
// the descriptors' fixed bytes and the modem status that leads every bulk
// IN packet.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mdiosim::usb {

// bmRequestType of the vendor requests, host to device and device to host.
inline constexpr std::uint8_t kVendorOut = 0x40;
inline constexpr std::uint8_t kVendorIn = 0xC0;
// bmRequestType bit 7: device to host.
inline constexpr std::uint8_t kDirectionIn = 0x80;
inline constexpr std::uint8_t kRequestTypeMask = 0x60;
inline constexpr std::uint8_t kRequestTypeStandard = 0x00;

// Vendor requests (bRequest).
inline constexpr std::uint8_t kReset = 0x00;  // wValue: kResetChip, kPurge*
inline constexpr std::uint8_t kSetModemControl = 0x01;
inline constexpr std::uint8_t kSetFlowControl = 0x02;
inline constexpr std::uint8_t kSetBaudRate = 0x03;  // wValue and wIndex high byte: divisor
inline constexpr std::uint8_t kSetData = 0x04;
inline constexpr std::uint8_t kPollModemStatus = 0x05;
inline constexpr std::uint8_t kSetEventChar = 0x06;
inline constexpr std::uint8_t kSetErrorChar = 0x07;
inline constexpr std::uint8_t kSetLatencyTimer = 0x09;  // wValue: milliseconds
inline constexpr std::uint8_t kGetLatencyTimer = 0x0A;
inline constexpr std::uint8_t kSetBitMode = 0x0B;  // wValue: mode << 8 | pin mask
inline constexpr std::uint8_t kReadPins = 0x0C;
inline constexpr std::uint8_t kReadEeprom = 0x90;

// kReset's wValue. Purges are named from the chip's side: "transmit" is the
// buffer of bytes from the host that the chip has not executed yet,
// "receive" the bytes waiting to go to the host.
inline constexpr std::uint16_t kResetChip = 0;
inline constexpr std::uint16_t kPurgeTransmit = 1;
inline constexpr std::uint16_t kPurgeReceive = 2;

// Standard requests and descriptor types.
inline constexpr std::uint8_t kGetStatus = 0x00;
inline constexpr std::uint8_t kGetDescriptor = 0x06;
inline constexpr std::uint8_t kSetConfiguration = 0x09;
inline constexpr std::uint8_t kDescriptorDevice = 0x01;
inline constexpr std::uint8_t kDescriptorConfiguration = 0x02;
inline constexpr std::uint8_t kDescriptorString = 0x03;
inline constexpr std::uint8_t kDescriptorInterface = 0x04;
inline constexpr std::uint8_t kDescriptorEndpoint = 0x05;
inline constexpr std::uint16_t kLanguageEnglishUs = 0x0409;
// String indexes in the device descriptor.
inline constexpr std::uint8_t kStringManufacturer = 1;
inline constexpr std::uint8_t kStringProduct = 2;
inline constexpr std::uint8_t kStringSerialNumber = 3;

// Descriptor lengths.
inline constexpr std::uint8_t kDeviceDescriptorSize = 18;
inline constexpr std::uint8_t kConfigurationDescriptorSize = 9;
inline constexpr std::uint8_t kInterfaceDescriptorSize = 9;
inline constexpr std::uint8_t kEndpointDescriptorSize = 7;

inline constexpr std::uint16_t kFtdiVendorId = 0x0403;
inline constexpr std::uint16_t kUsb20 = 0x0200;
inline constexpr std::uint8_t kControlPacketSize = 64;
inline constexpr std::uint8_t kVendorSpecificClass = 0xFF;
inline constexpr std::uint8_t kBulk = 0x02;
inline constexpr std::uint8_t kBusPowered = 0x80;
inline constexpr std::uint8_t kMaxPower90mA = 45;  // in 2 mA units

// Bulk IN packet sizes: high-speed chips and the full-speed ones.
inline constexpr std::size_t kHighSpeedPacket = 512;
inline constexpr std::size_t kFullSpeedPacket = 64;
// The high-speed chips: FT2232H, FT4232H and FT232H (chip types 6 to 8).
constexpr std::size_t bulkPacketBytes(std::uint32_t chipType) {
    return chipType >= 6 && chipType <= 8 ? kHighSpeedPacket : kFullSpeedPacket;
}

// The two bytes that start every bulk IN packet. Modem status: the low
// nibble reads 1 on every chip, CTS, DSR, RI and DCD clear. Line status:
// transmitter holding register and transmitter empty.
inline constexpr std::uint8_t kModemStatus = 0x01;
inline constexpr std::uint8_t kLineStatus = 0x60;
inline constexpr std::size_t kStatusBytes = 2;

}  // namespace mdiosim::usb
