#include "LibFtdiPort.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <array>

namespace usbdriver {
namespace {

// libftdi1's answer when its context holds no open device.
constexpr int kLibFtdiNoDevice = -666;
// libusb's largest bulk read on Linux, and the packet size every chip's
// bulk IN size is a multiple of.
constexpr std::uint32_t kLargestRead = 16384;
constexpr std::uint32_t kHighSpeedPacket = 512;
// libusb's port paths are at most seven hubs deep.
constexpr int kMaxPortPath = 7;
// How long a probe of a failed device may take.
constexpr unsigned kProbeTimeoutMs = 1000;
// The standard GET_STATUS request to the device, device to host.
constexpr std::uint8_t kGetDeviceStatus = 0x80;

bool isLibusbError(int result) {
    return (result <= LIBUSB_ERROR_IO && result >= LIBUSB_ERROR_NOT_SUPPORTED) ||
           result == LIBUSB_ERROR_OTHER;
}

class LibFtdiLink final : public UsbLink {
  public:
    explicit LibFtdiLink(ftdi_context* opened) : context(opened) {}
    ~LibFtdiLink() override {
        // Releases the interface; libusb gives it back to the kernel's driver
        // (the context was opened in the detach-and-reattach mode).
        ftdi_usb_close(context);
        ftdi_free(context);
    }

    int reset() override { return outcome(ftdi_usb_reset(context)); }
    int purgeReceive() override { return outcome(ftdi_tciflush(context)); }
    int purgeTransmit() override { return outcome(ftdi_tcoflush(context)); }
    int setBitMode(std::uint8_t mask, std::uint8_t mode) override {
        return outcome(ftdi_set_bitmode(context, mask, mode));
    }
    int setLatencyTimer(std::uint8_t milliseconds) override {
        return outcome(ftdi_set_latency_timer(context, milliseconds));
    }
    int setSpecialCharacters(std::uint8_t eventChar, bool eventEnabled, std::uint8_t errorChar,
                             bool errorEnabled) override {
        const int event = ftdi_set_event_char(context, eventChar, eventEnabled ? 1 : 0);
        if (event < 0) return outcome(event);
        return outcome(ftdi_set_error_char(context, errorChar, errorEnabled ? 1 : 0));
    }
    int setTransferSizes(std::uint32_t inBytes, std::uint32_t outBytes) override {
        if (inBytes != 0) {
            // Whole packets, no more than libusb takes in one bulk read.
            const std::uint32_t size = std::clamp<std::uint32_t>(
                inBytes / kHighSpeedPacket * kHighSpeedPacket, kHighSpeedPacket, kLargestRead);
            if (const int result = ftdi_read_data_set_chunksize(context, size); result < 0)
                return outcome(result);
        }
        if (outBytes != 0) return outcome(ftdi_write_data_set_chunksize(context, outBytes));
        return 0;
    }
    void setTimeouts(std::uint32_t, std::uint32_t writeMs) override {
        // Reads wait for their deadline above libftdi1, one short bulk read
        // at a time (the chip answers every latency period), so only the
        // write time-out reaches libusb. 0 would mean no limit there.
        if (writeMs != 0) context->usb_write_timeout = static_cast<int>(writeMs);
    }
    int read(std::uint8_t* buffer, std::uint32_t capacity) override {
        const int result = ftdi_read_data(context, buffer, static_cast<int>(capacity));
        // No packet within the bulk time-out is nothing arrived, not a failure.
        if (result == LIBUSB_ERROR_TIMEOUT) return 0;
        return outcome(result);
    }
    int write(const std::uint8_t* bytes, std::uint32_t count) override {
        return outcome(ftdi_write_data(context, bytes, static_cast<int>(count)));
    }

  private:
    // libftdi1 returns libusb's code for bulk transfers but its own small
    // numbers for control requests; asking the device for its status tells
    // an unplugged device from a failed request.
    int outcome(int result) {
        if (result >= 0) return result;
        if (result == kLibFtdiNoDevice || context->usb_dev == nullptr)
            return LIBUSB_ERROR_NO_DEVICE;
        std::array<unsigned char, 2> status{};
        const int probe =
            libusb_control_transfer(context->usb_dev, kGetDeviceStatus, LIBUSB_REQUEST_GET_STATUS,
                                    0, 0, status.data(), status.size(), kProbeTimeoutMs);
        if (probe < 0 && probe != LIBUSB_ERROR_TIMEOUT) return probe;
        return isLibusbError(result) ? result : LIBUSB_ERROR_IO;
    }

    ftdi_context* context;
};

class LibFtdiPort final : public UsbPort {
  public:
    LibFtdiPort() : context(ftdi_new()) {}
    ~LibFtdiPort() override {
        if (context != nullptr) ftdi_free(context);
    }

    int enumerate(std::vector<UsbDeviceFound>& found) override {
        if (context == nullptr) return LIBUSB_ERROR_NO_MEM;
        ftdi_device_list* list = nullptr;
        // Vendor and product 0: every product id libftdi1 knows for FTDI chips.
        const int count = ftdi_usb_find_all(context, &list, 0, 0);
        if (count < 0) return count == -3 ? LIBUSB_ERROR_NO_MEM : LIBUSB_ERROR_OTHER;
        found.clear();
        for (ftdi_device_list* entry = list; entry != nullptr; entry = entry->next) {
            found.push_back(describe(entry->dev));
        }
        ftdi_list_free(&list);
        return 0;
    }

    int open(std::uint32_t token, unsigned interfaceIndex,
             std::unique_ptr<UsbLink>& link) override {
        ftdi_context* opened = ftdi_new();
        if (opened == nullptr) return LIBUSB_ERROR_NO_MEM;
        opened->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
        const auto channel = static_cast<ftdi_interface>(INTERFACE_A + interfaceIndex);
        int result = ftdi_set_interface(opened, channel);
        if (result == 0) {
            result = ftdi_usb_open_bus_addr(opened, static_cast<std::uint8_t>(token >> 8),
                                            static_cast<std::uint8_t>(token));
        }
        if (result < 0) {
            ftdi_free(opened);
            return openFailureCause(result);
        }
        link = std::make_unique<LibFtdiLink>(opened);
        return 0;
    }

  private:
    UsbDeviceFound describe(libusb_device* device) {
        UsbDeviceFound entry;
        libusb_device_descriptor descriptor{};
        libusb_get_device_descriptor(device, &descriptor);
        entry.busNumber = libusb_get_bus_number(device);
        // The token is the bus and address: enough to open the device again.
        entry.token =
            (static_cast<std::uint32_t>(entry.busNumber) << 8) | libusb_get_device_address(device);
        entry.vendorId = descriptor.idVendor;
        entry.productId = descriptor.idProduct;
        entry.releaseNumber = descriptor.bcdDevice;
        entry.highSpeed = libusb_get_device_speed(device) >= LIBUSB_SPEED_HIGH;
        std::array<std::uint8_t, kMaxPortPath> ports{};
        const int depth = libusb_get_port_numbers(device, ports.data(), ports.size());
        if (depth > 0) entry.portPath.assign(ports.begin(), ports.begin() + depth);
        std::array<char, 64> description{};
        std::array<char, 64> serial{};
        // A device whose strings cannot be read (no permission) is listed blank.
        if (ftdi_usb_get_strings2(context, device, nullptr, 0, description.data(),
                                  description.size(), serial.data(), serial.size()) == 0) {
            entry.description = description.data();
            entry.serialNumber = serial.data();
        }
        return entry;
    }

    ftdi_context* context;
};

}  // namespace

int openFailureCause(int libftdiResult) {
    switch (libftdiResult) {
        case -3:
            return LIBUSB_ERROR_NOT_FOUND;  // no device at that bus and address
        case -4:
            return LIBUSB_ERROR_ACCESS;  // the device node could not be opened
        case -5:
            return LIBUSB_ERROR_BUSY;  // another program holds the interface
        case -6:                       // the chip's reset failed
        case -7:
            return LIBUSB_ERROR_IO;  // setting the baud rate failed
        case -11:
            return LIBUSB_ERROR_INVALID_PARAM;
        default:
            return LIBUSB_ERROR_OTHER;
    }
}

std::unique_ptr<UsbPort> makeLibFtdiPort() {
    return std::make_unique<LibFtdiPort>();
}

}  // namespace usbdriver
