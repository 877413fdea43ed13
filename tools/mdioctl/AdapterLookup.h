// Which adapter a command line names. The tool enumerates the adapters once
// and matches the name itself: the library's own look-up by name keeps
// enumerating for about four seconds before it gives up, and then cannot say
// which adapters do exist.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Session.h"

namespace mdioctl {

struct ListedAdapter {
    std::string name;    // as the library names it: SERIAL, SERIAL:PROTOCOL
    std::string family;  // as DriverList names families
};

// The index of the adapter `wanted` names among `adapters` (by index): an
// index, a name in any letter case, or a board's serial number alone when
// the board has exactly one adapter of `need.protocol`. Throws LibraryError
// naming the adapters that exist, or the families the command needs.
std::uint32_t chooseAdapter(const std::string& wanted, const std::vector<ListedAdapter>& adapters,
                            const AdapterNeed& need);

}  // namespace mdioctl

namespace mdioctl {

// What the commands need: registers reach PHYs over MDIO (or the I2C
// bridge), board registers exist on the older family only, GPIO pins on K8
// boards only, I2C on K8 I2C adapters only.
AdapterNeed mdioNeed(const std::string& command);
AdapterNeed boardNeed();
AdapterNeed gpioNeed();
AdapterNeed i2cNeed();

}  // namespace mdioctl
