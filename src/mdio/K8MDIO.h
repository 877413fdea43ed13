// FTDI::K8::MDIO: the engine of a K8 adapter whose protocol is MDIO. Every
// queued operation becomes one or two MPSSE-clocked frames in the PHY's
// command queue; execute sends the PHY's whole queue in one USB write and
// reads all its replies in one USB read. A queue that grows too large for one
// transfer is executed early and its values kept for the next execute.
#pragma once

#include <cstddef>
#include <cstdint>

#include <vector>

#include "mdio/Clause45Template.h"
#include "mdio/MDIO.h"

namespace FTDI::K8 {

class MDIO : public FTDI::MDIO {
  public:
    explicit MDIO(FTDI::AdapterPort* owner);  // PHY ids 0 to 31
    MDIO(FTDI::AdapterPort* owner, std::uint32_t highestPhyId);
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

  private:
    // The PHY's Clause 45 template, ready for `mmd`; null when the PHY's
    // preamble is refused, so the frame builders report it.
    const Clause45Template* clause45Template(std::uint32_t phyId, std::uint8_t mmd) {
        const Clause45Template& frames = templates[phyId];
        if (frames.builtFor(preamble(phyId), mmd)) return &frames;
        return buildClause45Template(phyId, mmd);
    }
    const Clause45Template* buildClause45Template(std::uint32_t phyId, std::uint8_t mmd);
    void queue32(std::uint32_t phyId, std::uint8_t kind, std::uint32_t address, std::uint32_t data);

    std::vector<Clause45Template> templates;  // one per PHY
};

// Room left for one operation's frames: the check runs before they are
// appended, and two Clause 45 frames with the default preamble take 76 bytes.
inline constexpr std::size_t kCommandLimit = 65535;
inline constexpr std::size_t kCommandHeadroom = 100;
inline constexpr std::uint32_t kReplyLimit = 65531;

// How every K8 MPSSE transfer ends: send-immediate when replies are due, and
// the lines back at rest; and when a queue goes early.
Mpsse::Framing k8Framing();

}  // namespace FTDI::K8
