// The library's handling of everything a driver answers: a stand-in driver
// answers from the input (FuzzedDriver.h) while exported calls of every
// family run against it. Only functions marked THROWS may throw, and a
// recorded failure always has its text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <memory>

#include "ExportCalls.h"
#include "FuzzedDriver.h"
#include "LibraryState.h"

namespace {

constexpr const char* kAdapterNames[] = {
    "K8A00001:MDIO",    "K8A00001:I2C", "AA000001", "TV00001B", "K8C0000000000001",
    "TV0000000000001B", "K8A0000:JTAG", "",         nullptr};

fuzzing::FuzzedDriver* driver = nullptr;
fuzzing::CallTally tally;

constexpr int kMostCallsPerInput = 32;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    auto owned = std::make_unique<fuzzing::FuzzedDriver>();
    driver = owned.get();
    FTDI::D2xx::installDriver(std::move(owned));
    fuzzing::quietLibrary();
    fuzzing::printTallyAtExit("replies", tally);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    driver->answerFrom(nullptr);
    fuzzing::bringLibraryBack();

    FuzzedDataProvider input(data, size);
    driver->answerFrom(&input);
    for (int call = 0; call < kMostCallsPerInput && input.remaining_bytes() > 0; ++call)
        fuzzing::runOneExportCall(input, kAdapterNames, tally);
    driver->answerFrom(nullptr);
    return 0;
}
