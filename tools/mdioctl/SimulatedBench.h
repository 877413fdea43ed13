// --sim: run against the simulated bench instead of real adapters. The bench
// is a D2XX-compatible library; pointing MDIOHOST_D2XX at it is all the
// library needs. Its counters (USB round trips, MDC cycles, modeled time)
// are read through a small C function the bench exports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace mdioctl {

struct BenchCounters {
    std::uint64_t usbWrites = 0;
    std::uint64_t usbReads = 0;
    std::uint64_t roundTrips = 0;
    std::uint64_t mdcCycles = 0;
    double modeledSeconds = 0;
};

// Sets MDIOHOST_D2XX (and MDIOSIM_BENCH when a bench file is given) before
// the library first touches the driver.
void useSimulatedBench(const std::string& benchFile);

// Makes the bench write the wires of its K8 boards to `vcdFile` (MDIOSIM_VCD).
void recordBenchWaveforms(const std::string& vcdFile);

// The bench's totals, when the run uses the simulated bench.
std::optional<BenchCounters> simulatedBenchCounters();

}  // namespace mdioctl
