// scan: which PHY addresses answer, over Clause 22 and Clause 45, and whether
// their link is up.
#include <cstdio>
#include <string>

#include "AdapterLookup.h"
#include "Commands.h"
#include "PhyPresence.h"

namespace mdioctl {
namespace {

constexpr std::uint32_t kPhyIdentifier1 = 2;
// Vendor-specific MMDs: their registers may have side effects on read.
constexpr std::uint32_t kVendorMmd1 = 30;
constexpr std::uint32_t kVendorMmd2 = 31;
// MDIO addresses; an I2C-bridged adapter addresses bridges 0..127 instead.
constexpr std::uint32_t kMdioAddresses = 32;
constexpr std::uint32_t kBridgeAddresses = 128;

std::string identity(std::uint32_t id) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X:%04X", id >> 16, id & 0xFFFF);
    return text;
}

// The library cannot queue these MMDs as plain reads.
bool isIndirectMmd(std::uint32_t mmd) {
    return mmd == 10 || mmd == 11 || mmd == 27 || mmd == 28;
}

}  // namespace

void scanAdapter(Session& session, Output& out, const std::string& adapter, bool vendorMmds) {
    const std::uint32_t index = session.open(adapter, mdioNeed("scan"));
    const std::string family = session.family(index);
    const std::uint32_t addresses = family == "K8 I2C" ? kBridgeAddresses : kMdioAddresses;

    out.document = {{"adapter", index}, {"family", family}, {"phys", nlohmann::json::array()}};
    unsigned found = 0;
    for (std::uint32_t phy = 0; phy < addresses; ++phy) {
        const PhyPresence presence = probePhy(session, index, phy);
        if (!presence.answers()) continue;
        nlohmann::json entry = {{"phy", phy}};
        std::string text;
        if (presence.clause22Id) {
            entry["clause22Id"] = identity(*presence.clause22Id);
            text += " Clause 22 id " + identity(*presence.clause22Id) + ";";
        }
        if (presence.devicesInPackage != 0) {
            entry["clause45"] = nlohmann::json::object();
            text += " Clause 45 MMDs";
            for (std::uint32_t mmd = 1; mmd < 32; ++mmd) {
                if (!presence.hasMmd(mmd)) continue;
                const bool vendor = mmd == kVendorMmd1 || mmd == kVendorMmd2;
                // Appended, not concatenated: " " + a temporary draws a false
                // overlap warning from GCC 12 at -O3.
                std::string mmdText(1, ' ');
                mmdText += std::to_string(mmd);
                if ((!vendor || vendorMmds) && !isIndirectMmd(mmd)) {
                    const RegisterRange id{false, mmd, kPhyIdentifier1, 2};
                    const auto words = session.readRange(index, phy, id, id.count);
                    const std::uint32_t mmdId = (std::uint32_t{words[0]} << 16) | words[1];
                    entry["clause45"][std::to_string(mmd)] = identity(mmdId);
                    mmdText += " (" + identity(mmdId) + ")";
                } else {
                    entry["clause45"][std::to_string(mmd)] = nullptr;
                }
                text += mmdText;
            }
            text += ";";
        }
        if (const auto link = linkUp(session, index, phy, presence)) {
            entry["link"] = *link ? "up" : "down";
            text += *link ? " link up" : " link down";
        }
        ++found;
        out.line("PHY " + std::to_string(phy) + ":" + text);
        out.document["phys"].push_back(entry);
    }
    if (found == 0) out.line("no PHY answered");
}

}  // namespace mdioctl
