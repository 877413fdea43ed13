// The management interface of one PHY: what it does with the frames
// addressed to its port, and how it drives the MDIO line for reads. Bits go
// out right after the edge on which the host would expect the previous one:
// the first turnaround bit is left undriven (the pull-up makes it 1), the
// second is driven 0, then the data follows MSB first (a 32-bit value as 16
// bits, one 0 bit, 16 bits), and the line is released after it.
//
// The frame decoding itself is done by the bus (see MdioBus): the PHY reacts
// to the decoder's milestones for a frame it accepted.
#pragma once

#include <cstdint>

#include "MdioFrameDecoder.h"
#include "mdiosim/Phy.h"

namespace mdiosim {

class PhyManagementInterface {
  public:
    explicit PhyManagementInterface(Phy& target) : phy(&target) {}

    Phy& target() const { return *phy; }
    // A rising MDC edge went by: put the next bit of a read on the line.
    void advance() {
        if (driveCount == 0) return;
        --driveCount;
        low = ((driveBits >> driveCount) & 1) == 0;
    }
    bool drivesLow() const { return low; }
    bool driving() const { return driveCount != 0 || low; }

    // The decoder reached a milestone of a frame addressed to this PHY.
    void handle(MdioFrameDecoder::Event event, const MdioFrameDecoder& frame);
    void release() {
        driveCount = 0;
        low = false;
    }

  private:
    void startDriving(std::uint64_t bits, unsigned count);
    void respondToRead(const MdioFrameDecoder& frame);
    void completeWrite(const MdioFrameDecoder& frame);

    Phy* phy;
    std::uint64_t driveBits = 0;  // bits still to drive, the next at driveCount - 1
    unsigned driveCount = 0;
    bool low = false;
};

}  // namespace mdiosim
