#include "PhyPresence.h"

namespace mdioctl {
namespace {

// IEEE 802.3 register numbers.
constexpr std::uint32_t kStatus = 1;
constexpr std::uint32_t kPhyIdentifier1 = 2;
constexpr std::uint32_t kDevicesInPackage1 = 5;  // MMDs 0..15
constexpr std::uint32_t kDevicesInPackage2 = 6;  // MMDs 16..31
constexpr std::uint32_t kPmaPmdMmd = 1;
constexpr std::uint16_t kLinkStatusBit = 0x0004;
constexpr std::uint16_t kAllOnes = 0xFFFF;

std::uint32_t joined(std::uint16_t high, std::uint16_t low) {
    return (std::uint32_t{high} << 16) | low;
}

}  // namespace

PhyPresence probePhy(Session& session, std::uint32_t adapter, std::uint32_t phy) {
    PhyPresence presence;
    if (session.family(adapter) == "K8 MDIO") {
        const RegisterRange ids{true, 0, kPhyIdentifier1, 2};
        const auto words = session.readRange(adapter, phy, ids, ids.count);
        if (words[0] != kAllOnes || words[1] != kAllOnes) {
            presence.clause22Id = joined(words[0], words[1]);
        }
    }
    // Identifier and devices in package in one batch: registers 2..6.
    const RegisterRange pma{false, kPmaPmdMmd, kPhyIdentifier1, 5};
    const auto words = session.readRange(adapter, phy, pma, pma.count);
    const std::uint16_t inPackage1 = words[kDevicesInPackage1 - kPhyIdentifier1];
    const std::uint16_t inPackage2 = words[kDevicesInPackage2 - kPhyIdentifier1];
    if (inPackage1 != kAllOnes || inPackage2 != kAllOnes) {
        presence.devicesInPackage = joined(inPackage2, inPackage1);
        presence.clause45Id = joined(words[0], words[1]);
    }
    return presence;
}

std::optional<bool> linkUp(Session& session, std::uint32_t adapter, std::uint32_t phy,
                           const PhyPresence& presence) {
    if (!presence.clause22() && !presence.hasMmd(kPmaPmdMmd)) return std::nullopt;
    const bool clause22 = presence.clause22();
    const std::uint32_t mmd = clause22 ? 0 : kPmaPmdMmd;
    session.read(adapter, phy, clause22, mmd, kStatus);
    return (session.read(adapter, phy, clause22, mmd, kStatus) & kLinkStatusBit) != 0;
}

}  // namespace mdioctl
