// The targets that drive the library on the simulated bench start every
// input from the same place: the library as a fresh host finds it and the
// default bench rebuilt. The adapters are closed before the bench goes away,
// since rebuilding it invalidates the handles they hold. The bench's
// transaction log is off: no target reads it, and it would only grow.
#pragma once

#include "BenchLink.h"
#include "LibraryState.h"
#include "mdiosim/Bench.h"
#include "mdiosim/Description.h"

namespace fuzzing {

// Once, from LLVMFuzzerInitialize: the library's driver is the bench linked
// into the target, and failures are not echoed.
inline void driveLinkedBench() {
    useLinkedBench();
    quietLibrary();
}

// At the start of every input.
inline void startOnFreshDefaultBench() {
    static const mdiosim::BenchDescription description = mdiosim::defaultBenchDescription();
    bringLibraryBack();
    mdiosim::resetBench(description);
    mdiosim::bench()->log().setRecording(false);
}

}  // namespace fuzzing
