// Exports of the board services: board registers of the older family, GPIO
// pins and raw I2C of K8 boards. Every failure is recorded and echoed to
// standard error; asking a board of the other family for GPIO or I2C is not a
// failure and gives the empty result.
#include <vector>

#include "base/Guard.h"
#include "mdiohost.h"
#include "registry/TalvikControl.h"

using mdiohost::Echo;
using mdiohost::guarded;

extern "C" {

MDIOHOST_API uint32_t Board_Read(uint32_t boardRegister) {
    return guarded(Echo::ToStderr, 0u,
                   [&] { return registry().boardRead(registry().defaultAdapter, boardRegister); });
}

MDIOHOST_API void Board_Write(uint32_t boardRegister, uint32_t value) {
    guarded(Echo::ToStderr,
            [&] { registry().boardWrite(registry().defaultAdapter, boardRegister, value); });
}

MDIOHOST_API uint32_t Board_ReadAdapter(uint32_t adapter, uint32_t boardRegister) {
    return guarded(Echo::ToStderr, 0u,
                   [&] { return registry().boardRead(adapter, boardRegister); });
}

MDIOHOST_API void Board_WriteAdapter(uint32_t adapter, uint32_t boardRegister, uint32_t value) {
    guarded(Echo::ToStderr, [&] { registry().boardWrite(adapter, boardRegister, value); });
}

MDIOHOST_API uint32_t HW_GpioSetAdapter(uint32_t adapter, uint8_t pin, uint8_t level) {
    return guarded(Echo::ToStderr, 0u, [&] { return registry().gpioSet(adapter, pin, level); });
}

MDIOHOST_API uint32_t HW_GpioGetAdapter(uint32_t adapter, uint8_t pin, uint8_t* level) {
    return guarded(Echo::ToStderr, 0u, [&] { return registry().gpioGet(adapter, pin, level); });
}

}  // extern "C"

// These two carry a standard-library vector across the boundary and are
// exported under their C++ names.
MDIOHOST_API void i2c_WriteAdapter(unsigned int adapter, unsigned int address,
                                   std::vector<unsigned char>& bytes) {
    guarded(Echo::ToStderr, [&] { registry().i2cWrite(adapter, address, bytes); });
}

MDIOHOST_API std::vector<unsigned char> i2c_ReadAdapter(unsigned int adapter, unsigned int address,
                                                        unsigned int registerAddress,
                                                        unsigned char registerLength,
                                                        unsigned int count) {
    return guarded(Echo::ToStderr, std::vector<unsigned char>{}, [&] {
        return registry().i2cRead(adapter, address, registerAddress, registerLength, count);
    });
}
