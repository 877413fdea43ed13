// FTDI::AdapterPort: the USB side of one adapter (a USB device, or one
// protocol of a multi-protocol board): its names, the driver handle while
// open, what its board has, and the two primitives every byte to and from an
// adapter goes through: a locked write and a locked read. Engines and board
// parts talk through a port; the adapter as the registry knows it
// (boards/Device.h) adds the engine it owns.
#pragma once

#include <cstdint>
#include <string>

#include "ftdi/BoardTraits.h"
#include "ftdi/d2xx/D2xxAbi.h"
#include "mpsse/Link.h"

namespace FTDI {

class AdapterPort : public Mpsse::Link {
  public:
    AdapterPort(std::string adapterName, std::string usbSerialNumber, std::string usbDescription);
    ~AdapterPort() override;
    AdapterPort(const AdapterPort&) = delete;
    AdapterPort& operator=(const AdapterPort&) = delete;

    // Writes all `count` bytes; throws DeviceConnection on a driver failure.
    // A failure after part of the bytes went out is remembered for the
    // device, and its next write first drops the half-sent command.
    void writeBytes(const std::uint8_t* bytes, std::uint32_t count);
    // Reads exactly `count` bytes; throws DeviceConnection on a driver failure
    // or when the device stops answering (six empty reads in one call).
    void readBytes(std::uint8_t* buffer, std::uint32_t count);

    // The link of the engines: the USB lock, and the same write and read
    // for a caller that already holds it.
    Mpsse::TransferLock& transferLock() override;
    void send(const std::uint8_t* bytes, std::uint32_t count) override;
    void receive(std::uint8_t* buffer, std::uint32_t count) override;

    const BoardTraits& traits() const { return board; }

    std::string name;
    std::string lowerName;  // for look-up by name, which ignores case
    std::string serialNumber;
    std::string description;
    D2xx::Handle handle = nullptr;

  protected:
    BoardTraits board;

  private:
    // What is left of a send or receive after a first driver call that did
    // not move every byte, given that call's status and count.
    [[gnu::noinline]] void sendRest(const std::uint8_t* bytes, std::uint32_t count,
                                    D2xx::Status status, std::uint32_t written);
    [[gnu::noinline]] void receiveRest(std::uint8_t* buffer, std::uint32_t count,
                                       D2xx::Status status, std::uint32_t got);
    // Before the first write after one that stopped part-way on this handle:
    // drops the command the chip is still waiting to complete
    // (ftdi/InterruptedWrites.h). Throws DeviceConnection when the purge fails,
    // and the next write tries again.
    void dropHalfCommand();
    // Throws DeviceConnection naming this adapter's serial number.
    [[noreturn]] void fail(const char* action, D2xx::Status status) const;
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
