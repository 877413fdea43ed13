// The extension that tells a host which driver library is in use, so a tool
// can say whether adapters are reached through the vendor's driver, the
// libftdi1 driver or a simulated bench.
#include <exception>
#include <string>

#include "ftdi/d2xx/SharedLibraryDriver.h"
#include "mdiohost_ext.h"

extern "C" {

MDIOHOST_API const char* mdiohost_driver_path(void) {
    // Loaded once and kept: the driver library is never unloaded either.
    static std::string path;
    try {
        path = FTDI::D2xx::loadedDriverFile();
    } catch (const std::exception&) {
        path.clear();
    }
    return path.c_str();
}

}  // extern "C"
