// Points the library's driver at the simulated bench linked into the fuzz
// target: loading it by path hands back the library already in the process,
// so the target and the library share one bench.
#pragma once

#include <cstdlib>

#ifndef MDIOSIM_PATH
#error "define MDIOSIM_PATH as the built libmdiosim"
#endif

namespace fuzzing {

inline void useLinkedBench() {
    setenv("MDIOHOST_D2XX", MDIOSIM_PATH, 1);
}

}  // namespace fuzzing
