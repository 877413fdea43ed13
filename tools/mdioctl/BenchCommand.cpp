// bench: single reads against batched reads, and on the simulated bench the
// modeled hardware time against the MDIO wire-time limit.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "AdapterLookup.h"
#include "Commands.h"
#include "SimulatedBench.h"
#include "mdiohost.h"

namespace mdioctl {
namespace {

// The register read: MMD 1 (PMA/PMD) identifier 1.
constexpr std::uint32_t kBenchMmd = 1;
constexpr std::uint32_t kBenchRegister = 2;
// A Clause 45 read is an address frame and a read frame, each 32 preamble
// bits and 32 frame bits on the wire.
constexpr double kMdcCyclesPerClause45Read = 2 * (32 + 32);
constexpr double kDefaultMdcHz = 5e6;

double configuredMdcHz() {
    const char* text = std::getenv("MDIO_CLOCK_HZ");
    if (text == nullptr) return kDefaultMdcHz;
    const double hz = std::strtod(text, nullptr);
    return hz > 0 ? hz : kDefaultMdcHz;
}

struct Phase {
    double seconds = 0;
    std::optional<BenchCounters> before, after;
};

template <typename Work>
Phase timed(Work work) {
    Phase phase;
    phase.before = simulatedBenchCounters();
    const auto start = std::chrono::steady_clock::now();
    work();
    phase.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    phase.after = simulatedBenchCounters();
    return phase;
}

nlohmann::json report(Output& out, const char* label, const Phase& phase, std::uint32_t count) {
    const double rate = phase.seconds > 0 ? count / phase.seconds : 0;
    nlohmann::json entry = {{"reads", count}, {"seconds", phase.seconds}, {"readsPerSecond", rate}};
    char text[200];
    std::snprintf(text, sizeof text, "%-8s %6u reads in %8.3f ms: %10.0f reads/s", label, count,
                  phase.seconds * 1e3, rate);
    std::string line = text;
    if (phase.before && phase.after) {
        const double modeled = phase.after->modeledSeconds - phase.before->modeledSeconds;
        const double wire = count * kMdcCyclesPerClause45Read / configuredMdcHz();
        const auto trips = phase.after->roundTrips - phase.before->roundTrips;
        entry["modeledSeconds"] = modeled;
        entry["roundTrips"] = trips;
        entry["wireSeconds"] = wire;
        entry["ratioToWireLimit"] = wire > 0 ? modeled / wire : 0;
        std::snprintf(
            text, sizeof text, "; modeled %8.3f ms in %llu round trips, %.2fx the MDIO wire time",
            modeled * 1e3, static_cast<unsigned long long>(trips), wire > 0 ? modeled / wire : 0);
        line += text;
    }
    out.line(line);
    return entry;
}

}  // namespace

void benchAdapter(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                  std::uint32_t count) {
    const std::uint32_t index = session.open(adapter, mdioNeed("bench"));
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
                    {"single", report(out, "single", single, count)},
                    {"batched", report(out, "batched", batched, count)}};
}

}  // namespace mdioctl
