// FTDI::Talvik::MDIO: the frame engine of the older board family. The board
// controller runs the MDIO cycles itself, so the engine does no bit-level
// framing: it queues five-byte command frames per PHY address, sends a PHY's
// whole queue in one USB write and reads all its three-byte replies in one
// USB read.
//
// Each queue begins with a port select frame (board register 5 := PHY
// address), so the controller sends the frames that follow to that PHY.
// Only Clause 45 reads and writes exist on this controller; the Clause 22 and
// 32-bit operations keep the base behaviour and queue nothing.
#pragma once

#include <cstdint>

#include "mdio/MDIO.h"

namespace FTDI::Talvik {

class MDIO : public FTDI::MDIO {
  public:
    // PHY addresses 0 to 31: the five bits of an MDIO port address.
    static constexpr std::uint32_t kHighestPhyAddress = 31;

    explicit MDIO(FTDI::AdapterPort* owner);
    ~MDIO() override;

    void queueWrite(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress,
                    std::uint16_t value) override;
    void queueRead(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress) override;

  protected:
    bool keepsCollectedValuesOnFailure() const override { return false; }
};

}  // namespace FTDI::Talvik
