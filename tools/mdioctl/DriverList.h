// The boards as the D2XX driver lists them: description and whether another
// program has them open. The library hands out adapter names only; `list`
// reads the driver's own list to tell families apart and to show boards that
// are in use elsewhere.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace mdioctl {

struct ListedBoard {
    std::string description;
    bool openElsewhere = false;
};

// Keyed by serial number; empty when the driver library cannot be loaded.
std::map<std::string, ListedBoard> readDriverList();

// "K8 MDIO", "K8 I2C", "K8 JTAG", "older family" or "unknown".
std::string adapterFamily(const std::string& adapterName,
                          const std::map<std::string, ListedBoard>& boards);

}  // namespace mdioctl
