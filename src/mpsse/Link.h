// Mpsse::Link: what a command queue needs of the adapter it talks through. One
// locked write, one locked read, and a hook that runs before every transfer
// (a K8 board checks there that its chip still executes MPSSE commands). The
// engines see only this, never the board class behind it.
#pragma once

#include <cstdint>

namespace FTDI::Mpsse {

class Link {
  public:
    virtual ~Link() = default;

    // Writes all `count` bytes, or throws.
    virtual void writeBytes(const std::uint8_t* bytes, std::uint32_t count) = 0;
    // Reads exactly `count` bytes, or throws.
    virtual void readBytes(std::uint8_t* buffer, std::uint32_t count) = 0;
    // Runs before a queue's transfer, with the USB lock held.
    virtual void beforeTransfer() {}
};

}  // namespace FTDI::Mpsse
