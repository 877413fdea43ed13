#include "SimulatedBench.h"

#include <cstdlib>
#include <string>

#include "ProcessEnvironment.h"
#include "mdiosim/CounterRecord.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace mdioctl {
namespace {

std::string gBenchLibrary;  // empty: real adapters

}  // namespace

void useSimulatedBench(const std::string& benchFile) {
    const char* chosen = std::getenv("MDIOCTL_SIM_LIBRARY");
    gBenchLibrary = chosen != nullptr && chosen[0] != '\0' ? chosen : MDIOSIM_BUILT_PATH;
    setEnvironment("MDIOHOST_D2XX", gBenchLibrary);
    if (!benchFile.empty()) setEnvironment("MDIOSIM_BENCH", benchFile);
}

void recordBenchWaveforms(const std::string& vcdFile) {
    setEnvironment("MDIOSIM_VCD", vcdFile);
}

std::optional<BenchCounters> simulatedBenchCounters() {
    if (gBenchLibrary.empty()) return std::nullopt;
#if defined(_WIN32)
    HMODULE module = LoadLibraryA(gBenchLibrary.c_str());
    auto read = module != nullptr ? reinterpret_cast<MdiosimReadCounters>(reinterpret_cast<void*>(
                                        GetProcAddress(module, MDIOSIM_READ_COUNTERS_NAME)))
                                  : nullptr;
#else
    void* module = dlopen(gBenchLibrary.c_str(), RTLD_NOW);
    auto read =
        module != nullptr
            ? reinterpret_cast<MdiosimReadCounters>(dlsym(module, MDIOSIM_READ_COUNTERS_NAME))
            : nullptr;
#endif
    MdiosimCounters record{};
    if (read == nullptr || read(&record) != 0) return std::nullopt;
    return BenchCounters{record.usbWrites, record.usbReads, record.roundTrips, record.mdcCycles,
                         record.modeledSeconds};
}

}  // namespace mdioctl
