// Points the driver boundary at the simulated bench: MDIOHOST_D2XX names the
// built libmdiosim. A test suite that uses it is defined with
//   DEFINITIONS MDIOSIM_PATH="${MDIOSIM_LOAD_NAME}"
// (sim/CMakeLists.txt: the library's path on Linux, its file name on Windows)
// and links mdiosim when it also inspects the bench through its C++ API (the
// loader then hands back the library already loaded: one bench).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "Environment.h"
#include "mdiohost.h"

#ifndef MDIOSIM_PATH
#error \
    "define MDIOSIM_PATH as the built libmdiosim (DEFINITIONS MDIOSIM_PATH=\"${MDIOSIM_LOAD_NAME}\")"
#endif

namespace testing_support {

// Call before the first use of the driver.
inline void useSimulatedBench() {
    setEnvironment("MDIOHOST_D2XX", MDIOSIM_PATH);
}

// What the exports recorded since the last HW_Initialize, or "".
inline std::string recordedFailure() {
    return HW_Fail() && HW_Error() ? HW_Error() : "";
}

// Initialises the library on the bench, lists its adapters and opens the
// named one; returns its index.
inline std::uint32_t openOnBench(const char* name) {
    useSimulatedBench();
    HW_Initialize();
    HW_NumberOfDevices();
    const std::uint32_t adapter = HW_DeviceNumber(name);
    if (HW_OpenAdapter(adapter) != 1) ADD_FAILURE() << name << ": " << recordedFailure();
    return adapter;
}

}  // namespace testing_support
