// FTDI::Device: one adapter as the registry knows it (a USB device, or one
// protocol of a multi-protocol board). It holds the adapter's names, the
// driver handle while open and the MDIO engine it owns, and the two
// primitives every byte to and from an adapter goes through: a locked write
// and a locked read.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ftdi/BoardTraits.h"
#include "ftdi/d2xx/D2xxAbi.h"
#include "mpsse/Link.h"

namespace FTDI {

class MDIO;

class Device : public Mpsse::Link {
  public:
    Device(std::string adapterName, std::string usbSerialNumber, std::string usbDescription);
    ~Device() override;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // Called by the registry before it closes the driver handle.
    virtual void beforeClose() {}
    // Called by the registry right after it opened the driver handle.
    virtual void bringUp() {}
    virtual void purgeBuffers() {}
    // Called after bringUp, or alone when this adapter takes over the open
    // handle of another adapter of the same board.
    virtual void afterBringUp();

    // Writes all `count` bytes; throws DeviceConnection on a driver failure.
    void writeBytes(const std::uint8_t* bytes, std::uint32_t count);
    // Reads exactly `count` bytes; throws DeviceConnection on a driver failure
    // or when the device stops answering (six empty reads in one call).
    void readBytes(std::uint8_t* buffer, std::uint32_t count);

    // The link of the engines: the USB lock, and the same write and read
    // for a caller that already holds it.
    std::recursive_mutex& transferLock() override;
    void send(const std::uint8_t* bytes, std::uint32_t count) override;
    void receive(std::uint8_t* buffer, std::uint32_t count) override;

    const BoardTraits& traits() const { return board; }

    std::string name;
    std::string lowerName;  // for look-up by name, which ignores case
    std::string serialNumber;
    std::string description;
    D2xx::Handle handle = nullptr;
    std::unique_ptr<MDIO> engine;

  protected:
    BoardTraits board;
};

// How many reads that return no byte one readBytes call tolerates; the next
// one gives up. With the driver's 1000 ms read time-out a silent device is
// abandoned after about six seconds.
inline constexpr unsigned kMaxEmptyReads = 5;

// How many writes in a row that report success but accept no byte writeBytes
// tolerates before it gives up: a driver that never makes progress must not
// hang the host.
inline constexpr unsigned kMaxStalledWrites = 5;

// Lower-cases through the global locale's ctype facet, as adapter names are.
std::string lowerCased(const std::string& text);

}  // namespace FTDI
