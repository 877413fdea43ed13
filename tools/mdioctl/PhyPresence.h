// Whether a PHY address answers, and how: its Clause 22 identity (K8 MDIO
// adapters only: Clause 22 frames exist on that wire alone) and its Clause 45
// devices in package (MMD 1 registers 5 and 6). Registers that read all ones
// belong to no PHY: nothing drives the line.
#pragma once

#include <cstdint>
#include <optional>

#include "Session.h"

namespace mdioctl {

struct PhyPresence {
    std::optional<std::uint32_t> clause22Id;  // registers 2 and 3
    std::uint32_t devicesInPackage = 0;       // bit n: MMD n is present
    std::optional<std::uint32_t> clause45Id;  // MMD 1 registers 2 and 3

    bool clause22() const { return clause22Id.has_value(); }
    bool answers() const { return clause22Id || devicesInPackage != 0; }
    bool hasMmd(std::uint32_t mmd) const { return mmd < 32 && (devicesInPackage >> mmd) & 1u; }
};

PhyPresence probePhy(Session& session, std::uint32_t adapter, std::uint32_t phy);

// The link as the PHY reports it: Clause 22 status bit 2, else PMA/PMD
// status 1 bit 2. Both latch low, so the second of two reads is the state
// now. Empty when the PHY has neither register.
std::optional<bool> linkUp(Session& session, std::uint32_t adapter, std::uint32_t phy,
                           const PhyPresence& presence);

}  // namespace mdioctl
