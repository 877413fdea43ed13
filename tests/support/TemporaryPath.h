// Paths for temporary files that no other test shares: several test
// processes (and several checkouts' test runs) may run at once on one machine.
#pragma once

#include <gtest/gtest.h>

#include <string>

#if defined(_WIN32)
#include <process.h>
#else
#include <unistd.h>
#endif

namespace testing_support {

// TempDir/<stem>_<process id>_<n><extension>
inline std::string temporaryPath(const std::string& stem, const std::string& extension) {
    static int counter = 0;
#if defined(_WIN32)
    const long process = _getpid();
#else
    const long process = getpid();
#endif
    return testing::TempDir() + stem + "_" + std::to_string(process) + "_" +
           std::to_string(counter++) + extension;
}

}  // namespace testing_support
