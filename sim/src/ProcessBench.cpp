#include "ProcessBench.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace mdiosim {
namespace {

constexpr const char* kBenchVariable = "MDIOSIM_BENCH";
// Names the VCD file the wires are written to, over a bench file's "vcd".
constexpr const char* kWaveformVariable = "MDIOSIM_VCD";
// Names a timing setting, over a bench file's "timing", so one bench can be
// modeled optimistically and pessimistically without a file for each.
constexpr const char* kTimingVariable = "MDIOSIM_TIMING";

void reportUnusableBench(const std::string& file, const std::string& problem) {
    std::fprintf(stderr, "mdiosim: bench file '%s' (%s): %s; the bench has no boards.\n",
                 file.c_str(), kBenchVariable, problem.c_str());
    std::fflush(stderr);
}

BenchDescription describedBench(const std::string& file) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) throw BenchFileError("cannot be read");
    std::ostringstream content;
    content << stream.rdbuf();
    return parseBenchJson(content.str());
}

BenchDescription withEnvironment(BenchDescription description) {
    const char* waveforms = std::getenv(kWaveformVariable);
    if (waveforms != nullptr && waveforms[0] != '\0') description.waveformFile = waveforms;
    const char* timing = std::getenv(kTimingVariable);
    if (timing != nullptr && timing[0] != '\0') {
        if (const std::optional<TimingModel> preset = timingPreset(timing)) {
            description.timing = *preset;
        } else {
            std::fprintf(stderr,
                         "mdiosim: %s='%s' is not ideal, optimistic, typical or pessimistic; "
                         "the bench keeps its own timing.\n",
                         kTimingVariable, timing);
            std::fflush(stderr);
        }
    }
    return description;
}

void build(Bench& bench) {
    const char* file = std::getenv(kBenchVariable);
    if (file == nullptr || file[0] == '\0') {
        bench.reset(withEnvironment(defaultBenchDescription()));
        return;
    }
    BenchDescription description;
    try {
        description = describedBench(file);
    } catch (const std::exception& problem) {
        reportUnusableBench(file, problem.what());
    }
    bench.reset(withEnvironment(description));
}

}  // namespace

std::recursive_mutex& benchMutex() {
    static auto* mutex = new std::recursive_mutex();
    return *mutex;
}

namespace {

struct ProcessState {
    Bench bench;
    bool built = false;
};

ProcessState& processState() {
    static auto* state = new ProcessState();
    return *state;
}

}  // namespace

Bench& lockedBench() {
    ProcessState& state = processState();
    if (!state.built) {
        state.built = true;
        build(state.bench);
    }
    return state.bench;
}

BenchAccess bench() {
    const std::lock_guard<std::recursive_mutex> guard(benchMutex());
    return BenchAccess(benchMutex(), lockedBench());
}

void resetBench(const BenchDescription& description) {
    bench()->reset(description);
}

void reloadBench() {
    const std::lock_guard<std::recursive_mutex> guard(benchMutex());
    ProcessState& state = processState();
    state.built = true;
    build(state.bench);
}

void loadBenchJson(std::string_view text) {
    const BenchDescription description = parseBenchJson(text);
    bench()->reset(description);
}

}  // namespace mdiosim
