// A host-owned trace stream in a temporary file, and its text after the fact.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace testing_support {

class TraceFile {
  public:
    // Named after the running test, so that tests running in parallel
    // processes never share a file.
    TraceFile()
        : path(testing::TempDir() + "trace_" + testName() + "_" + std::to_string(counter++) +
               ".csv") {
        stream = std::fopen(path.c_str(), "w+");
    }
    ~TraceFile() { std::remove(path.c_str()); }
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    // Everything written so far.
    std::string text() const {
        std::fflush(stream);
        std::ifstream in(path);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

    std::string path;
    std::FILE* stream;

  private:
    static std::string testName() {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        if (test == nullptr) return "none";
        std::string name = std::string(test->test_suite_name()) + "_" + test->name();
        for (char& c : name)
            if (c == '/') c = '_';
        return name;
    }
    static inline int counter = 0;
};

}  // namespace testing_support
