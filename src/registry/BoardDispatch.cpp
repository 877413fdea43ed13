// Routing of the board services: find the open adapter, make sure it is of
// the family that has the service, call the device. Board registers are a
// service of the older family; GPIO pins and raw I2C of K8 boards.
#include <stdexcept>
#include <string>
#include <typeinfo>

#include "boards/K8Device.h"
#include "boards/TalvikDevice.h"
#include "registry/TalvikControl.h"

namespace {

// Only the low byte of a board register number and value reaches the board.
std::uint8_t low8(std::uint32_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

// Throws std::bad_cast for an adapter of the other family: the failure text
// hosts have always seen for board registers on a K8 adapter.
FTDI::Talvik::Device& talvikDevice(FTDI::Device& adapter) {
    if (adapter.traits().family != FTDI::BoardFamily::OlderFamily) throw std::bad_cast();
    return static_cast<FTDI::Talvik::Device&>(adapter);
}

// Null for an adapter of the other family: not a failure for these services.
FTDI::K8::Device* k8Device(FTDI::Device& adapter) {
    if (adapter.traits().family != FTDI::BoardFamily::K8) return nullptr;
    return static_cast<FTDI::K8::Device*>(&adapter);
}

}  // namespace

std::uint32_t TalvikControl::boardRead(std::uint32_t adapter, std::uint32_t boardRegister) {
    return talvikDevice(openAdapterAt(adapter)).boardRead(low8(boardRegister));
}

void TalvikControl::boardWrite(std::uint32_t adapter, std::uint32_t boardRegister,
                               std::uint32_t value) {
    talvikDevice(openAdapterAt(adapter)).boardWrite(low8(boardRegister), low8(value));
}

void TalvikControl::i2cWrite(std::uint32_t adapter, std::uint32_t address,
                             const std::vector<std::uint8_t>& bytes) {
    if (FTDI::K8::Device* device = k8Device(openAdapterAt(adapter))) {
        device->i2cWrite(low8(address), bytes);
    }
}

std::vector<std::uint8_t> TalvikControl::i2cRead(std::uint32_t adapter, std::uint32_t address,
                                                 std::uint32_t registerAddress,
                                                 std::uint8_t registerLength, std::uint32_t count) {
    if (FTDI::K8::Device* device = k8Device(openAdapterAt(adapter))) {
        return device->i2cRead(low8(address), registerAddress, registerLength, count);
    }
    return {};
}

bool TalvikControl::i2cLastTransferAcknowledged(std::uint32_t adapter) {
    const FTDI::K8::Device* device = k8Device(openAdapterAt(adapter));
    return device != nullptr && device->lastI2cTransferAcknowledged();
}

std::uint32_t TalvikControl::gpioSet(std::uint32_t adapter, std::uint8_t pin, std::uint8_t level) {
    FTDI::K8::Device* device = k8Device(openAdapterAt(adapter));
    return device != nullptr && device->setPin(pin, level) ? 1 : 0;
}

std::uint32_t TalvikControl::gpioGet(std::uint32_t adapter, std::uint8_t pin, std::uint8_t* level) {
    FTDI::K8::Device* device = k8Device(openAdapterAt(adapter));
    if (device == nullptr || !device->gpioPins) return 0;
    if (level == nullptr) {
        throw std::invalid_argument(device->name + ": GPIO pin " + std::to_string(pin) +
                                    " read with no place for the level (null pointer).");
    }
    return device->getPin(pin, *level) ? 1 : 0;
}
