// What a target that runs exported calls counts over a whole run, printed on
// standard error when the run ends, beside libFuzzer's own totals.
#pragma once

#include <cstdint>

namespace fuzzing {

struct CallTally {
    std::uint64_t calls = 0;
    std::uint64_t thrown = 0;  // exceptions out of THROWS functions
    std::uint64_t failed = 0;  // calls that recorded a failure
};

// At exit: "<target>: N calls, N THROWS exceptions, N recorded failures".
// One tally per process; `tally` must live until then.
void printTallyAtExit(const char* target, const CallTally& tally);

}  // namespace fuzzing
