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
    explicit MDIO(FTDI::Device* owner);  // PHY ids 0 to 31
    MDIO(FTDI::Device* owner, std::uint32_t highestPhyId);
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

    // --- the fast modes, which only the extensions turn on.
    // The PHY's preamble, as setPreamble sets it; and transfers end cleanly
    // (kCleanFinalIdle) while any PHY's preamble is under 32 bits.
    void setWirePreamble(std::uint32_t phyId, std::uint8_t preambleBits);
    // Clause 45 and Clause 22 frames queued from now on use the compact
    // encoding (CompactFrames.h); transfers end cleanly while it is on.
    void setCompactEncoding(bool enabled);
    bool compactEncoding() const { return compact; }
    // One Clause 45 address frame, then `count` post-read-increment reads
    // (1 to kMaxBurstReads), all in the same transfer: the PHY's queue goes
    // early first if the burst would not fit behind what it holds. From the
    // first burst on, transfers end cleanly.
    void queueReadBurst(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress,
                        std::uint32_t count);

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

    bool compactFor(std::uint32_t phyId) const;
    void chooseTransferClosing();

    std::vector<Clause45Template> templates;  // one per PHY
    bool compact = false;
    bool burstsQueued = false;
    Mpsse::CommandQueue burst;  // a burst is built here, then queued whole
};

// Room left for one operation's frames: the check runs before they are
// appended, and two Clause 45 frames with the default preamble take 76 bytes.
inline constexpr std::size_t kCommandLimit = 65535;
inline constexpr std::size_t kCommandHeadroom = 100;
inline constexpr std::uint32_t kReplyLimit = 65531;

// The most reads one burst queues. Even with 64-bit preambles, in the plain
// encoding, a burst this long fits in one transfer of an empty queue.
inline constexpr std::uint32_t kMaxBurstReads = 1024;

// How every K8 MPSSE transfer ends: send-immediate when replies are due, and
// the lines back at rest; and when a queue goes early.
Mpsse::Framing k8Framing();

}  // namespace FTDI::K8
