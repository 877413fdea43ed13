#include "chip/DelegationTables.h"

#include <algorithm>
#include <utility>

namespace mdiohost::chip {
namespace {

// --- The two tables. Zero when the library is loaded: every delegation off
// until HW_Initialize or HW_InitializeDelegations turns them all on.
std::array<std::array<std::uint32_t, kDelegationTypes>, kAdapterSlots> delegations{};
std::array<std::uint32_t, kAdapterSlots> clause45OverClause22{};

// --- The register patterns. A run is `count` groups of `width` consecutive
// offsets, the groups `stride` apart: 0x280-0x2DF "low three bits 0 to 4" is
// twelve groups of five, eight apart.
struct OffsetRun {
    std::uint16_t first;
    std::uint16_t width;
    std::uint16_t count = 1;
    std::uint16_t stride = 0;
};

// clang-format off
constexpr std::array kFirstSetPattern{
    OffsetRun{0x037, 3},         // 0x037-0x039
    OffsetRun{0x045, 6},         // 0x045-0x04A
    OffsetRun{0x06F, 1},
    OffsetRun{0x093, 3},         // 0x093-0x095
    OffsetRun{0x0F3, 3},         // 0x0F3-0x0F5
    OffsetRun{0x1C0, 2},         // 0x1C0-0x1C1
    OffsetRun{0x280, 5, 12, 8},  // 0x280-0x284, 0x288-0x28C, ..., 0x2D8-0x2DC
    OffsetRun{0x803, 1},
    OffsetRun{0x807, 1},
    OffsetRun{0x812, 1},
    OffsetRun{0x81C, 1},
    OffsetRun{0x82E, 12},        // 0x82E-0x839
    OffsetRun{0x980, 1, 12, 8},  // 0x980, 0x988, ..., 0x9D8
};

constexpr std::array kSecondSetPattern{
    OffsetRun{0x035, 1},
    OffsetRun{0x041, 2},         // 0x041-0x042
    OffsetRun{0x06D, 1},
    OffsetRun{0x090, 1},
    OffsetRun{0x0F0, 3},         // 0x0F0-0x0F2
    OffsetRun{0x1A0, 2},         // 0x1A0-0x1A1
    OffsetRun{0x200, 5, 16, 8},  // 0x200-0x204, 0x208-0x20C, ..., 0x278-0x27C
    OffsetRun{0x800, 1},
    OffsetRun{0x805, 1},
    OffsetRun{0x811, 1},
    OffsetRun{0x81A, 1},
    OffsetRun{0x82A, 4},         // 0x82A-0x82D
    OffsetRun{0x900, 1, 16, 8},  // 0x900, 0x908, ..., 0x978
};
// clang-format on

template <std::size_t Runs>
constexpr std::size_t offsetCount(const std::array<OffsetRun, Runs>& pattern) {
    std::size_t total = 0;
    for (const OffsetRun& run : pattern)
        total += std::size_t{run.width} * run.count;
    return total;
}

static_assert(offsetCount(kFirstSetPattern) == kFirstSetOffsetsPerBase);
static_assert(offsetCount(kSecondSetPattern) == kSecondSetOffsetsPerBase);

// Lays the pattern out at each base in turn. The runs are listed in
// ascending order and every pattern stays below 0x1000, so the result is
// ascending as well (checked below, since the look-up relies on it).
template <std::size_t Size, std::size_t Runs>
constexpr std::array<std::uint16_t, Size> expand(const std::array<OffsetRun, Runs>& pattern) {
    std::array<std::uint16_t, Size> addresses{};
    std::size_t next = 0;
    for (const std::uint16_t base : kDelegatedRegisterBases) {
        for (const OffsetRun& run : pattern) {
            for (std::uint16_t group = 0; group < run.count; ++group) {
                for (std::uint16_t step = 0; step < run.width; ++step) {
                    addresses[next++] =
                        static_cast<std::uint16_t>(base + run.first + group * run.stride + step);
                }
            }
        }
    }
    return addresses;
}

constexpr FirstDelegatedSet kFirstSet =
    expand<std::tuple_size_v<FirstDelegatedSet>>(kFirstSetPattern);
constexpr SecondDelegatedSet kSecondSet =
    expand<std::tuple_size_v<SecondDelegatedSet>>(kSecondSetPattern);

static_assert(std::is_sorted(kFirstSet.begin(), kFirstSet.end()) &&
              std::adjacent_find(kFirstSet.begin(), kFirstSet.end()) == kFirstSet.end());
static_assert(std::is_sorted(kSecondSet.begin(), kSecondSet.end()) &&
              std::adjacent_find(kSecondSet.begin(), kSecondSet.end()) == kSecondSet.end());

}  // namespace

void initializeDelegations() {
    for (auto& record : delegations)
        record.fill(1);
}

void initializeClause22() {
    clause45OverClause22.fill(0);
}

std::uint32_t delegationFlag(std::uint32_t type, std::uint32_t adapter) {
    return delegations.at(adapter).at(type);
}

void setDelegationFlag(std::uint32_t type, std::uint32_t adapter, std::uint32_t flag) {
    delegations.at(adapter).at(type) = flag;
}

bool isDelegated(DelegationType type, std::uint32_t adapter) {
    const auto index = static_cast<std::uint32_t>(type);
    if (adapter >= kAdapterSlots || index >= kDelegationTypes) return false;
    return delegations[adapter][index] != 0;
}

std::uint32_t clause45OverClause22Flag(std::uint32_t adapter) {
    return adapter < kAdapterSlots ? clause45OverClause22[adapter] : 0;
}

void setClause45OverClause22Flag(std::uint32_t adapter, std::uint32_t flag) {
    if (adapter < kAdapterSlots) clause45OverClause22[adapter] = flag;
}

const FirstDelegatedSet& firstDelegatedMmd31Set() {
    return kFirstSet;
}
const SecondDelegatedSet& secondDelegatedMmd31Set() {
    return kSecondSet;
}

bool isDelegatedMmd31Register(std::uint32_t registerAddress) {
    if (registerAddress > 0xFFFF) return false;
    const auto address = static_cast<std::uint16_t>(registerAddress);
    return std::binary_search(kFirstSet.begin(), kFirstSet.end(), address) ||
           std::binary_search(kSecondSet.begin(), kSecondSet.end(), address);
}

}  // namespace mdiohost::chip
