// bench: single reads against batched reads, then every way of reading a
// register range side by side (plain, compact encoding, Clause 45 bursts,
// bursts without preamble); on the simulated bench, the modeled hardware time
// of each against the MDIO wire-time limit of its frames.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "AdapterLookup.h"
#include "Commands.h"
#include "FastRead.h"
#include "SimulatedBench.h"
#include "mdiohost.h"
#include "mdiohost_ext.h"

namespace mdioctl {
namespace {

// The register read: MMD 1 (PMA/PMD) identifier 1.
constexpr std::uint32_t kBenchMmd = 1;
constexpr std::uint32_t kBenchRegister = 2;
// The modes read MMD 1 from register 0 on: consecutive, as bursts need.
constexpr std::uint32_t kRangeStart = 0;
// A Clause 45 frame is 32 frame bits after its preamble; a read is an
// address frame and a read frame, a burst one address frame and a read frame
// per register.
constexpr double kFrameBits = 32;
constexpr double kFullPreamble = 32;
constexpr std::uint32_t kNoPreamble = 0;
constexpr double kDefaultMdcHz = 5e6;
// The board's LED thread writes colours now and then; a phase it wrote into
// is run again, so every run counts the same transfers.
constexpr int kPhaseAttempts = 5;

double configuredMdcHz() {
    const char* text = std::getenv("MDIO_CLOCK_HZ");
    if (text == nullptr) return kDefaultMdcHz;
    const double hz = std::strtod(text, nullptr);
    return hz > 0 ? hz : kDefaultMdcHz;
}

struct Phase {
    double seconds = 0;
    std::optional<BenchCounters> before, after;

    // Every transfer of a read phase writes, then reads its replies: a write
    // without a read is somebody else's (the LED thread's).
    bool onlyOwnTransfers() const {
        if (!before || !after) return true;
        return after->usbWrites - before->usbWrites == after->usbReads - before->usbReads;
    }
};

Phase timedOnce(const std::function<void()>& work) {
    Phase phase;
    phase.before = simulatedBenchCounters();
    const auto start = std::chrono::steady_clock::now();
    work();
    phase.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    phase.after = simulatedBenchCounters();
    return phase;
}

Phase timed(const std::function<void()>& work) {
    Phase phase = timedOnce(work);
    for (int attempt = 1; attempt < kPhaseAttempts && !phase.onlyOwnTransfers(); ++attempt)
        phase = timedOnce(work);
    return phase;
}

// With `plainModeled` (the fast modes), the first mode reported sets it and
// every mode is also reported as a speed-up over it.
nlohmann::json report(Output& out, const char* label, const Phase& phase, std::uint32_t count,
                      double wireSeconds, std::optional<double>* plainModeled = nullptr) {
    const double rate = phase.seconds > 0 ? count / phase.seconds : 0;
    nlohmann::json entry = {{"reads", count}, {"seconds", phase.seconds}, {"readsPerSecond", rate}};
    char text[240];
    std::snprintf(text, sizeof text, "%-20s %6u reads in %8.3f ms: %10.0f reads/s", label, count,
                  phase.seconds * 1e3, rate);
    std::string line = text;
    if (phase.before && phase.after) {
        const double modeled = phase.after->modeledSeconds - phase.before->modeledSeconds;
        const auto trips = phase.after->roundTrips - phase.before->roundTrips;
        const double ratio = wireSeconds > 0 ? modeled / wireSeconds : 0;
        entry["modeledSeconds"] = modeled;
        entry["roundTrips"] = trips;
        entry["usbWrites"] = phase.after->usbWrites - phase.before->usbWrites;
        entry["usbReads"] = phase.after->usbReads - phase.before->usbReads;
        entry["wireSeconds"] = wireSeconds;
        entry["ratioToWireLimit"] = ratio;
        std::snprintf(
            text, sizeof text, "; modeled %8.3f ms in %llu round trip%s, %.3fx the MDIO wire time",
            modeled * 1e3, static_cast<unsigned long long>(trips), trips == 1 ? "" : "s", ratio);
        line += text;
        if (plainModeled != nullptr) {
            if (!*plainModeled) *plainModeled = modeled;
            const double speedup = modeled > 0 ? **plainModeled / modeled : 0;
            entry["speedupOverPlain"] = speedup;
            std::snprintf(text, sizeof text, ", %.2fx plain", speedup);
            line += text;
        }
    }
    out.line(line);
    return entry;
}

// --- the modes

struct Mode {
    const char* name;
    const char* label;
    // Frames' preamble bits, and whether it reads in bursts.
    double preambleBits;
    bool burst;
    bool compact;
};

constexpr Mode kModes[] = {
    {"plain", "plain", kFullPreamble, false, false},
    {"compact", "compact encoding", kFullPreamble, false, true},
    {"burst", "burst", kFullPreamble, true, false},
    {"burstWithoutPreamble", "burst, no preamble", 0, true, false},
};

std::uint32_t burstsFor(std::uint32_t count) {
    return (count + MDIOHOST_MAX_BURST_READS - 1) / MDIOHOST_MAX_BURST_READS;
}

// The time the mode's frames take on the wire at the MDC rate: the limit no
// encoding can beat.
double wireSeconds(const Mode& mode, std::uint32_t count) {
    const double frame = mode.preambleBits + kFrameBits;
    const double frames = mode.burst ? burstsFor(count) + count : 2.0 * count;
    return frames * frame / configuredMdcHz();
}

void queueReads(std::uint32_t adapter, std::uint32_t phy, const Mode& mode, std::uint32_t count) {
    if (!mode.burst) {
        for (std::uint32_t i = 0; i < count; ++i)
            HW_BlockReadAdapter(adapter, phy, kBenchMmd, kRangeStart + i);
        return;
    }
    for (std::uint32_t done = 0; done < count;) {
        const std::uint32_t part = std::min<std::uint32_t>(MDIOHOST_MAX_BURST_READS, count - done);
        mdiohost_block_read_burst(adapter, phy, kBenchMmd, kRangeStart + done, part);
        done += part;
    }
}

// Reads the range once in `mode`; the values in register order.
std::vector<std::uint16_t> readInMode(std::uint32_t adapter, std::uint32_t phy, const Mode& mode,
                                      std::uint32_t count) {
    queueReads(adapter, phy, mode, count);
    Session::check();
    const std::uint64_t address = HW_BlockOperationExecuteAdapter(adapter, phy);
    Session::check();
    const auto* values =
        reinterpret_cast<const std::uint32_t*>(static_cast<std::uintptr_t>(address));
    const std::uint32_t got = std::min(HW_BlockReadQueueSize(), count);
    std::vector<std::uint16_t> result;
    result.reserve(got);
    for (std::uint32_t i = 0; i < got && values != nullptr; ++i)
        result.push_back(static_cast<std::uint16_t>(values[i]));
    return result;
}

// Why the PHY cannot be read without preamble, or nothing when it can: its
// status register must say it accepts such frames.
std::optional<std::string> suppressionRefused(Session& session, std::uint32_t adapter,
                                              std::uint32_t phy) {
    const std::uint16_t status = session.read(adapter, phy, true, 0, kStatusRegister);
    if ((status & kPreambleSuppressionBit) == 0) {
        return "PHY " + std::to_string(phy) +
               " does not accept frames without preamble (status bit 6)";
    }
    return std::nullopt;
}

// Turns the mode's settings on for the phase and back off after it.
class ModeSettings {
  public:
    ModeSettings(std::uint32_t adapterIndex, std::uint32_t phyAddress, const Mode& mode)
        : adapter(adapterIndex), phy(phyAddress), chosen(mode) {
        if (chosen.compact) mdiohost_set_compact_encoding(adapter, 1);
        if (chosen.preambleBits == 0) mdiohost_set_preamble(adapter, phy, kNoPreamble);
        Session::check();
    }
    ~ModeSettings() {
        if (chosen.compact) mdiohost_set_compact_encoding(adapter, 0);
        if (chosen.preambleBits == 0)
            mdiohost_set_preamble(adapter, phy, static_cast<std::uint32_t>(kFullPreamble));
    }
    ModeSettings(const ModeSettings&) = delete;
    ModeSettings& operator=(const ModeSettings&) = delete;

  private:
    std::uint32_t adapter;
    std::uint32_t phy;
    const Mode& chosen;
};

nlohmann::json benchModes(Session& session, Output& out, std::uint32_t adapter, std::uint32_t phy,
                          std::uint32_t count) {
    nlohmann::json modes = nlohmann::json::array();
    if (!session.wireSpeedAdapter(adapter)) {
        out.line("(the other modes need a K8 MDIO adapter)");
        return modes;
    }
    const std::vector<std::uint16_t> reference = readInMode(adapter, phy, kModes[0], count);
    std::optional<double> plainModeled;
    for (const Mode& mode : kModes) {
        if (mode.preambleBits == 0) {
            if (const auto refusal = suppressionRefused(session, adapter, phy)) {
                out.line(std::string(mode.label) + ": skipped, " + *refusal);
                modes.push_back({{"mode", mode.name}, {"skipped", *refusal}});
                continue;
            }
        }
        std::vector<std::uint16_t> values;
        const ModeSettings settings(adapter, phy, mode);
        const Phase phase = timed([&] { values = readInMode(adapter, phy, mode, count); });
        nlohmann::json entry =
            report(out, mode.label, phase, count, wireSeconds(mode, count), &plainModeled);
        entry["mode"] = mode.name;
        // A mode the PHY does not follow reads otherwise: say so, never hide it.
        std::size_t wrong = values.size() == reference.size() ? 0 : count;
        for (std::size_t i = 0; i < values.size() && i < reference.size(); ++i)
            wrong += values[i] != reference[i] ? 1 : 0;
        entry["wrongValues"] = wrong;
        if (wrong != 0) {
            out.line("  " + std::to_string(wrong) + " of " + std::to_string(count) +
                     " values differ from the plain reads");
        }
        modes.push_back(entry);
    }
    return modes;
}

}  // namespace

void benchAdapter(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                  std::uint32_t count) {
    const std::uint32_t index = session.open(adapter, mdioNeed("bench"));
    const Mode& plain = kModes[0];
    const Phase single = timed([&] {
        for (std::uint32_t i = 0; i < count; ++i) {
            session.read(index, phy, false, kBenchMmd, kBenchRegister);
        }
    });
    const Phase batched = timed([&] {
        for (std::uint32_t i = 0; i < count; ++i)
            HW_BlockReadAdapter(index, phy, kBenchMmd, kBenchRegister);
        HW_BlockOperationExecuteAdapter(index, phy);
        Session::check();
    });
    out.document = {{"adapter", index},
                    {"phy", phy},
                    {"mdcHz", configuredMdcHz()},
                    {"single", report(out, "single", single, count, wireSeconds(plain, count))},
                    {"batched", report(out, "batched", batched, count, wireSeconds(plain, count))}};
    out.document["modes"] = benchModes(session, out, index, phy, count);
}

}  // namespace mdioctl
