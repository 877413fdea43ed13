// The library keeps its adapters and settings for the life of the process.
// A fuzz target runs many inputs in one process, so after each input it
// brings the library back to where a fresh host starts: every adapter closed,
// no failure recorded, defaults and per-adapter settings as HW_Initialize
// leaves them, tracing off.
#pragma once

#include <cstdint>

#include "mdiohost.h"
#include "mdiohost_ext.h"

namespace fuzzing {

inline void closeEveryAdapter() {
    // HW_Close stops at the first adapter that fails to close; closing one by
    // one closes every adapter whatever the driver says.
    for (std::uint32_t index = 0; HW_Device(index) != nullptr; ++index)
        HW_CloseAdapter(index);
}

inline void bringLibraryBack() {
    closeEveryAdapter();
    HW_DisableLogging(0);
    HW_SetDefaultAdapter(0);
    HW_SetDefault_PHY_ID(0);
    HW_Initialize();
    mdiohost_clear_failure();
}

// Failures are recorded and inspected; echoing each on standard error would
// only slow the run down.
inline void quietLibrary() {
    mdiohost_set_error_echo(0);
}

}  // namespace fuzzing
