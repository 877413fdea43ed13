// Sequences of exported calls with arbitrary arguments on the simulated
// bench (the default bench: a K8 board with MDIO and I2C adapters, a K8 MDIO
// board and a board of the older family). Only functions marked THROWS may
// throw; the counts of calls, throws and failures are printed at the end.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

#include "DefaultBenchInput.h"
#include "ExportCalls.h"

namespace {

// The adapters of the default bench, in other letter cases too, and names
// that are almost theirs.
constexpr const char* kAdapterNames[] = {"AA000001", "K8A00001:MDIO", "k8a00001:i2c",  "TV00001B",
                                         "tv00001b", "K8A00001",      "K8A00001:JTAG", "AA00000",
                                         "",         nullptr};

fuzzing::CallTally tally;

// At most this many calls per input: enough for open, queue, execute, close.
constexpr int kMostCallsPerInput = 48;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::driveLinkedBench();
    fuzzing::printTallyAtExit("exports", tally);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::startOnFreshDefaultBench();
    FuzzedDataProvider input(data, size);
    for (int call = 0; call < kMostCallsPerInput && input.remaining_bytes() > 0; ++call)
        fuzzing::runOneExportCall(input, kAdapterNames, tally);
    return 0;
}
