#include "mdio/MDIO.h"

#include <stdexcept>
#include <string>

#include "ftdi/AdapterPort.h"

namespace FTDI {

MDIO::MDIO(AdapterPort* owner, std::uint32_t highestPhyId, Mpsse::Framing transferFraming)
    : device(owner),
      queues(highestPhyId + 1),
      preambles(highestPhyId + 1, kDefaultPreambleBits),
      maxPhyId(highestPhyId),
      framing(transferFraming) {}

MDIO::~MDIO() = default;

void MDIO::queueWrite(std::uint32_t, std::uint8_t, std::uint16_t, std::uint16_t) {}
void MDIO::queueRead(std::uint32_t, std::uint8_t, std::uint16_t) {}
void MDIO::queueWriteC22(std::uint32_t, std::uint8_t, std::uint16_t) {}
void MDIO::queueReadC22(std::uint32_t, std::uint8_t) {}
void MDIO::queueWrite32(std::uint32_t, std::uint32_t, std::uint32_t) {}
void MDIO::queueRead32(std::uint32_t, std::uint32_t) {}
void MDIO::queueWrite32PreIncrementAddress(std::uint32_t, std::uint32_t) {}
void MDIO::queueWrite32CurrentAddress(std::uint32_t, std::uint32_t) {}
void MDIO::queueRead32PreIncrementAddress(std::uint32_t) {}
void MDIO::queueRead32CurrentAddress(std::uint32_t) {}

void MDIO::transfer(std::uint32_t index) {
    // The hook, the write and the read stay together: no other transfer may
    // come between a batch and its replies.
    const std::lock_guard lock(device->transferLock());
    device->beforeTransfer();
    queues[index].sendAndCollect(*device, framing);
}

Values MDIO::execute(std::uint32_t phyId) {
    Values results;
    execute(phyId, results);
    return results;
}

void MDIO::execute(std::uint32_t phyId, Values& results) {
    checkPhyId(phyId);
    try {
        transfer(phyId);
    } catch (...) {
        if (!keepsCollectedValuesOnFailure()) queues[phyId].dropCollectedValues();
        throw;
    }
    queues[phyId].takeValues(results);
}

void MDIO::setPreamble(std::uint32_t phyId, std::uint8_t preambleBits) {
    checkPhyId(phyId);
    preambles[phyId] = preambleBits;
}

void MDIO::clearAll() {
    for (std::uint32_t phyId = 0; phyId <= maxPhyId; ++phyId)
        clear(phyId);
}

void MDIO::clear(std::uint32_t phyId) {
    if (phyId > maxPhyId) return;
    queues[phyId].clear();
}

void MDIO::throwPhyIdOutOfRange(std::uint32_t phyId) const {
    throw std::runtime_error(device->serialNumber + ": Phy id, " + std::to_string(phyId) +
                             ", out of range: min = 0, max = " + std::to_string(maxPhyId));
}

}  // namespace FTDI
