// Recognises boards of the older family in the D2XX device list and gives
// each one adapter, named by its USB serial number.
#pragma once

#include "boards/AdapterTable.h"
#include "ftdi/d2xx/D2xxAbi.h"

namespace FTDI::Talvik {

// A board of this family has a serial number that ends in 'B'. Returns true
// for such a board, whether or not it appended a new adapter (a board already
// in the table adds nothing), and false for any other device. Makes no USB
// transfer.
bool factory(AdapterTable& adapters, const D2xx::DeviceListNode& node);

}  // namespace FTDI::Talvik
