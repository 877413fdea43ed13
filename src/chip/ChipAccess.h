// The one register access every path of the chip is built from: a guarded
// per-adapter MDIO access followed by its trace record. A failure inside is
// recorded (HW_Fail/HW_Error, echoed to standard error) and never stops the
// path: a failed read yields 0 and the path goes on with it, as the chip
// sequences expect a value at every step.
#pragma once

#include <cstdint>

namespace mdiohost::chip {

// The PHY a path talks to, and how its trace records name it. They differ
// for an adapter-qualified PHY id: the access goes to the adapter and PHY in
// its bits, while the record shows the default adapter and the id as given.
struct ChipPort {
    std::uint32_t adapter;
    std::uint32_t phyId;
    std::uint32_t tracedAdapter;
    std::uint32_t tracedPhyId;

    // A plain adapter and PHY, passed to the registry unchanged.
    static ChipPort onAdapter(std::uint32_t adapter, std::uint32_t phyId) {
        return {adapter, phyId, adapter, phyId};
    }
    // An adapter-qualified PHY id, traced with `defaultAdapter`.
    static ChipPort qualified(std::uint32_t qualifiedPhyId, std::uint32_t defaultAdapter);
};

// Clause 45, guarded and traced (MR with the value read, MW).
std::uint32_t readRegister(const ChipPort& port, std::uint32_t mmd, std::uint32_t registerAddress);
void writeRegister(const ChipPort& port, std::uint32_t mmd, std::uint32_t registerAddress,
                   std::uint32_t value);

// Clause 22, guarded and never traced.
std::uint32_t readClause22(const ChipPort& port, std::uint32_t registerAddress);
void writeClause22(const ChipPort& port, std::uint32_t registerAddress, std::uint32_t value);

}  // namespace mdiohost::chip
