// The seam between the D2XX functions and libftdi1: what the driver needs of
// USB, in libusb's own error codes (0 or a count on success, a negative
// LIBUSB_ERROR_* on failure). LibFtdiPort implements it over libftdi1; the
// unit tests script it, so the D2XX bookkeeping runs without a device.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace usbdriver {

// One FTDI device on the bus, as enumeration sees it before any interface
// is opened.
struct UsbDeviceFound {
    std::uint32_t token = 0;  // names the device to UsbPort::open until the next enumeration
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t releaseNumber = 0;  // bcdDevice: tells the chip type
    bool highSpeed = false;
    std::uint8_t busNumber = 0;
    std::vector<std::uint8_t> portPath;  // hub ports from the root, outermost first
    // Empty when the device's strings could not be read (no permission).
    std::string serialNumber;
    std::string description;
};

// One open interface of a device: the chip's channel A, B, C or D.
class UsbLink {
  public:
    virtual ~UsbLink() = default;  // releases the interface and gives it back to the kernel

    virtual int reset() = 0;
    // The chip's buffer of bytes on their way to the host, and of bytes the
    // host wrote that the chip has not executed yet.
    virtual int purgeReceive() = 0;
    virtual int purgeTransmit() = 0;
    virtual int setBitMode(std::uint8_t mask, std::uint8_t mode) = 0;
    virtual int setLatencyTimer(std::uint8_t milliseconds) = 0;
    virtual int setSpecialCharacters(std::uint8_t eventChar, bool eventEnabled,
                                     std::uint8_t errorChar, bool errorEnabled) = 0;
    virtual int setTransferSizes(std::uint32_t inBytes, std::uint32_t outBytes) = 0;
    virtual void setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) = 0;
    // The bytes that have arrived, after at most one bulk round trip: 0 when
    // the chip has nothing. Never waits for `capacity` bytes.
    virtual int read(std::uint8_t* buffer, std::uint32_t capacity) = 0;
    // Bytes accepted by the chip.
    virtual int write(const std::uint8_t* bytes, std::uint32_t count) = 0;
};

class UsbPort {
  public:
    virtual ~UsbPort() = default;

    // Every FTDI device attached now; tokens of an earlier call become invalid.
    virtual int enumerate(std::vector<UsbDeviceFound>& found) = 0;
    // Opens interface `interfaceIndex` (0 for A) of the device `token` names,
    // detaching the kernel's serial driver from it.
    virtual int open(std::uint32_t token, unsigned interfaceIndex,
                     std::unique_ptr<UsbLink>& link) = 0;
};

}  // namespace usbdriver
