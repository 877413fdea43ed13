// The K8 engine's fast modes: preamble lengths chosen per PHY, the compact
// encoding, bursts of post-read-increment reads, and the clean transfer end
// that the first two need.
#include <stdexcept>
#include <string>

#include "mdio/CompactFrames.h"
#include "mdio/FastFramePieces.h"
#include "mdio/K8MDIO.h"
#include "mdio/MpsseFrames.h"

namespace FTDI::K8 {

using namespace MdioFrames;

namespace {

// A plain Clause 45 frame with the longest preamble; a burst is one more
// frame than it has reads.
constexpr std::size_t kLongestClause45Frame =
    kLineIdleHigh.size() + kMaxPreambleBytes + kLineLow.size() + kStartClause45.size() +
    opField(0).size() + 2 * addressField(0).size() + kWriteTurnaround.size() + value16Out(0).size();
static_assert((kMaxBurstReads + 1) * kLongestClause45Frame + kCommandHeadroom <= kCommandLimit);
static_assert(kMaxBurstReads * kReply16Bytes < kReplyLimit);

}  // namespace

bool MDIO::compactFor(std::uint32_t phyId) const {
    // A preamble the plain builders refuse is left to them to report.
    return compact && preamble(phyId) <= kMaxPreambleBits;
}

void MDIO::chooseTransferClosing() {
    bool shortPreamble = false;
    for (std::uint32_t phyId = 0; phyId <= highestPhyId(); ++phyId)
        shortPreamble = shortPreamble || preamble(phyId) < kDefaultPreambleBits;
    // With every preamble 32 bits long, the plain encoding and no burst, the
    // bytes stay exactly as they always were. A burst ends on a bit the PHY
    // drives, which may be 0 when the plain final idle raises MDC.
    if (compact || shortPreamble || burstsQueued) {
        setTransferClosing(kCleanFinalIdle);
    } else {
        setTransferClosing(kFinalIdle);
    }
}

void MDIO::setWirePreamble(std::uint32_t phyId, std::uint8_t preambleBits) {
    setPreamble(phyId, preambleBits);
    chooseTransferClosing();
}

void MDIO::setCompactEncoding(bool enabled) {
    compact = enabled;
    chooseTransferClosing();
}

void MDIO::queueReadBurst(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress,
                          std::uint32_t count) {
    checkPhyId(phyId);
    if (count == 0 || count > kMaxBurstReads) {
        throw std::invalid_argument("Burst of " + std::to_string(count) + " reads refused: 1 to " +
                                    std::to_string(kMaxBurstReads) + " go in one burst.");
    }
    const std::uint8_t preambleBits = preamble(phyId);
    burst.clear();
    if (compactFor(phyId)) {
        appendCompactClause45Access(kClause45ReadIncrement, preambleBits, phyId, mmd,
                                    registerAddress, 0, burst);
        for (std::uint32_t read = 1; read < count; ++read)
            appendCompactClause45Frame(kClause45ReadIncrement, preambleBits, phyId, mmd, 0, burst);
    } else {
        // A refused preamble is reported once by the builder; nothing is queued.
        if (appendClause45Frame(kClause45Address, preambleBits, phyId, mmd, registerAddress,
                                burst) != 0)
            return;
        for (std::uint32_t read = 0; read < count; ++read)
            appendClause45Frame(kClause45ReadIncrement, preambleBits, phyId, mmd, 0, burst);
    }

    // The whole burst goes in one transfer: what is queued before it goes
    // first if both would not fit.
    const std::size_t burstBytes = burst.commandBytes().size();
    const std::uint32_t burstReplies = count * kReply16Bytes;
    const Mpsse::CommandQueue& pending = queueOf(phyId);
    if (pending.commandBytes().size() + burstBytes + kCommandHeadroom > kCommandLimit ||
        pending.expectedReplyBytes() + burstReplies >= kReplyLimit) {
        transfer(phyId);
    }
    if (!burstsQueued) {
        burstsQueued = true;
        chooseTransferClosing();
    }
    Mpsse::CommandQueue& queue = queueFor(phyId);
    queue.append(burst.commandBytes());
    for (std::uint32_t read = 0; read < count; ++read)
        queue.expect({Mpsse::ReplyKind::Mdio16, kReply16Bytes, queue.newValue()});
}

}  // namespace FTDI::K8
