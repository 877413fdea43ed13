#include "mdio/TalvikMDIO.h"

#include <numeric>
#include <utility>

#include "ftdi/TalvikDevice.h"
#include "ftdi/UsbLock.h"
#include "mdio/TalvikFrames.h"

namespace FTDI::Talvik {

MDIO::MDIO(Device* owner) : FTDI::MDIO(owner, kHighestPhyAddress) {
    for (std::uint32_t phyId = 0; phyId <= maxPhyId; ++phyId)
        restartCommands(phyId);
}

MDIO::~MDIO() = default;

void MDIO::restartCommands(std::uint32_t phyId) {
    commands[phyId].clear();
    Frames::appendPortSelect(commands[phyId], static_cast<std::uint8_t>(phyId));
}

std::uint32_t MDIO::pendingReplyBytes(std::uint32_t phyId) const {
    return std::accumulate(replySizes[phyId].begin(), replySizes[phyId].end(), std::uint32_t{0});
}

void MDIO::queueWrite(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress,
                      std::uint16_t value) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    Frames::appendMdioWrite(commands[phyId], mmd, registerAddress, value);
}

void MDIO::queueRead(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress) {
    checkPhyId(phyId);
    flushIfFull(phyId);
    Frames::appendMdioRead(commands[phyId], mmd, registerAddress);
    replySizes[phyId].push_back(Frames::kReplySize);
}

void MDIO::flushIfFull(std::uint32_t phyId) {
    const bool commandsFull =
        commands[phyId].size() + Frames::kFrameSize > Frames::kMaxTransferBytes;
    // Every reply is three bytes long, so the count of queued reads gives the
    // reply bytes without walking the list on every queued operation.
    const std::uint64_t replyBytes =
        static_cast<std::uint64_t>(replySizes[phyId].size()) * Frames::kReplySize;
    const bool repliesFull = replyBytes + Frames::kReplySize > Frames::kMaxTransferBytes;
    if (!commandsFull && !repliesFull) return;

    // The flag is cleared on every way out: left set after a failed transfer
    // it would keep every later execute of this engine from handing out the
    // values it saved.
    struct AutoFlushScope {
        bool& flag;
        explicit AutoFlushScope(bool& f) : flag(f) { flag = true; }
        ~AutoFlushScope() { flag = false; }
    } scope(autoFlushing);
    Values early = execute(phyId);
    Values& saved = savedResults[phyId];
    saved.insert(saved.end(), early.begin(), early.end());
}

Values MDIO::execute(std::uint32_t phyId) {
    checkPhyId(phyId);
    Values results;
    if (!autoFlushing) results = std::exchange(savedResults[phyId], {});
    if (commands[phyId].empty()) return results;

    // The batch and its replies stay together: no other transfer may come
    // between this write and this read.
    UsbLockGuard lock(usbLock());
    Bytes& batch = commands[phyId];
    device->writeBytes(batch.data(), static_cast<std::uint32_t>(batch.size()));
    // Sent: the next batch of this port starts with its select frame again.
    // A failed write leaves the queue as it was.
    restartCommands(phyId);

    const std::uint32_t replyBytes = pendingReplyBytes(phyId);
    if (replyBuffer.size() < replyBytes) replyBuffer.resize(replyBytes);
    device->readBytes(replyBuffer.data(), replyBytes);

    std::uint32_t offset = 0;
    for (const std::uint32_t replySize : replySizes[phyId]) {
        results.push_back(replyBuffer[offset + Frames::kReplyValueLow] |
                          (std::uint32_t{replyBuffer[offset + Frames::kReplyValueHigh]} << 8));
        offset += replySize;
    }
    replySizes[phyId].clear();
    return results;
}

void MDIO::clear(std::uint32_t phyId) {
    if (phyId > maxPhyId) return;
    FTDI::MDIO::clear(phyId);
    // A cleared queue gets its port select frame back: without it the next
    // batch would go to whichever PHY address the controller selected last,
    // and reach the wrong PHY.
    restartCommands(phyId);
}

}  // namespace FTDI::Talvik
