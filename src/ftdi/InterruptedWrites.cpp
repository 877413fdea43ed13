#include "ftdi/InterruptedWrites.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace FTDI {

bool detail::gAnyWriteInterrupted = false;

namespace {

// A mark is cleared by the next write on its handle; a handle closed before
// that keeps its mark. At most this many are kept, the oldest dropped first:
// no more adapters than that are open at once, so what is dropped belongs to
// a handle long closed.
constexpr std::size_t kMostMarks = 64;

// Almost always empty.
std::vector<D2xx::Handle>& interrupted() {
    // Never destroyed: a blink thread may still write while the process ends.
    static auto* handles = new std::vector<D2xx::Handle>();
    return *handles;
}

}  // namespace

void markWriteInterrupted(D2xx::Handle handle) {
    if (writeInterrupted(handle)) return;
    auto& handles = interrupted();
    if (handles.size() == kMostMarks) handles.erase(handles.begin());
    handles.push_back(handle);
    detail::gAnyWriteInterrupted = true;
}

bool writeInterrupted(D2xx::Handle handle) {
    const auto& handles = interrupted();
    return !handles.empty() && std::find(handles.begin(), handles.end(), handle) != handles.end();
}

void clearWriteInterrupted(D2xx::Handle handle) {
    std::erase(interrupted(), handle);
    detail::gAnyWriteInterrupted = !interrupted().empty();
}

}  // namespace FTDI
