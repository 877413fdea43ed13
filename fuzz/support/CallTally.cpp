#include "CallTally.h"

#include <cstdio>
#include <cstdlib>

namespace fuzzing {
namespace {

const char* tallyTarget = nullptr;
const CallTally* printedTally = nullptr;

void printTally() {
    std::fprintf(stderr, "%s: %llu calls, %llu THROWS exceptions, %llu recorded failures\n",
                 tallyTarget, static_cast<unsigned long long>(printedTally->calls),
                 static_cast<unsigned long long>(printedTally->thrown),
                 static_cast<unsigned long long>(printedTally->failed));
}

}  // namespace

void printTallyAtExit(const char* target, const CallTally& tally) {
    tallyTarget = target;
    printedTally = &tally;
    std::atexit(printTally);
}

}  // namespace fuzzing
