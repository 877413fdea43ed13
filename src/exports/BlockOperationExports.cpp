// Exports that queue 16-bit reads and writes for one PHY and execute the
// queue in one USB exchange. Queuing skips MMD 10 and 28, which have no
// plain MDIO meaning. A block write to MMD 11 or 27 cannot be queued (its
// bridge needs the chip's answers step by step): the PHY's queue is executed
// first, so the bridge's single accesses find no queued reads, and the
// write is then made at once.
//
// An execute returns the address of the first value read (the registry owns
// the values) as a 64-bit integer, 0 when nothing was read or it failed.
#include <cstdint>

#include "base/Guard.h"
#include "base/TraceLog.h"
#include "chip/AccessRouter.h"
#include "chip/ChipRegisters.h"
#include "chip/DefaultPhyId.h"
#include "chip/DelegationTables.h"
#include "chip/QualifiedPhyId.h"
#include "mdiohost.h"
#include "registry/TalvikControl.h"

using mdiohost::Echo;
using mdiohost::guarded;
namespace chip = mdiohost::chip;
namespace trace = mdiohost::trace;

namespace {

constexpr uint32_t kBlockOperationsSupported = 1;
constexpr uint32_t kMaxBlockOperations = 65535;

std::uint32_t defaultAdapter() {
    return registry().defaultAdapter;
}

bool notQueued(std::uint32_t mmd) {
    return mmd == chip::Mmd::kMemoryWindow || mmd == chip::Mmd::kPaged;
}

uint64_t addressOf(const std::uint32_t* values) {
    return static_cast<uint64_t>(reinterpret_cast<std::uintptr_t>(values));
}

uint64_t execute(std::uint32_t adapter, std::uint32_t phy) {
    return guarded(Echo::ToStderr, uint64_t{0},
                   [=] { return addressOf(registry().blockOperationExecute(adapter, phy)); });
}

void queueRead(std::uint32_t adapter, std::uint32_t phy, std::uint32_t tracedAdapter,
               std::uint32_t tracedPhy, std::uint32_t mmd, std::uint32_t address) {
    if (notQueued(mmd)) return;
    guarded(Echo::ToStderr, [=] { registry().blockRead(adapter, phy, mmd, address); });
    trace::AR(tracedAdapter, tracedPhy, mmd, address);
}

void queueWrite(std::uint32_t adapter, std::uint32_t phy, std::uint32_t tracedAdapter,
                std::uint32_t tracedPhy, std::uint32_t mmd, std::uint32_t address,
                std::uint32_t value) {
    guarded(Echo::ToStderr, [=] { registry().blockWrite(adapter, phy, mmd, address, value); });
    trace::AW(tracedAdapter, tracedPhy, mmd, address, value);
}

}  // namespace

extern "C" {

MDIOHOST_API void HW_BlockReadAdapter(uint32_t adapter, uint32_t phy, uint32_t mmd,
                                      uint32_t address) {
    queueRead(adapter, phy, adapter, phy, mmd, address);
}

MDIOHOST_API void HW_BlockRead(uint32_t phy, uint32_t mmd, uint32_t address) {
    HW_BlockReadAdapter(defaultAdapter(), phy, mmd, address);
}

MDIOHOST_API void HW_BlockRead_Default_PHY_ID(uint32_t mmd, uint32_t address) {
    HW_BlockRead(chip::defaultPhyId(), mmd, address);
}

MDIOHOST_API void HW_BlockWriteAdapter(uint32_t adapter, uint32_t phy, uint32_t mmd,
                                       uint32_t address, uint32_t value) {
    guarded(Echo::ToStderr, [=] {
        const chip::AccessPath path = chip::adapterPath(adapter, mmd);
        if (path == chip::AccessPath::None) return;
        if (path == chip::AccessPath::Plain)
            return queueWrite(adapter, phy, adapter, phy, mmd, address, value);
        // The values read by the queue are dropped: the host asked for a write.
        execute(adapter, phy);
        chip::writeThrough(path, {adapter, phy, false}, mmd, address, value);
    });
}

MDIOHOST_API void HW_BlockWrite(uint32_t phy, uint32_t mmd, uint32_t address, uint32_t value) {
    HW_BlockWriteAdapter(defaultAdapter(), phy, mmd, address, value);
}

MDIOHOST_API void HW_BlockWrite_Default_PHY_ID(uint32_t mmd, uint32_t address, uint32_t value) {
    HW_BlockWrite(chip::defaultPhyId(), mmd, address, value);
}

MDIOHOST_API void ZM_API_MDIO_BlockRead(uint32_t phy, uint32_t mmd, uint32_t address) {
    const uint32_t adapter = defaultAdapter();
    const chip::QualifiedPhyId target = chip::decodeQualifiedPhyId(phy, adapter);
    queueRead(target.adapter, target.phyId, adapter, phy, mmd, address);
}

MDIOHOST_API void ZM_API_MDIO_BlockWrite(uint32_t phy, uint32_t mmd, uint32_t address,
                                         uint32_t value) {
    if (notQueued(mmd)) return;
    const uint32_t adapter = defaultAdapter();
    const chip::QualifiedPhyId target = chip::decodeQualifiedPhyId(phy, adapter);
    queueWrite(target.adapter, target.phyId, adapter, phy, mmd, address, value);
}

MDIOHOST_API void ZM_API_MDIO_BlockRead_Default_PHY_ID(uint32_t mmd, uint32_t address) {
    ZM_API_MDIO_BlockRead(chip::defaultPhyId(), mmd, address);
}

MDIOHOST_API void ZM_API_MDIO_BlockWrite_Default_PHY_ID(uint32_t mmd, uint32_t address,
                                                        uint32_t value) {
    ZM_API_MDIO_BlockWrite(chip::defaultPhyId(), mmd, address, value);
}

MDIOHOST_API uint64_t HW_BlockOperationExecuteAdapter(uint32_t adapter, uint32_t phy) {
    return execute(adapter, phy);
}

MDIOHOST_API uint64_t HW_BlockOperationExecute(uint32_t phy) {
    return execute(defaultAdapter(), phy);
}

MDIOHOST_API uint64_t HW_BlockOperationExecuteAdapter_C22(uint32_t adapter, uint32_t phy) {
    const uint64_t result = execute(adapter, phy);
    // After a failed execute the count still describes an older list: write
    // records only for values this execute returned.
    if (result != 0) {
        const auto* values = reinterpret_cast<const std::uint32_t*>(result);
        for (uint32_t i = 0; i < registry().lastResultCount; ++i)
            trace::AF(adapter, phy, values[i]);
    }
    return result;
}

MDIOHOST_API uint64_t HW_BlockOperationExecute_C22(uint32_t phy) {
    return HW_BlockOperationExecuteAdapter_C22(defaultAdapter(), phy);
}

MDIOHOST_API uint64_t ZM_API_MDIO_BlockOperationExecute(uint32_t phy) {
    const uint32_t adapter = defaultAdapter();
    if (chip::isQualified(phy)) {
        // Executes on the adapter in the PHY id, never traced.
        const chip::QualifiedPhyId target = chip::decodeQualifiedPhyId(phy, adapter);
        return execute(target.adapter, target.phyId);
    }
    if (chip::usesClause45OverClause22(adapter)) return HW_BlockOperationExecute_C22(phy);
    return HW_BlockOperationExecute(phy);
}

MDIOHOST_API uint32_t ZM_API_MDIO_SupportsBlockOperations(void) {
    return kBlockOperationsSupported;
}

MDIOHOST_API uint32_t ZM_API_MDIO_MaxBlockOperations(void) {
    return kMaxBlockOperations;
}

}  // extern "C"
