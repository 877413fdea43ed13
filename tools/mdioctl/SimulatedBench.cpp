#include "SimulatedBench.h"

#include <cstdlib>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace mdioctl {
namespace {

// The C record the bench's `mdiosim_read_counters` fills.
struct CountersRecord {
    std::uint64_t usbWrites;
    std::uint64_t usbReads;
    std::uint64_t bytesWritten;
    std::uint64_t bytesRead;
    std::uint64_t mdcCycles;
    std::uint64_t roundTrips;
    double modeledSeconds;
};
using ReadCounters = int (*)(CountersRecord*);

std::string gBenchLibrary;  // empty: real adapters

void setEnvironment(const char* name, const std::string& value) {
#if defined(_WIN32)
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

}  // namespace

void useSimulatedBench(const std::string& benchFile) {
    const char* chosen = std::getenv("MDIOCTL_SIM_LIBRARY");
    gBenchLibrary = chosen != nullptr && chosen[0] != '\0' ? chosen : MDIOSIM_BUILT_PATH;
    setEnvironment("MDIOHOST_D2XX", gBenchLibrary);
    if (!benchFile.empty()) setEnvironment("MDIOSIM_BENCH", benchFile);
}

std::optional<BenchCounters> simulatedBenchCounters() {
    if (gBenchLibrary.empty()) return std::nullopt;
#if defined(_WIN32)
    HMODULE module = LoadLibraryA(gBenchLibrary.c_str());
    auto read = module != nullptr ? reinterpret_cast<ReadCounters>(reinterpret_cast<void*>(
                                        GetProcAddress(module, "mdiosim_read_counters")))
                                  : nullptr;
#else
    void* module = dlopen(gBenchLibrary.c_str(), RTLD_NOW);
    auto read = module != nullptr
                    ? reinterpret_cast<ReadCounters>(dlsym(module, "mdiosim_read_counters"))
                    : nullptr;
#endif
    CountersRecord record{};
    if (read == nullptr || read(&record) != 0) return std::nullopt;
    return BenchCounters{record.usbWrites, record.usbReads, record.roundTrips, record.mdcCycles,
                         record.modeledSeconds};
}

}  // namespace mdioctl
