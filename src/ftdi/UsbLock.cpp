#include "ftdi/UsbLock.h"

namespace FTDI {

Mpsse::TransferLock& usbLock() {
    // Never destroyed, for the same reason as the driver: LED threads and
    // static destructors may still take it while the process ends.
    static auto* lock = new Mpsse::TransferLock();
    return *lock;
}

}  // namespace FTDI
