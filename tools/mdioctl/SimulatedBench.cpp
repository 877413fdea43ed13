#include "SimulatedBench.h"

#include <cstdlib>
#include <filesystem>
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

// The folder of the running mdioctl executable.
std::filesystem::path programFolder() {
#if defined(_WIN32)
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return std::filesystem::path(path).parent_path();
#else
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
#endif
}

// The bench is found relative to mdioctl itself, so an installed tree and
// an unpacked package work wherever they are put, and the build tree works
// before installing. When neither place has it, the installed place is
// named, which is what the driver-loading message then shows.
std::string benchBesideProgram() {
    const std::filesystem::path folder = programFolder();
    for (const char* relative : {MDIOSIM_FROM_INSTALLED_TOOL, MDIOSIM_FROM_BUILT_TOOL}) {
        const std::filesystem::path candidate = (folder / relative).lexically_normal();
        std::error_code error;
        if (std::filesystem::exists(candidate, error)) return candidate.string();
    }
    return (folder / MDIOSIM_FROM_INSTALLED_TOOL).lexically_normal().string();
}

}  // namespace

void useSimulatedBench(const std::string& benchFile) {
    const char* chosen = std::getenv("MDIOCTL_SIM_LIBRARY");
    gBenchLibrary = chosen != nullptr && chosen[0] != '\0' ? chosen : benchBesideProgram();
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
