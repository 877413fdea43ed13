#include "boards/Device.h"

namespace FTDI {

Device::~Device() = default;

void Device::afterBringUp() {
    if (engine) engine->deviceOpened();
}

}  // namespace FTDI
