// FTDI::K8::MDIO: the engine of a K8 adapter whose protocol is MDIO. Every
// queued operation becomes one or two MPSSE-clocked frames in the PHY's
// command buffer; execute sends the PHY's whole queue in one USB write and
// reads all its replies in one USB read. A queue that grows too large for one
// transfer is executed early and its values kept for the next execute.
#pragma once

#include <cstddef>
#include <cstdint>

#include "mdio/MDIO.h"

namespace FTDI::K8 {

class Device;

class MDIO : public FTDI::MDIO {
  public:
    explicit MDIO(Device* owner);  // PHY ids 0 to 31
    MDIO(Device* owner, std::uint32_t highestPhyId);
    ~MDIO() override;

    void queueWrite(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress,
                    std::uint16_t value) override;
    void queueRead(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress) override;
    void queueWriteC22(std::uint32_t phyId, std::uint8_t registerAddress,
                       std::uint16_t value) override;
    void queueReadC22(std::uint32_t phyId, std::uint8_t registerAddress) override;
    void queueWrite32(std::uint32_t phyId, std::uint32_t address, std::uint32_t data) override;
    void queueRead32(std::uint32_t phyId, std::uint32_t address) override;
    void queueWrite32PreIncrementAddress(std::uint32_t phyId, std::uint32_t data) override;
    void queueWrite32CurrentAddress(std::uint32_t phyId, std::uint32_t data) override;
    void queueRead32PreIncrementAddress(std::uint32_t phyId) override;
    void queueRead32CurrentAddress(std::uint32_t phyId) override;

    // Under the USB lock: sync check (at most once a second), one write, one
    // read. Returns the saved values of earlier automatic executes first.
    Values execute(std::uint32_t phyId) override;
    // Executes early when the command buffer might pass 65535 bytes with the
    // next operation, or the replies have reached 65531 bytes.
    void flushIfFull(std::uint32_t phyId) override;

    Device* k8Device;  // the same object as `device`; not owned

  private:
    void queue32(std::uint32_t phyId, std::uint8_t kind, std::uint32_t address, std::uint32_t data);
};

// Room left for one operation's frames: the check runs before they are
// appended, and two Clause 45 frames with the default preamble take 76 bytes.
inline constexpr std::size_t kCommandLimit = 65535;
inline constexpr std::size_t kCommandHeadroom = 100;
inline constexpr std::uint32_t kReplyLimit = 65531;

}  // namespace FTDI::K8
