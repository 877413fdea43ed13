#include "ftdi/UsbLock.h"

namespace FTDI {

std::recursive_mutex& usbLock() {
    // Never destroyed, for the same reason as the driver: LED threads and
    // static destructors may still take it while the process ends.
    static auto* lock = new std::recursive_mutex();
    return *lock;
}

}  // namespace FTDI
