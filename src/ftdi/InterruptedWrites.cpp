#include "ftdi/InterruptedWrites.h"

#include <algorithm>
#include <vector>

namespace FTDI {
namespace {

// Almost always empty; a handful of boards at most.
std::vector<D2xx::Handle>& interrupted() {
    // Never destroyed: a blink thread may still write while the process ends.
    static auto* handles = new std::vector<D2xx::Handle>();
    return *handles;
}

}  // namespace

void markWriteInterrupted(D2xx::Handle handle) {
    if (!writeInterrupted(handle)) interrupted().push_back(handle);
}

bool writeInterrupted(D2xx::Handle handle) {
    const auto& handles = interrupted();
    return !handles.empty() && std::find(handles.begin(), handles.end(), handle) != handles.end();
}

void clearWriteInterrupted(D2xx::Handle handle) {
    std::erase(interrupted(), handle);
}

}  // namespace FTDI
