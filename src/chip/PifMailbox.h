// The PIF mailbox: a register of any MMD through four registers of MMD 30.
// The host writes the target address (and the data of a write), then a
// command word naming the target MMD and the direction, and polls the status
// register until the chip reports done (1) or an error (2).
//
// Problems the chip reports are printed on standard error only; they are not
// failures of the call. Every access is traced with the caller's adapter and PHY.
#pragma once

#include <cstdint>

#include "chip/ChipAccess.h"

namespace mdiohost::chip {

class PifMailbox {
  public:
    explicit PifMailbox(const ChipPort& target) : port(target) {}

    // The data register's content after the command, whatever the status.
    std::uint32_t read(std::uint32_t mmd, std::uint32_t registerAddress);
    void write(std::uint32_t mmd, std::uint32_t registerAddress, std::uint32_t value);

  private:
    void startCommand(std::uint32_t registerAddress);
    // Polls the status register; returns the last status read.
    std::uint32_t waitForStatus();
    // One attempt per access: anything but "done" is reported and given up.
    static void reportStatus(std::uint32_t status);

    ChipPort port;
};

}  // namespace mdiohost::chip
