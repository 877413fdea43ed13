#include "mdio/K8MDIO.h"

#include <numeric>

#include "ftdi/K8Device.h"
#include "ftdi/UsbLock.h"
#include "mdio/MdioFramePieces.h"
#include "mdio/MpsseFrames.h"

namespace FTDI::K8 {

using namespace MdioFrames;

MDIO::MDIO(Device* owner) : MDIO(owner, 31) {}

MDIO::MDIO(Device* owner, std::uint32_t highestPhyId)
    : FTDI::MDIO(owner, highestPhyId), k8Device(owner) {}

MDIO::~MDIO() = default;

// Each Clause 45 access is an address frame followed by the data frame.
void MDIO::queueWrite(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress,
                      std::uint16_t value) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    appendClause45Frame(kClause45Address, preambles[phyId], phyId, mmd, registerAddress,
                        commands[phyId], replySizes[phyId]);
    appendClause45Frame(kClause45Write, preambles[phyId], phyId, mmd, value, commands[phyId],
                        replySizes[phyId]);
}

void MDIO::queueRead(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    appendClause45Frame(kClause45Address, preambles[phyId], phyId, mmd, registerAddress,
                        commands[phyId], replySizes[phyId]);
    appendClause45Frame(kClause45Read, preambles[phyId], phyId, mmd, 0, commands[phyId],
                        replySizes[phyId]);
}

void MDIO::queueWriteC22(std::uint32_t phyId, std::uint8_t registerAddress, std::uint16_t value) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    appendClause22Frame(kClause22Write, preambles[phyId], phyId, registerAddress, value,
                        commands[phyId], replySizes[phyId]);
}

void MDIO::queueReadC22(std::uint32_t phyId, std::uint8_t registerAddress) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    appendClause22Frame(kClause22Read, preambles[phyId], phyId, registerAddress, 0, commands[phyId],
                        replySizes[phyId]);
}

void MDIO::queue32(std::uint32_t phyId, std::uint8_t kind, std::uint32_t address,
                   std::uint32_t data) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    appendRegister32Frame(kind, preambles[phyId], phyId, address, data, commands[phyId],
                          replySizes[phyId]);
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

Values MDIO::execute(std::uint32_t phyId) {
    UsbLockGuard lock(usbLock());
    checkPhyId(phyId);
    k8Device->syncCheck(false, true);
    Values values = executeFrames(*k8Device, commands[phyId], replySizes[phyId]);
    Values& saved = savedResults[phyId];
    if (autoFlushing || saved.empty()) return values;
    values.insert(values.begin(), saved.begin(), saved.end());
    saved.clear();
    return values;
}

void MDIO::flushIfFull(std::uint32_t phyId) {
    const Values& replies = replySizes[phyId];
    bool full = commands[phyId].size() + kCommandHeadroom > kCommandLimit;
    // No entry is larger than a 32-bit read's, so the sum is only worth
    // taking once the list is long enough to reach the limit; a batch stays
    // linear in its length.
    if (!full && replies.size() * kReply32Bytes >= kReplyLimit) {
        full = std::accumulate(replies.begin(), replies.end(), std::uint64_t{0}) >= kReplyLimit;
    }
    if (!full) return;

    autoFlushing = true;
    struct ClearOnExit {
        bool& flag;
        ~ClearOnExit() { flag = false; }
    } clearOnExit{autoFlushing};
    const Values values = execute(phyId);
    Values& saved = savedResults[phyId];
    saved.insert(saved.end(), values.begin(), values.end());
}

}  // namespace FTDI::K8
