// scan: which PHY addresses answer, over Clause 22 and Clause 45.
#include <cstdio>
#include <string>

#include "Commands.h"
#include "DriverList.h"
#include "mdiohost.h"

namespace mdioctl {
namespace {

// IEEE 802.3 identity and devices-in-package registers.
constexpr std::uint32_t kPhyIdentifier1 = 2;
constexpr std::uint32_t kPhyIdentifier2 = 3;
constexpr std::uint32_t kDevicesInPackage1 = 5;  // MMDs 0..15
constexpr std::uint32_t kDevicesInPackage2 = 6;  // MMDs 16..31
constexpr std::uint32_t kPmaPmdMmd = 1;
// Vendor-specific MMDs: their registers may have side effects on read.
constexpr std::uint32_t kVendorMmd1 = 30;
constexpr std::uint32_t kVendorMmd2 = 31;
// MDIO addresses; an I2C-bridged adapter addresses bridges 0..127 instead.
constexpr std::uint32_t kMdioAddresses = 32;
constexpr std::uint32_t kBridgeAddresses = 128;
constexpr std::uint16_t kAllOnes = 0xFFFF;

std::string identity(std::uint16_t high, std::uint16_t low) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X:%04X", high, low);
    return text;
}

// The library cannot queue these MMDs as plain reads.
bool isIndirectMmd(std::uint32_t mmd) {
    return mmd == 10 || mmd == 11 || mmd == 27 || mmd == 28;
}

}  // namespace

void scanAdapter(Session& session, Output& out, const std::string& adapter, bool vendorMmds) {
    const std::uint32_t index = session.open(adapter);
    const std::string family = adapterFamily(HW_Device(index), readDriverList());
    // Clause 22 frames exist on the K8 MDIO wire only.
    const bool clause22 = family == "K8 MDIO";
    const std::uint32_t addresses = family == "K8 I2C" ? kBridgeAddresses : kMdioAddresses;

    out.document = {{"adapter", index}, {"family", family}, {"phys", nlohmann::json::array()}};
    unsigned found = 0;
    for (std::uint32_t phy = 0; phy < addresses; ++phy) {
        nlohmann::json entry = {{"phy", phy}};
        std::string text;
        if (clause22) {
            const std::uint16_t high = session.read(index, phy, true, 0, kPhyIdentifier1);
            const std::uint16_t low = session.read(index, phy, true, 0, kPhyIdentifier2);
            if (high != kAllOnes || low != kAllOnes) {
                entry["clause22Id"] = identity(high, low);
                text += " Clause 22 id " + identity(high, low) + ";";
            }
        }
        const RegisterRange pma{false, kPmaPmdMmd, kPhyIdentifier1, 5};
        const auto ids = session.readRange(index, phy, pma, pma.count);  // registers 2..6
        const std::uint16_t inPackage1 = ids[kDevicesInPackage1 - kPhyIdentifier1];
        const std::uint16_t inPackage2 = ids[kDevicesInPackage2 - kPhyIdentifier1];
        if (inPackage1 != kAllOnes || inPackage2 != kAllOnes) {
            const std::uint32_t devices = inPackage1 | (std::uint32_t{inPackage2} << 16);
            entry["clause45"] = nlohmann::json::object();
            text += " Clause 45 MMDs";
            for (std::uint32_t mmd = 1; mmd < 32; ++mmd) {
                if ((devices & (1u << mmd)) == 0) continue;
                const bool vendor = mmd == kVendorMmd1 || mmd == kVendorMmd2;
                // Appended, not concatenated: " " + a temporary draws a false
                // overlap warning from GCC 12 at -O3.
                std::string mmdText(1, ' ');
                mmdText += std::to_string(mmd);
                if ((!vendor || vendorMmds) && !isIndirectMmd(mmd)) {
                    const RegisterRange id{false, mmd, kPhyIdentifier1, 2};
                    const auto words = session.readRange(index, phy, id, id.count);
                    entry["clause45"][std::to_string(mmd)] = identity(words[0], words[1]);
                    mmdText += " (" + identity(words[0], words[1]) + ")";
                } else {
                    entry["clause45"][std::to_string(mmd)] = nullptr;
                }
                text += mmdText;
            }
        }
        if (text.empty()) continue;
        ++found;
        out.line("PHY " + std::to_string(phy) + ":" + text);
        out.document["phys"].push_back(entry);
    }
    if (found == 0) out.line("no PHY answered");
}

}  // namespace mdioctl
