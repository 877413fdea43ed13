// Exports for 32-bit chip registers. The HW_ single accesses are guarded;
// the qualified single accesses and the queued (block) 32-bit accesses are
// not: an exception from the registry leaves them and reaches the host, and
// their trace record is then not written. The address-increment forms are
// not traced.
#include <cstdint>

#include "base/Guard.h"
#include "base/TraceLog.h"
#include "chip/QualifiedPhyId.h"
#include "mdiohost.h"
#include "registry/TalvikControl.h"

using mdiohost::Echo;
using mdiohost::guarded;
namespace chip = mdiohost::chip;
namespace trace = mdiohost::trace;

extern "C" {

MDIOHOST_API void HW_Write32(uint32_t adapter, uint32_t phy, uint32_t address, uint32_t value) {
    guarded(Echo::ToStderr, [=] { registry().write32(adapter, phy, address, value); });
    trace::MW32(adapter, phy, address, value);
}

MDIOHOST_API uint32_t HW_Read32(uint32_t adapter, uint32_t phy, uint32_t address) {
    const uint32_t value =
        guarded(Echo::ToStderr, 0u, [=] { return registry().read32(adapter, phy, address); });
    trace::MR32(adapter, phy, address, value);
    return value;
}

MDIOHOST_API uint32_t HW_Read32PreIncrementAddress(uint32_t adapter, uint32_t phy) {
    return guarded(Echo::ToStderr, 0u,
                   [=] { return registry().read32PreIncrementAddress(adapter, phy); });
}

MDIOHOST_API uint32_t HW_Read32CurrentAddress(uint32_t adapter, uint32_t phy) {
    return guarded(Echo::ToStderr, 0u,
                   [=] { return registry().read32CurrentAddress(adapter, phy); });
}

MDIOHOST_API void HW_Write32PreIncrementAddress(uint32_t adapter, uint32_t phy, uint32_t value) {
    guarded(Echo::ToStderr, [=] { registry().write32PreIncrementAddress(adapter, phy, value); });
}

MDIOHOST_API void HW_Write32CurrentAddress(uint32_t adapter, uint32_t phy, uint32_t value) {
    guarded(Echo::ToStderr, [=] { registry().write32CurrentAddress(adapter, phy, value); });
}

// --- unguarded: exceptions reach the host.

MDIOHOST_API void HW_API_Write32(uint32_t phy, uint32_t address, uint32_t value) {
    const uint32_t defaultAdapter = registry().defaultAdapter;
    const chip::QualifiedPhyId target = chip::decodeQualifiedPhyId(phy, defaultAdapter);
    registry().write32(target.adapter, target.phyId, address, value);
    trace::MW32(defaultAdapter, phy, address, value);
}

MDIOHOST_API uint32_t HW_API_Read32(uint32_t phy, uint32_t address) {
    const uint32_t defaultAdapter = registry().defaultAdapter;
    const chip::QualifiedPhyId target = chip::decodeQualifiedPhyId(phy, defaultAdapter);
    const uint32_t value = registry().read32(target.adapter, target.phyId, address);
    trace::MR32(defaultAdapter, phy, address, value);
    return value;
}

MDIOHOST_API void HW_BlockRead32Adapter(uint32_t adapter, uint32_t phy, uint32_t address) {
    registry().blockRead32(adapter, phy, address);
    trace::AR32(adapter, phy, address);
}

MDIOHOST_API void HW_BlockWrite32Adapter(uint32_t adapter, uint32_t phy, uint32_t address,
                                         uint32_t value) {
    registry().blockWrite32(adapter, phy, address, value);
    trace::AW32(adapter, phy, address, value);
}

MDIOHOST_API void HW_BlockRead32(uint32_t phy, uint32_t address) {
    HW_BlockRead32Adapter(registry().defaultAdapter, phy, address);
}

MDIOHOST_API void HW_BlockWrite32(uint32_t phy, uint32_t address, uint32_t value) {
    HW_BlockWrite32Adapter(registry().defaultAdapter, phy, address, value);
}

MDIOHOST_API void ZM_API_BlockRead32(uint32_t phy, uint32_t address) {
    HW_BlockRead32(phy, address);
}

MDIOHOST_API void ZM_API_BlockWrite32(uint32_t phy, uint32_t address, uint32_t value) {
    HW_BlockWrite32(phy, address, value);
}

}  // extern "C"
