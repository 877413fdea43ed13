// The one bench of the process and the mutex that guards it. Both are made
// on first use and never destroyed, so D2XX calls made while the process
// ends (a host's static destructors, its LED thread) still find them.
#pragma once

#include <mutex>

#include "mdiosim/Bench.h"

namespace mdiosim {

std::recursive_mutex& benchMutex();
// The bench, built at the first call; the caller holds benchMutex().
Bench& lockedBench();

}  // namespace mdiosim
