// The one driver boundary: the D2XX operations the library uses, as a small
// C++ interface. Production code resolves them from the vendor's shared
// library at run time (SharedLibraryDriver); unit tests install a scripted
// double. Nothing above this layer knows which one is in use.
#pragma once

#include <cstdint>
#include <memory>

#include "ftdi/d2xx/D2xxAbi.h"

namespace FTDI::D2xx {

class Driver {
  public:
    virtual ~Driver() = default;

    virtual Status createDeviceInfoList(std::uint32_t& count) = 0;
    // `nodes` has room for `count` records; `count` is updated to the number filled.
    virtual Status getDeviceInfoList(DeviceListNode* nodes, std::uint32_t& count) = 0;
    virtual Status openBySerialNumber(const char* serialNumber, Handle& handle) = 0;
    virtual Status close(Handle handle) = 0;
    virtual Status resetDevice(Handle handle) = 0;
    virtual Status setUsbParameters(Handle handle, std::uint32_t inTransferSize,
                                    std::uint32_t outTransferSize) = 0;
    virtual Status setChars(Handle handle, std::uint8_t eventChar, std::uint8_t eventCharEnabled,
                            std::uint8_t errorChar, std::uint8_t errorCharEnabled) = 0;
    virtual Status setTimeouts(Handle handle, std::uint32_t readMs, std::uint32_t writeMs) = 0;
    virtual Status setLatencyTimer(Handle handle, std::uint8_t milliseconds) = 0;
    virtual Status setBitMode(Handle handle, std::uint8_t mask, std::uint8_t mode) = 0;
    // Serial-number and description buffers hold kSerialNumberSize and
    // kDescriptionSize characters.
    virtual Status getDeviceInfo(Handle handle, std::uint32_t& chipType, std::uint32_t& deviceId,
                                 char* serialNumber, char* description) = 0;
    virtual Status stopInTask(Handle handle) = 0;
    virtual Status purge(Handle handle, std::uint32_t mask) = 0;
    virtual Status restartInTask(Handle handle) = 0;
    virtual Status write(Handle handle, const std::uint8_t* bytes, std::uint32_t count,
                         std::uint32_t& written) = 0;
    virtual Status read(Handle handle, std::uint8_t* buffer, std::uint32_t count,
                        std::uint32_t& received) = 0;
};

// The driver every device uses. The first call loads the production driver
// unless one was installed before.
Driver& driver();

// Replaces the driver (unit tests install scripted doubles this way).
void installDriver(std::unique_ptr<Driver> replacement);

}  // namespace FTDI::D2xx
