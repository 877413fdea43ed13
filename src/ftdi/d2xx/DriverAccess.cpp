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

// The active driver as a plain pointer, read by every transfer: constant-
// initialised, so the common case is one load and no guard check.
constinit Driver* current = nullptr;

Driver& loadDefaultDriver() {
    std::unique_ptr<Driver>& owner = active();
    if (!owner)
        owner = std::make_unique<SharedLibraryDriver>(SharedLibraryDriver::fromEnvironment());
    current = owner.get();
    return *current;
}

}  // namespace

Driver& driver() {
    if (current != nullptr) [[likely]]
        return *current;
    return loadDefaultDriver();
}

void installDriver(std::unique_ptr<Driver> replacement) {
    active() = std::move(replacement);
    current = active().get();
}

}  // namespace FTDI::D2xx
