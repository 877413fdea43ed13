// Per-adapter settings that steer a register access away from plain MDIO:
// the delegation table (five delegation types per adapter, each routing some
// accesses through the PIF mailbox of MMD 30) and the Clause 45 over Clause 22
// table (Clause 45 access tunnelled through Clause 22 registers 13 and 14,
// IEEE 802.3 annex 22D). Both tables are process-wide, all zero when the
// library is loaded, and untouched by opening or closing adapters.
//
// Also here: the two sets of MMD 31 registers whose reads delegation type 0
// sends through the mailbox.
#pragma once

#include <array>
#include <cstdint>

namespace mdiohost::chip {

// Both tables have one slot per adapter index below this.
inline constexpr std::uint32_t kAdapterSlots = 3000;

enum class DelegationType : std::uint32_t {
    Mmd31Read = 0,    // reads of the delegated MMD 31 registers
    Mmd28Write = 1,   // writes to MMD 28
    Mmd28Read = 2,    // reads of MMD 28
    Mmd11Access = 3,  // reads and writes of MMD 11, instead of the TGE register blocks
    Mmd27Access = 4,  // reads and writes of MMD 27, instead of the SERDES bridge
};
inline constexpr std::uint32_t kDelegationTypes = 5;

// Every delegation of every adapter on.
void initializeDelegations();
// Clause 45 over Clause 22 off for every adapter.
void initializeClause22();

// The delegation flag (0 or 1). Callers check their arguments first: `type`
// below kDelegationTypes, `adapter` below kAdapterSlots.
std::uint32_t delegationFlag(std::uint32_t type, std::uint32_t adapter);
void setDelegationFlag(std::uint32_t type, std::uint32_t adapter, std::uint32_t flag);

// For the register-access paths: whether `type` is on for `adapter`. An
// adapter with no slot has every delegation off.
bool isDelegated(DelegationType type, std::uint32_t adapter);

// The Clause 45 over Clause 22 flag (0 or 1) of `adapter`. An adapter index
// with no slot reads 0 and ignores being set, so no index can reach memory
// outside the table.
std::uint32_t clause45OverClause22Flag(std::uint32_t adapter);
void setClause45OverClause22Flag(std::uint32_t adapter, std::uint32_t flag);
inline bool usesClause45OverClause22(std::uint32_t adapter) {
    return clause45OverClause22Flag(adapter) != 0;
}

// --- The delegated MMD 31 register sets.
//
// Each set repeats one pattern of register offsets at the four bases 0x8000,
// 0x9000, 0xA000 and 0xB000. The two sets are disjoint and lead to the same
// decision; they are kept apart because the chip documents them apart.
inline constexpr std::uint16_t kDelegatedMmd = 31;
inline constexpr std::array<std::uint16_t, 4> kDelegatedRegisterBases{0x8000, 0x9000, 0xA000,
                                                                      0xB000};
inline constexpr std::size_t kFirstSetOffsetsPerBase = 106;
inline constexpr std::size_t kSecondSetOffsetsPerBase = 114;

using FirstDelegatedSet =
    std::array<std::uint16_t, kFirstSetOffsetsPerBase * kDelegatedRegisterBases.size()>;
using SecondDelegatedSet =
    std::array<std::uint16_t, kSecondSetOffsetsPerBase * kDelegatedRegisterBases.size()>;

// The register addresses of each set, ascending.
const FirstDelegatedSet& firstDelegatedMmd31Set();
const SecondDelegatedSet& secondDelegatedMmd31Set();

// True when an MMD 31 register at `registerAddress` is in either set.
// Addresses of 0x10000 and above are in neither.
bool isDelegatedMmd31Register(std::uint32_t registerAddress);

}  // namespace mdiohost::chip
