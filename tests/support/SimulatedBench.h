// Points the driver boundary at the simulated bench: MDIOHOST_D2XX names the
// built libmdiosim. A test suite that uses it is defined with
//   DEFINITIONS MDIOSIM_PATH="${MDIOSIM_LOAD_NAME}"
// (sim/CMakeLists.txt: the library's path on Linux, its file name on Windows)
// and links mdiosim when it also inspects the bench through its C++ API (the
// loader then hands back the library already loaded: one bench).
#pragma once

#include "Environment.h"

#ifndef MDIOSIM_PATH
#error "define MDIOSIM_PATH as the built libmdiosim (DEFINITIONS MDIOSIM_PATH=\"${MDIOSIM_LOAD_NAME}\")"
#endif

namespace testing_support {

// Call before the first use of the driver.
inline void useSimulatedBench() {
    setEnvironment("MDIOHOST_D2XX", MDIOSIM_PATH);
}

}  // namespace testing_support
