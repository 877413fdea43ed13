#include "FastRead.h"

#include <algorithm>
#include <cstdint>

#include "mdiohost.h"
#include "mdiohost_ext.h"

namespace mdioctl {
namespace {

constexpr std::uint32_t kFullPreamble = 32;
constexpr std::uint32_t kNoPreamble = 0;
// What a register reads when no PHY drives the line.
constexpr std::uint16_t kNobodyAnswers = 0xFFFF;

std::string phyName(std::uint32_t phy) {
    return "PHY " + std::to_string(phy);
}

void setPreamble(std::uint32_t adapter, std::uint32_t phy, std::uint32_t bits) {
    mdiohost_set_preamble(adapter, phy, bits);
    Session::check();
}

// One batch: the checked registers read plainly, then the burst, in one
// execute. Empty when a checked register differs.
std::optional<std::vector<std::uint16_t>> burstBatch(std::uint32_t adapter, std::uint32_t phy,
                                                     std::uint32_t mmd, std::uint32_t first,
                                                     std::uint32_t count) {
    const std::vector<std::uint32_t> checked = checkedOffsets(count);
    for (const std::uint32_t offset : checked)
        HW_BlockReadAdapter(adapter, phy, mmd, first + offset);
    Session::check();
    mdiohost_block_read_burst(adapter, phy, mmd, first, count);
    Session::check();
    const std::uint64_t address = HW_BlockOperationExecuteAdapter(adapter, phy);
    Session::check();
    const std::uint32_t expected = static_cast<std::uint32_t>(checked.size()) + count;
    if (address == 0 || HW_BlockReadQueueSize() != expected) {
        throw LibraryError("a burst of " + std::to_string(count) + " reads returned " +
                           std::to_string(HW_BlockReadQueueSize()) + " values");
    }
    const auto* read = reinterpret_cast<const std::uint32_t*>(static_cast<std::uintptr_t>(address));
    const std::uint32_t* burst = read + checked.size();
    if (!burstAgrees(checked, read, burst)) return std::nullopt;
    return std::vector<std::uint16_t>(burst, burst + count);
}

}  // namespace

std::vector<std::uint32_t> checkedOffsets(std::uint32_t count) {
    if (count == 1) return {0};
    if (count == 2) return {1};
    return {1, count - 1};
}

bool burstAgrees(const std::vector<std::uint32_t>& offsets, const std::uint32_t* plain,
                 const std::uint32_t* burst) {
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        if (burst[offsets[i]] != plain[i]) return false;
    }
    return true;
}

std::uint32_t choosePreamble(Session& session, std::uint32_t adapter, std::uint32_t phy,
                             const RegisterRange& range, FastReadReport& report) {
    if (!session.wireSpeedAdapter(adapter)) {
        report.fallbacks.push_back("frames without preamble need a K8 MDIO adapter");
        return kFullPreamble;
    }
    const std::uint16_t status = session.read(adapter, phy, true, 0, kStatusRegister);
    if (status != kNobodyAnswers && (status & kPreambleSuppressionBit) == 0) {
        report.fallbacks.push_back(phyName(phy) +
                                   " does not accept frames without preamble (status bit 6)");
        return kFullPreamble;
    }
    // A register that reads all ones cannot tell an answer from silence.
    const std::uint16_t plain =
        session.read(adapter, phy, range.clause22, range.mmd, range.clause22 ? 2 : range.first);
    if (plain == kNobodyAnswers) {
        report.fallbacks.push_back(phyName(phy) +
                                   " has no register to check frames without "
                                   "preamble against");
        return kFullPreamble;
    }
    setPreamble(adapter, phy, kNoPreamble);
    const std::uint16_t suppressed =
        session.read(adapter, phy, range.clause22, range.mmd, range.clause22 ? 2 : range.first);
    if (suppressed != plain) {
        setPreamble(adapter, phy, kFullPreamble);
        report.fallbacks.push_back(phyName(phy) + " reads otherwise without preamble");
        return kFullPreamble;
    }
    report.preambleBits = kNoPreamble;
    return kNoPreamble;
}

std::vector<std::uint16_t> readRangeFast(Session& session, std::uint32_t adapter, std::uint32_t phy,
                                         const RegisterRange& range, std::uint32_t batchSize,
                                         FastReadReport& report,
                                         const std::function<void(std::uint32_t)>& progress) {
    if (!session.burstable(adapter, range))
        return session.readRange(adapter, phy, range, batchSize, progress);
    const std::uint32_t burstSize = std::min<std::uint32_t>(batchSize, MDIOHOST_MAX_BURST_READS);
    std::vector<std::uint16_t> values;
    values.reserve(range.count);
    for (std::uint32_t done = 0; done < range.count;) {
        const std::uint32_t count = std::min(burstSize, range.count - done);
        const auto batch = burstBatch(adapter, phy, range.mmd, range.first + done, count);
        if (!batch) {
            report.fallbacks.push_back(phyName(phy) + " reads otherwise in a burst");
            return session.readRange(adapter, phy, range, batchSize, progress);
        }
        values.insert(values.end(), batch->begin(), batch->end());
        done += count;
        if (progress) progress(done);
    }
    report.burst = true;
    return values;
}

}  // namespace mdioctl
