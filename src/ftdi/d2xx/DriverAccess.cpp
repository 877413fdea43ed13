#include <utility>

#include "ftdi/d2xx/Driver.h"
#include "ftdi/d2xx/SharedLibraryDriver.h"

namespace FTDI::D2xx {
namespace {

// Created on first use and never destroyed: devices owned by static objects
// (the registry, LED threads) still talk to the driver while the process
// ends, after ordinary statics would already be gone.
std::unique_ptr<Driver>& active() {
    static auto* holder = new std::unique_ptr<Driver>();
    return *holder;
}

}  // namespace

Driver& driver() {
    std::unique_ptr<Driver>& current = active();
    if (!current) {
        current = std::make_unique<SharedLibraryDriver>(SharedLibraryDriver::fromEnvironment());
    }
    return *current;
}

void installDriver(std::unique_ptr<Driver> replacement) {
    active() = std::move(replacement);
}

}  // namespace FTDI::D2xx
