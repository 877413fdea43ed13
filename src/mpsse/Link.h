// Mpsse::Link: what a command queue needs of the adapter it talks through: a
// lock that keeps a transfer's write and read together, a hook that runs
// before every transfer (a K8 board checks there that its chip still
// executes MPSSE commands), and a write and a read made while that lock is
// held. The engines see only this, never the board class behind it.
#pragma once

#include <cstdint>

#include "mpsse/TransferLock.h"

namespace FTDI::Mpsse {

class Link {
  public:
    virtual ~Link() = default;

    virtual TransferLock& transferLock() = 0;
    // Runs before a queue's transfer, with the transfer lock held.
    virtual void beforeTransfer() {}
    // With the transfer lock held: writes all `count` bytes, or throws.
    virtual void send(const std::uint8_t* bytes, std::uint32_t count) = 0;
    // With the transfer lock held: reads exactly `count` bytes, or throws.
    virtual void receive(std::uint8_t* buffer, std::uint32_t count) = 0;
};

}  // namespace FTDI::Mpsse
