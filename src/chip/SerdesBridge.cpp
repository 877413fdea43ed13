#include "chip/SerdesBridge.h"

#include <cstdio>

#include "chip/ChipRegisters.h"

namespace mdiohost::chip {
namespace {

namespace Bridge = registers::SerdesBridge;

void reportError(const char* direction, std::uint32_t status, std::uint32_t registerAddress) {
    std::fprintf(stderr,
                 "Error: SERDES control register bridge error (code 0x%X) %s address 0x%X\n",
                 status & Bridge::kStatusCodeMask, direction, registerAddress);
    std::fflush(stderr);
}

}  // namespace

void SerdesBridge::write(std::uint32_t registerAddress, std::uint32_t value) {
    writeRegister(port, Mmd::kVendor1, Bridge::kEnable, Bridge::kEnableValue);
    writeRegister(port, Mmd::kVendor1, Bridge::kWriteAddress, registerAddress);
    writeRegister(port, Mmd::kVendor1, Bridge::kWriteData, value);
    // A failed status read yields 0 and so counts as success.
    const std::uint32_t status = readRegister(port, Mmd::kVendor1, Bridge::kStatus);
    if (Bridge::failed(status)) reportError("writing", status, registerAddress);
}

std::uint32_t SerdesBridge::read(std::uint32_t registerAddress) {
    writeRegister(port, Mmd::kVendor1, Bridge::kReadStart, Bridge::kReadStartValue);
    writeRegister(port, Mmd::kVendor1, Bridge::kEnable, Bridge::kEnableValue);
    writeRegister(port, Mmd::kVendor1, Bridge::kReadAddress, registerAddress);
    const std::uint32_t data = readRegister(port, Mmd::kVendor1, Bridge::kReadData);
    const std::uint32_t status = readRegister(port, Mmd::kVendor1, Bridge::kStatus);
    if (!Bridge::failed(status)) return data;
    reportError("reading", status, registerAddress);
    return 0;
}

}  // namespace mdiohost::chip
