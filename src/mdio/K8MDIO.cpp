#include "mdio/K8MDIO.h"

#include "mdio/CompactFrames.h"
#include "mdio/MdioFramePieces.h"
#include "mdio/MpsseFrames.h"

namespace FTDI::K8 {

using namespace MdioFrames;

Mpsse::Framing k8Framing() {
    return {.sendImmediateWhenReading = true,
            .closing = kFinalIdle,
            .commandHeadroom = kCommandHeadroom,
            .commandLimit = kCommandLimit,
            .replyLimit = kReplyLimit};
}

MDIO::MDIO(FTDI::Device* owner) : MDIO(owner, 31) {}

MDIO::MDIO(FTDI::Device* owner, std::uint32_t highestPhyId)
    : FTDI::MDIO(owner, highestPhyId, k8Framing()), templates(highestPhyId + 1) {}

const Clause45Template* MDIO::buildClause45Template(std::uint32_t phyId, std::uint8_t mmd) {
    Clause45Template& frames = templates[phyId];
    const std::uint8_t preambleBits = preamble(phyId);
    if (preambleBits > kMaxPreambleBits) return nullptr;
    frames.build(preambleBits, phyId, mmd);
    // A queue never holds more than one transfer: room for that is made
    // once, so queueing never reallocates.
    queueFor(phyId).reserve(kCommandLimit + kFinalIdle.size() + 1);
    return &frames;
}

MDIO::~MDIO() = default;

// Each Clause 45 access is an address frame followed by the data frame.
void MDIO::queueWrite(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress,
                      std::uint16_t value) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    if (compactFor(phyId)) {
        appendCompactClause45Access(kClause45Write, preamble(phyId), phyId, mmd, registerAddress,
                                    value, queueFor(phyId));
        return;
    }
    if (const Clause45Template* frames = clause45Template(phyId, mmd)) {
        frames->queueWrite(queueFor(phyId), registerAddress, value);
        return;
    }
    appendClause45Frame(kClause45Address, preamble(phyId), phyId, mmd, registerAddress,
                        queueFor(phyId));
    appendClause45Frame(kClause45Write, preamble(phyId), phyId, mmd, value, queueFor(phyId));
}

void MDIO::queueRead(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    if (compactFor(phyId)) {
        appendCompactClause45Access(kClause45Read, preamble(phyId), phyId, mmd, registerAddress, 0,
                                    queueFor(phyId));
        return;
    }
    if (const Clause45Template* frames = clause45Template(phyId, mmd)) {
        frames->queueRead(queueFor(phyId), registerAddress);
        return;
    }
    appendClause45Frame(kClause45Address, preamble(phyId), phyId, mmd, registerAddress,
                        queueFor(phyId));
    appendClause45Frame(kClause45Read, preamble(phyId), phyId, mmd, 0, queueFor(phyId));
}

void MDIO::queueWriteC22(std::uint32_t phyId, std::uint8_t registerAddress, std::uint16_t value) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    if (compactFor(phyId)) {
        appendCompactClause22Frame(kClause22Write, preamble(phyId), phyId, registerAddress, value,
                                   queueFor(phyId));
        return;
    }
    appendClause22Frame(kClause22Write, preamble(phyId), phyId, registerAddress, value,
                        queueFor(phyId));
}

void MDIO::queueReadC22(std::uint32_t phyId, std::uint8_t registerAddress) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    if (compactFor(phyId)) {
        appendCompactClause22Frame(kClause22Read, preamble(phyId), phyId, registerAddress, 0,
                                   queueFor(phyId));
        return;
    }
    appendClause22Frame(kClause22Read, preamble(phyId), phyId, registerAddress, 0, queueFor(phyId));
}

void MDIO::queue32(std::uint32_t phyId, std::uint8_t kind, std::uint32_t address,
                   std::uint32_t data) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    appendRegister32Frame(kind, preamble(phyId), phyId, address, data, queueFor(phyId));
}

void MDIO::queueWrite32(std::uint32_t phyId, std::uint32_t address, std::uint32_t data) {
    queue32(phyId, kRegister32WriteAtAddress, address, data);
}

void MDIO::queueRead32(std::uint32_t phyId, std::uint32_t address) {
    queue32(phyId, kRegister32ReadAtAddress, address, 0);
}

void MDIO::queueWrite32PreIncrementAddress(std::uint32_t phyId, std::uint32_t data) {
    queue32(phyId, kRegister32WritePreIncrement, 0, data);
}

void MDIO::queueWrite32CurrentAddress(std::uint32_t phyId, std::uint32_t data) {
    queue32(phyId, kRegister32WriteCurrent, 0, data);
}

void MDIO::queueRead32PreIncrementAddress(std::uint32_t phyId) {
    queue32(phyId, kRegister32ReadPreIncrement, 0, 0);
}

void MDIO::queueRead32CurrentAddress(std::uint32_t phyId) {
    queue32(phyId, kRegister32ReadCurrent, 0, 0);
}

}  // namespace FTDI::K8
