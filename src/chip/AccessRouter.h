// Which path a single 16-bit register access takes, decided once for every
// export that reads or writes one register: plain Clause 45 MDIO, or one of
// the indirect paths for the MMDs that plain MDIO does not reach and for the
// accesses a delegation sends through the PIF mailbox.
#pragma once

#include <cstdint>

#include "chip/ChipRegisters.h"

namespace mdiohost::chip {

enum class AccessPath {
    None,  // no access at all; a read yields 0
    Plain,
    PifMailbox,
    SerdesBridge,
    TgeBlocks,
    MemoryWindow,
    PagedMmd,
    Clause45OverClause22,
};

// HW_Read, HW_Write and the block writes with an explicit or default adapter:
// MMD 11 and 27 go through their bridge or, when delegated, the mailbox; MMD
// 10 and 28 are not accessed. Neither the Clause 45 over Clause 22 flag nor
// delegation types 0 to 2 are consulted.
// Inline, with the two bridged MMDs' choice out of line: every single
// register access asks.
AccessPath mmd11Path(std::uint32_t adapter);
AccessPath mmd27Path(std::uint32_t adapter);
inline AccessPath adapterPath(std::uint32_t adapter, std::uint32_t mmd) {
    switch (mmd) {
        case Mmd::kMemoryWindow:
        case Mmd::kPaged:
            return AccessPath::None;
        case Mmd::kTgeBlocks:
            return mmd11Path(adapter);
        case Mmd::kSerdesControl:
            return mmd27Path(adapter);
        default:
            return AccessPath::Plain;
    }
}

// ZM_API_MDIO_Read and ZM_API_MDIO_Write, decided on the default adapter.
AccessPath qualifiedReadPath(std::uint32_t defaultAdapter, std::uint32_t mmd,
                             std::uint32_t registerAddress);
AccessPath qualifiedWritePath(std::uint32_t defaultAdapter, std::uint32_t mmd);

// Where the access goes. With `qualifiedPhyId`, the plain path, the memory
// window, the paged MMD and Clause 45 over 22 decode the PHY id (bit 31 names
// another adapter); the mailbox, SERDES bridge and TGE paths always take
// `adapter` and pass the PHY id on as it is.
struct AccessTarget {
    std::uint32_t adapter;
    std::uint32_t phyId;
    bool qualifiedPhyId;
};

std::uint32_t readThrough(AccessPath path, const AccessTarget& target, std::uint32_t mmd,
                          std::uint32_t registerAddress);
void writeThrough(AccessPath path, const AccessTarget& target, std::uint32_t mmd,
                  std::uint32_t registerAddress, std::uint32_t value);

}  // namespace mdiohost::chip
