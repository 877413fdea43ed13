// read32 and write32: the chip's 32-bit registers, reached over MDIO with the
// chip's own 32-bit frames.
#include <cstdio>
#include <string>

#include "AdapterLookup.h"
#include "Commands.h"
#include "mdiohost.h"

namespace mdioctl {
namespace {

// 32-bit registers sit four byte addresses apart.
constexpr std::uint32_t kRegister32Stride = 4;

std::string hex32(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

std::uint32_t read32(std::uint32_t adapter, std::uint32_t phy, std::uint32_t address) {
    const std::uint32_t value = HW_Read32(adapter, phy, address);
    Session::check();
    return value;
}

}  // namespace

void read32Registers(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                     std::uint32_t address, std::uint32_t count) {
    const std::uint32_t index = session.open(adapter, mdioNeed("read32"));
    out.document = {{"adapter", index}, {"phy", phy}, {"registers", nlohmann::json::array()}};
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t at = address + i * kRegister32Stride;
        const std::uint32_t value = read32(index, phy, at);
        out.line(hex32(at) + " = " + hex32(value));
        out.document["registers"].push_back({{"address", at}, {"value", value}});
    }
}

void write32Register(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                     std::uint32_t address, std::uint32_t value, bool verify) {
    const std::uint32_t index = session.open(adapter, mdioNeed("write32"));
    HW_Write32(index, phy, address, value);
    Session::check();
    std::string text = hex32(address) + ": " + hex32(value);
    out.document = {{"adapter", index}, {"phy", phy}, {"address", address}, {"value", value}};
    if (!verify) {
        out.line(text);
        return;
    }
    const std::uint32_t readBack = read32(index, phy, address);
    out.line(text + " (read back " + hex32(readBack) + ")");
    out.document["readBack"] = readBack;
    out.document["verified"] = readBack == value;
    if (readBack != value) {
        throw CheckFailed(hex32(address) + ": wrote " + hex32(value) + ", read back " +
                          hex32(readBack));
    }
}

}  // namespace mdioctl
