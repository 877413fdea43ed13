#include "registry/TalvikControl.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Built when the library loads, before any export can run.
TalvikControl gRegistry;

}  // namespace

std::int32_t TalvikControl::instanceCount = 0;
FTDI::AdapterTable TalvikControl::adapters;
std::array<char*, TalvikControl::kMaxAdapters> TalvikControl::deviceNames{};
std::uint32_t TalvikControl::filledNameCount = 0;
std::vector<TalvikControl::ResultRow> TalvikControl::resultTable;

TalvikControl& registry() {
    return gRegistry;
}

TalvikControl::TalvikControl() {
    // The adapter table and the result lists are process-wide; a second
    // registry would hand out indices into the same table behind the first
    // one's back.
    if (instanceCount > 0) {
        std::fputs("Only one instance of TalvikControl can be created.\n", stderr);
        std::exit(1);
    }
    ++instanceCount;
}

int TalvikControl::initializeTables() {
    if (tablesReady == 0) {
        resultTable.assign(kMaxAdapters, ResultRow{});
        tablesReady = 1;
    }
    return 1;
}

std::uint32_t TalvikControl::adapterCount() const {
    return static_cast<std::uint32_t>(adapters.size());
}

const char* TalvikControl::deviceName(std::uint32_t index) const {
    return index < adapters.size() ? deviceNames[index] : nullptr;
}

char** TalvikControl::deviceNameList() {
    return deviceNames.data();
}

void TalvikControl::emptyResultLists(std::uint32_t adapter) {
    initializeTables();
    for (FTDI::Values& list : resultTable[adapter])
        list.clear();
}
