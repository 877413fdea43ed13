// The K8 board factory: the registry offers it every node of the D2XX device
// list. A K8 board's USB description begins with "K8" and names its protocols
// as space-separated tokens ("K8U MDIO I2C"); each protocol becomes one
// adapter, named serial:protocol, or by the serial number alone when the
// board has one protocol. A "U" as third character means a 4-bit RGB LED.
#pragma once

#include "boards/AdapterTable.h"
#include "ftdi/d2xx/D2xxAbi.h"

namespace FTDI::K8 {

// True when `node` is a K8 board, whether or not adapters were added: adapters
// already in the table (same name) are not added again.
bool factory(AdapterTable& adapters, const D2xx::DeviceListNode& node);

}  // namespace FTDI::K8
