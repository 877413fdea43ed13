// A bench board as it looks on the USB bus: its descriptors, and the answers
// of its FTDI chip to control requests and bulk transfers. It serves hosts
// that talk to the chip through libusb (the libftdi1 driver) rather than
// through the D2XX functions; both faces drive the same chip model.
//
// Every call takes the bench's mutex and looks the board up by its serial
// number, so a face outlives a bench reset; a board that is gone or
// unplugged answers NoDevice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mdiosim/Export.h"

namespace mdiosim {

class FtdiChip;
struct Counters;

// The eight bytes that start every control transfer.
struct UsbSetup {
    std::uint8_t requestType = 0;
    std::uint8_t request = 0;
    std::uint16_t value = 0;
    std::uint16_t index = 0;
    std::uint16_t length = 0;
};

enum class UsbOutcome : std::uint8_t {
    Done,      // `length` bytes moved
    Stall,     // the device refused the request
    NoDevice,  // the board is unplugged or gone
};

struct UsbAnswer {
    UsbOutcome outcome = UsbOutcome::Done;
    std::size_t length = 0;
};

class MDIOSIM_API UsbFace {
  public:
    explicit UsbFace(std::string serialNumber);
    ~UsbFace();
    UsbFace(const UsbFace&) = delete;
    UsbFace& operator=(const UsbFace&) = delete;

    // The device descriptor followed by the configuration descriptor with
    // its interfaces and endpoints, as the kernel shows them in sysfs.
    std::vector<std::uint8_t> descriptors() const;
    unsigned interfaceCount() const;
    bool highSpeed() const;
    // The latest baud-rate divisor and latency timer the host set.
    std::uint32_t baudDivisor() const { return baud; }

    // `data` holds `setup.length` bytes: sent by the host on an OUT request,
    // filled for it on an IN request.
    UsbAnswer control(const UsbSetup& setup, std::uint8_t* data);
    // Bytes for the chip's channel behind endpoint 0x02, 0x04, ...
    UsbAnswer bulkOut(std::uint8_t endpoint, const std::uint8_t* bytes, std::size_t count);
    // What the chip sends on endpoint 0x81, 0x83, ...: packets of at most
    // 512 bytes (64 on full-speed chips), each starting with the two modem
    // status bytes; a packet shorter than that ends the transfer, so an idle
    // chip answers with the two status bytes alone.
    UsbAnswer bulkIn(std::uint8_t endpoint, std::uint8_t* buffer, std::size_t capacity);

  private:
    FtdiChip* channel(unsigned interfaceIndex);
    UsbAnswer vendorRequest(const UsbSetup& setup, std::uint8_t* data);
    UsbAnswer standardRequest(const UsbSetup& setup, std::uint8_t* data);

    std::string serial;
    std::uint32_t baud = 0;
    // Channels B, C and D of multi-channel chips: nothing on the board is
    // wired to them, but they answer like any channel.
    std::unique_ptr<Counters> spareCounters;
    std::vector<std::unique_ptr<FtdiChip>> spareChannels;
};

}  // namespace mdiosim
