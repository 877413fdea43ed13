// The MDIO bus of a board: its PHYs and a bus monitor, all watching the MDC
// and MDIO wires. Only rising MDC edges matter to MDIO; the bus pulls MDIO
// low while any PHY drives a 0.
//
// Every PHY checks setup on every rising MDC edge: MDIO must have settled
// before MDC rises. A host that moves both in one pin write gives the PHYs no
// setup time, so they may sample either level; the bus counts such edges in
// the board's counters (it decodes the new level, as most PHYs would).
//
// Every PHY decodes the frames on the line for itself. PHYs that need the
// same preamble see the same bits and would decode them identically, so they
// share one decoder; a PHY whose preamble setting changes gets its own from
// the next start bit on, carrying the line history it has seen.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "LineListener.h"
#include "MdioBusMonitor.h"
#include "MdioFrameDecoder.h"
#include "PhyManagementInterface.h"
#include "mdiosim/Counters.h"

namespace mdiosim {

class MdioBus final : public LineListener {
  public:
    MdioBus(std::uint8_t mdcPin, std::uint8_t mdioPin, TransactionLog& log, unsigned boardIndex,
            Counters& counters)
        : LineListener(mdcPin, 0), mdio(mdioPin), monitor(log, boardIndex), counted(&counters) {}

    // Connects a PHY; the PHY must outlive the bus or be detached first.
    void attach(Phy& phy);
    void detach(const Phy& phy);

    // A rising MDC edge: every decoder sees the level of MDIO.
    bool linesChanged(std::uint8_t previous, std::uint8_t current) override {
        if ((previous ^ current) & mdio) counted->mdioSetupViolations += 1;
        const bool bit = (current & mdio) != 0;
        // Half of all bits are preamble ones seen by decoders that are all
        // idle: they are counted here and handed over in one go.
        if (bit && allIdle) {
            ++pendingOnes;
            return false;
        }
        return clock(bit);
    }

  private:
    struct DecoderGroup {
        unsigned requiredPreamble;
        MdioFrameDecoder decoder;
    };
    struct Port {
        PhyManagementInterface interface;
        std::size_t group;
    };

    bool clock(bool bit);
    void handOverOnes() {
        if (pendingOnes != 0) handOverPendingOnes();
    }
    void handOverPendingOnes();
    void regroup();
    std::size_t groupFor(unsigned requiredPreamble, const MdioFrameDecoder& history);
    void dispatch(std::size_t group, MdioFrameDecoder::Event event);
    bool updateDrive();

    std::uint8_t mdio;
    MdioBusMonitor monitor;
    Counters* counted;
    std::vector<DecoderGroup> groups;
    std::vector<Port> ports;
    bool allIdle = false;
    bool anyGroupIdle = true;
    unsigned pendingOnes = 0;
};

}  // namespace mdiosim
