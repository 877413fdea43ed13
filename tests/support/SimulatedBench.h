// Points the driver boundary at the simulated bench: MDIOHOST_D2XX names the
// built libmdiosim. A test suite that uses it is defined with
//   DEFINITIONS MDIOSIM_PATH="$<TARGET_FILE:mdiosim>"
// and links mdiosim when it also inspects the bench through its C++ API (the
// loader then hands back the library already loaded: one bench).
#pragma once

#include <cstdlib>

#ifndef MDIOSIM_PATH
#error "define MDIOSIM_PATH as the path of the built libmdiosim (DEFINITIONS MDIOSIM_PATH=...)"
#endif

namespace testing_support {

// Call before the first use of the driver.
inline void useSimulatedBench() {
#if defined(_WIN32)
    _putenv_s("MDIOHOST_D2XX", MDIOSIM_PATH);
#else
    setenv("MDIOHOST_D2XX", MDIOSIM_PATH, 1);
#endif
}

}  // namespace testing_support
