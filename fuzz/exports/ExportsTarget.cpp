// Sequences of exported calls with arbitrary arguments on the simulated
// bench (the default bench: a K8 board with MDIO and I2C adapters, a K8 MDIO
// board and a board of the older family). Only functions marked THROWS may
// throw; the counts of calls, throws and failures are printed at the end.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>

#include "BenchLink.h"
#include "ExportCalls.h"
#include "LibraryState.h"
#include "mdiosim/Bench.h"
#include "mdiosim/Description.h"

namespace {

// The adapters of the default bench, in other letter cases too, and names
// that are almost theirs.
constexpr const char* kAdapterNames[] = {"AA000001", "K8A00001:MDIO", "k8a00001:i2c",  "TV00001B",
                                         "tv00001b", "K8A00001",      "K8A00001:JTAG", "AA00000",
                                         "",         nullptr};

fuzzing::CallTally tally;

void printTally() {
    std::fprintf(stderr, "exports: %llu calls, %llu THROWS exceptions, %llu recorded failures\n",
                 static_cast<unsigned long long>(tally.calls),
                 static_cast<unsigned long long>(tally.thrown),
                 static_cast<unsigned long long>(tally.failed));
}

// At most this many calls per input: enough for open, queue, execute, close.
constexpr int kMostCallsPerInput = 48;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::useLinkedBench();
    fuzzing::quietLibrary();
    std::atexit(printTally);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const mdiosim::BenchDescription description = mdiosim::defaultBenchDescription();
    // Adapters are closed before the bench they were opened on goes away.
    fuzzing::bringLibraryBack();
    mdiosim::resetBench(description);
    mdiosim::bench()->log().setRecording(false);

    FuzzedDataProvider input(data, size);
    for (int call = 0; call < kMostCallsPerInput && input.remaining_bytes() > 0; ++call)
        fuzzing::runOneExportCall(input, kAdapterNames, tally);
    return 0;
}
