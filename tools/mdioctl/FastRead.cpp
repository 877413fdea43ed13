#include "FastRead.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "mdiohost.h"
#include "mdiohost_ext.h"

namespace mdioctl {
namespace {

constexpr std::uint32_t kFullPreamble = 32;
constexpr std::uint32_t kNoPreamble = 0;
// What a register reads when no PHY drives the line.
constexpr std::uint16_t kNobodyAnswers = 0xFFFF;
// The Clause 22 register a Clause 22 range is checked with: an identifier.
constexpr std::uint32_t kClause22Known = 2;

std::string phyName(std::uint32_t phy) {
    return "PHY " + std::to_string(phy);
}

void setPreamble(std::uint32_t adapter, std::uint32_t phy, std::uint32_t bits) {
    mdiohost_set_preamble(adapter, phy, bits);
    Session::check();
}

// Gives the PHY its full preamble back however the reads end, when it was
// taken away (only K8 MDIO adapters have the setting).
class FullPreambleAtExit {
  public:
    FullPreambleAtExit(std::uint32_t adapterIndex, std::uint32_t phyAddress, bool taken)
        : adapter(adapterIndex), phy(phyAddress), active(taken) {}
    ~FullPreambleAtExit() {
        if (active) mdiohost_set_preamble(adapter, phy, kFullPreamble);
    }
    FullPreambleAtExit(const FullPreambleAtExit&) = delete;
    FullPreambleAtExit& operator=(const FullPreambleAtExit&) = delete;

  private:
    std::uint32_t adapter;
    std::uint32_t phy;
    bool active;
};

// The PHY's own word first: its status register must allow frames without
// preamble, unless it has no Clause 22 registers to ask.
bool statusAllowsSuppression(Session& session, std::uint32_t adapter, std::uint32_t phy,
                             FastReadReport& report) {
    if (!session.wireSpeedAdapter(adapter)) {
        report.fallbacks.push_back("frames without preamble need a K8 MDIO adapter");
        return false;
    }
    const std::uint16_t status = session.read(adapter, phy, true, 0, kStatusRegister);
    if (status != kNobodyAnswers && (status & kPreambleSuppressionBit) == 0) {
        report.fallbacks.push_back(phyName(phy) +
                                   " does not accept frames without preamble (status bit 6)");
        return false;
    }
    return true;
}

// For ranges read one register at a time: a register that reads the same
// without preamble as with it. Leaves the PHY without preamble when it does.
bool readsTheSameWithoutPreamble(Session& session, std::uint32_t adapter, std::uint32_t phy,
                                 const RegisterRange& range, FastReadReport& report) {
    const std::uint32_t known = range.clause22 ? kClause22Known : range.first;
    const std::uint16_t plain = session.read(adapter, phy, range.clause22, range.mmd, known);
    // A register that reads all ones cannot tell an answer from silence.
    if (plain == kNobodyAnswers) {
        report.fallbacks.push_back(phyName(phy) +
                                   " has no register to check frames without preamble against");
        return false;
    }
    setPreamble(adapter, phy, kNoPreamble);
    if (session.read(adapter, phy, range.clause22, range.mmd, known) != plain) {
        setPreamble(adapter, phy, kFullPreamble);
        report.fallbacks.push_back(phyName(phy) + " reads otherwise without preamble");
        return false;
    }
    return true;
}

// One batch in one execute: the checked registers with the full preamble,
// then the burst with `burstPreamble` (frames take the preamble in force
// when they are queued). Empty when a checked register differs.
std::optional<std::vector<std::uint16_t>> burstBatch(std::uint32_t adapter, std::uint32_t phy,
                                                     std::uint32_t mmd, std::uint32_t first,
                                                     std::uint32_t count,
                                                     std::uint32_t burstPreamble) {
    const std::vector<std::uint32_t> checked = checkedOffsets(count);
    for (const std::uint32_t offset : checked)
        HW_BlockReadAdapter(adapter, phy, mmd, first + offset);
    Session::check();
    mdiohost_set_preamble(adapter, phy, burstPreamble);
    mdiohost_block_read_burst(adapter, phy, mmd, first, count);
    mdiohost_set_preamble(adapter, phy, kFullPreamble);
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

std::vector<std::uint16_t> readRangeFast(Session& session, std::uint32_t adapter, std::uint32_t phy,
                                         const RegisterRange& range, std::uint32_t batchSize,
                                         bool suppress, FastReadReport& report,
                                         const std::function<void(std::uint32_t)>& progress) {
    std::uint32_t preamble = kFullPreamble;
    if (suppress && statusAllowsSuppression(session, adapter, phy, report)) preamble = kNoPreamble;

    if (!session.burstable(adapter, range)) {
        if (preamble == kNoPreamble &&
            !readsTheSameWithoutPreamble(session, adapter, phy, range, report)) {
            preamble = kFullPreamble;
        }
        const FullPreambleAtExit restore(adapter, phy, preamble == kNoPreamble);
        report.preambleBits = preamble;
        return session.readRange(adapter, phy, range, batchSize, progress);
    }

    const std::uint32_t burstSize = std::min<std::uint32_t>(batchSize, MDIOHOST_MAX_BURST_READS);
    std::vector<std::uint16_t> values;
    values.reserve(range.count);
    for (std::uint32_t done = 0; done < range.count;) {
        const std::uint32_t first = range.first + done;
        const std::uint32_t count = std::min(burstSize, range.count - done);
        auto batch = burstBatch(adapter, phy, range.mmd, first, count, preamble);
        if (!batch && preamble == kNoPreamble) {
            report.fallbacks.push_back(phyName(phy) + " reads otherwise without preamble");
            preamble = kFullPreamble;
            batch = burstBatch(adapter, phy, range.mmd, first, count, preamble);
        }
        if (!batch) {
            report.fallbacks.push_back(phyName(phy) + " reads otherwise in a burst");
            report.preambleBits = kFullPreamble;
            return session.readRange(adapter, phy, range, batchSize, progress);
        }
        values.insert(values.end(), batch->begin(), batch->end());
        done += count;
        if (progress) progress(done);
    }
    report.burst = true;
    report.preambleBits = preamble;
    return values;
}

}  // namespace mdioctl
