// A host-owned trace stream in a temporary file, and its text after the fact.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "TemporaryPath.h"

namespace testing_support {

class TraceFile {
  public:
    TraceFile() : path(temporaryPath("trace", ".csv")), stream(std::fopen(path.c_str(), "w+")) {}
    ~TraceFile() { std::remove(path.c_str()); }
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    // Everything written so far.
    std::string text() const {
        std::fflush(stream);
        return fileText(path);
    }

    std::string path;
    std::FILE* stream;
};

}  // namespace testing_support
