// Exports that read and write one 16-bit PHY register: the adapter-explicit
// HW_ functions, the default-adapter ZM_API_ functions with adapter-qualified
// PHY ids, their default-PHY and multi-adapter forms, and Clause 22 access.
// The path of each access is chosen by the access router; each MDIO access
// inside is guarded on its own, so a failure is recorded and the function
// goes on with its remaining steps.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "base/Guard.h"
#include "chip/AccessRouter.h"
#include "chip/ChipAccess.h"
#include "chip/DefaultPhyId.h"
#include "mdiohost.h"
#include "registry/TalvikControl.h"

using mdiohost::Echo;
using mdiohost::guarded;
namespace chip = mdiohost::chip;

namespace {

std::uint32_t defaultAdapter() {
    return registry().defaultAdapter;
}

chip::AccessTarget onAdapter(std::uint32_t adapter, std::uint32_t phyId) {
    return {adapter, phyId, false};
}

chip::AccessTarget qualified(std::uint32_t qualifiedPhyId) {
    return {defaultAdapter(), qualifiedPhyId, true};
}

// ZM_API_MDIO_Write_Multi addresses adapters 0, 1, 4, 5, ...: entries from
// the third on skip adapters 2 and 3.
std::uint32_t multiWriteAdapter(std::uint32_t entry) {
    return entry < 2 ? entry : entry + 2;
}

}  // namespace

extern "C" {

MDIOHOST_API uint32_t HW_Read(uint32_t adapter, uint32_t phy, uint32_t mmd, uint32_t address) {
    return guarded(Echo::ToStderr, 0u, [=] {
        const chip::AccessPath path = chip::adapterPath(adapter, mmd);
        // Nearly every read is a plain one: it goes straight to the register
        // access, sparing the hottest export the router's dispatch.
        if (path == chip::AccessPath::Plain)
            return chip::readRegister(chip::ChipPort::onAdapter(adapter, phy), mmd, address);
        return chip::readThrough(path, onAdapter(adapter, phy), mmd, address);
    });
}

MDIOHOST_API void HW_Write(uint32_t adapter, uint32_t phy, uint32_t mmd, uint32_t address,
                           uint32_t value) {
    guarded(Echo::ToStderr, [=] {
        chip::writeThrough(chip::adapterPath(adapter, mmd), onAdapter(adapter, phy), mmd, address,
                           value);
    });
}

MDIOHOST_API uint32_t ZM_API_MDIO_Read(uint32_t phy, uint32_t mmd, uint32_t address) {
    return guarded(Echo::ToStderr, 0u, [=] {
        const chip::AccessTarget target = qualified(phy);
        return chip::readThrough(chip::qualifiedReadPath(target.adapter, mmd, address), target, mmd,
                                 address);
    });
}

MDIOHOST_API void ZM_API_MDIO_Write(uint32_t phy, uint32_t mmd, uint32_t address, uint32_t value) {
    guarded(Echo::ToStderr, [=] {
        const chip::AccessTarget target = qualified(phy);
        chip::writeThrough(chip::qualifiedWritePath(target.adapter, mmd), target, mmd, address,
                           value);
    });
}

MDIOHOST_API uint32_t ZM_API_MDIO_Read_Default_PHY_ID(uint32_t mmd, uint32_t address) {
    return ZM_API_MDIO_Read(chip::defaultPhyId(), mmd, address);
}

MDIOHOST_API uint32_t HW_Read_Default_PHY_ID(uint32_t mmd, uint32_t address) {
    return ZM_API_MDIO_Read(chip::defaultPhyId(), mmd, address);
}

MDIOHOST_API void ZM_API_MDIO_Write_Default_PHY_ID(uint32_t mmd, uint32_t address, uint32_t value) {
    ZM_API_MDIO_Write(chip::defaultPhyId(), mmd, address, value);
}

MDIOHOST_API void HW_Write_Default_PHY_ID(uint32_t mmd, uint32_t address, uint32_t value) {
    ZM_API_MDIO_Write(chip::defaultPhyId(), mmd, address, value);
}

MDIOHOST_API void ZM_API_MDIO_Write_Multi(const uint32_t* phys, uint32_t count, uint32_t mmd,
                                          uint32_t address, uint32_t value) {
    guarded(Echo::ToStderr, [=] {
        if (phys == nullptr && count != 0) {
            throw std::invalid_argument("ZM_API_MDIO_Write_Multi: no PHY id array for " +
                                        std::to_string(count) + " entries (null pointer)");
        }
        for (uint32_t entry = 0; entry < count; ++entry) {
            // The default adapter stays at the last one set.
            registry().setDefaultAdapter(multiWriteAdapter(entry));
            ZM_API_MDIO_Write(phys[entry], mmd, address, value);
        }
    });
}

MDIOHOST_API uint32_t HW_Read_C22(uint32_t adapter, uint32_t phy, uint32_t registerAddress) {
    return chip::readClause22(chip::ChipPort::onAdapter(adapter, phy), registerAddress);
}

MDIOHOST_API void HW_Write_C22(uint32_t adapter, uint32_t phy, uint32_t registerAddress,
                               uint32_t value) {
    chip::writeClause22(chip::ChipPort::onAdapter(adapter, phy), registerAddress, value);
}

MDIOHOST_API uint32_t ZM_API_MDIO_Read_C22(uint32_t phy, uint32_t registerAddress) {
    return chip::readClause22(chip::ChipPort::qualified(phy, defaultAdapter()), registerAddress);
}

MDIOHOST_API void ZM_API_MDIO_Write_C22(uint32_t phy, uint32_t registerAddress, uint32_t value) {
    chip::writeClause22(chip::ChipPort::qualified(phy, defaultAdapter()), registerAddress, value);
}

MDIOHOST_API uint32_t HW_GetDefault_PHY_ID(void) {
    return chip::defaultPhyId();
}

MDIOHOST_API void HW_SetDefault_PHY_ID(uint32_t phy) {
    chip::setDefaultPhyId(phy);
}

}  // extern "C"
