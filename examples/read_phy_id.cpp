// A small C++ host: lists the adapters, then opens one and reads a PHY's
// identifier (MMD 1, registers 2 and 3).
//   read_phy_id [ADAPTER PHY]
// Run it on the simulated bench by naming the bench in MDIOHOST_D2XX.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "mdiohost.h"
#include "mdiohost_ext.h"

int main(int argc, char** argv) {
    std::printf("mdiohost %s\n", mdiohost_version());
    HW_Initialize();
    const std::uint32_t count = HW_NumberOfDevices();
    for (std::uint32_t index = 0; index < count; ++index) {
        std::printf("%u %s\n", index, HW_Device(index));
    }
    if (argc < 3) return count > 0 ? 0 : 1;

    if (HW_Open(argv[1]) != 1) {
        std::fprintf(stderr, "cannot open %s: %s\n", argv[1], HW_Fail() ? HW_Error() : "");
        return 1;
    }
    const auto phy = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 0));
    const std::uint32_t adapter = HW_GetDefaultAdapter();
    const std::uint32_t high = HW_Read(adapter, phy, 1, 2);
    const std::uint32_t low = HW_Read(adapter, phy, 1, 3);
    HW_Close();
    if (HW_Fail()) return 1;
    std::printf("PHY %u id %04X:%04X\n", phy, high, low);
    return 0;
}
