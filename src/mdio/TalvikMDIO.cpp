#include "mdio/TalvikMDIO.h"

#include "mdio/TalvikFrames.h"

namespace FTDI::Talvik {
namespace {

// Frames go as they are, with nothing around them. One USB transfer carries
// at most 65535 bytes either way: a queue goes early when one more frame
// would pass that, or one more reply.
Mpsse::Framing controllerFraming() {
    return {.sendImmediateWhenReading = false,
            .closing = {},
            .commandHeadroom = Frames::kFrameSize,
            .commandLimit = Frames::kMaxTransferBytes,
            .replyLimit = Frames::kMaxTransferBytes - Frames::kReplySize + 1};
}

}  // namespace

MDIO::MDIO(FTDI::AdapterPort* owner) : FTDI::MDIO(owner, kHighestPhyAddress, controllerFraming()) {
    // Every queue starts with its port select frame, again after each
    // transfer and each clear: without it a batch would go to whichever PHY
    // address the controller selected last, and reach the wrong PHY.
    for (std::uint32_t phyId = 0; phyId <= kHighestPhyAddress; ++phyId)
        queueFor(phyId).setHeader(Frames::portSelectFrame(static_cast<std::uint8_t>(phyId)));
}

MDIO::~MDIO() = default;

void MDIO::queueWrite(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress,
                      std::uint16_t value) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    queueFor(phyId).append(Frames::mdioWriteFrame(mmd, registerAddress, value));
}

void MDIO::queueRead(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    Mpsse::CommandQueue& queue = queueFor(phyId);
    queue.append(Frames::mdioReadFrame(mmd, registerAddress));
    queue.expect({Mpsse::ReplyKind::Controller16, Frames::kReplySize, queue.newValue()});
}

}  // namespace FTDI::Talvik
