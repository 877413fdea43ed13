// One exported call of the library, chosen with its arguments by the fuzzer:
// every family of mdiohost.h and mdiohost_ext.h (adapter list, open and
// close, settings, single and queued registers, 32-bit registers, board
// registers, GPIO, raw I2C, tracing) with indexes, qualified PHY ids, MMDs,
// counts and pointers that are mostly plausible and sometimes anything at all.
//
// What the exports promise is checked on every call: only the functions
// marked THROWS may throw, and then only standard exceptions (the
// library's own derive from std::exception, the rest are std::runtime_error); a recorded
// failure always has its text; a queued-read result holds as many values as
// HW_BlockReadQueueSize says.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

#include "CallTally.h"

namespace fuzzing {

// Runs one call; the names HW_Open and HW_DeviceNumber try come from
// `adapterNames` (nullptr-terminated) or from the input.
void runOneExportCall(FuzzedDataProvider& input, const char* const* adapterNames, CallTally& tally);

}  // namespace fuzzing
