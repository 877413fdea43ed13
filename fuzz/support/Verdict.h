// How a fuzz target reports a broken invariant: a message on standard error
// and an abort, which libFuzzer records as a crash with the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace fuzzing {

[[noreturn]] inline void broken(const char* invariant, const char* detail = "") {
    std::fprintf(stderr, "invariant broken: %s %s\n", invariant, detail);
    std::fflush(stderr);
    std::abort();
}

inline void require(bool holds, const char* invariant, const char* detail = "") {
    if (!holds) broken(invariant, detail);
}

}  // namespace fuzzing
