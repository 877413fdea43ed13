// The process-wide recursive lock that serialises all D2XX traffic. Every
// locked write and read takes it; sequences that must stay together (an
// execute's write and read, bring-up, enumeration, open and close) take it
// around the whole sequence, and the inner takes nest.
#pragma once

#include <mutex>

#include "mpsse/TransferLock.h"

namespace FTDI {

Mpsse::TransferLock& usbLock();

using UsbLockGuard = std::lock_guard<Mpsse::TransferLock>;

}  // namespace FTDI
