// The board factories the device list is offered to, in order: a node is
// offered to the K8 factory first and, when that declines it, to the older
// family's. A factory appends adapters for a board it recognises and answers
// whether it recognised the node.
#pragma once

#include <array>

#include "boards/AdapterTable.h"
#include "ftdi/d2xx/D2xxAbi.h"

namespace mdiohost {

using BoardFactory = bool (*)(FTDI::AdapterTable& adapters, const FTDI::D2xx::DeviceListNode& node);

const std::array<BoardFactory, 2>& boardFactories();

}  // namespace mdiohost
