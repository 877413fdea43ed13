// Paths for temporary files that no other test shares: several test
// processes (and several checkouts' test runs) may run at once on one machine;
// and the text of a file.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
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

// Everything in the file at `path` ("" if it cannot be read).
inline std::string fileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

}  // namespace testing_support
