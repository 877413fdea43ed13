// What the D2XX driver does for each call, on the bench's devices: the status
// codes a real driver gives for bad handles, null pointers and unknown
// devices, the device list, the handles, and the faults armed on the bench.
// The caller holds the bench's mutex.
#pragma once

#include <cstdint>

#include "ftdi/d2xx/D2xxAbi.h"
#include "mdiosim/Bench.h"

namespace mdiosim::d2xx {

using FTDI::D2xx::DeviceListNode;
using FTDI::D2xx::Handle;
using FTDI::D2xx::Status;

Status createDeviceInfoList(Bench& bench, std::uint32_t* count);
Status getDeviceInfoList(Bench& bench, DeviceListNode* nodes, std::uint32_t* count);
Status openEx(Bench& bench, void* argument, std::uint32_t flags, Handle* handle);
Status close(Bench& bench, Handle handle);
Status resetDevice(Bench& bench, Handle handle);
Status setUsbParameters(Bench& bench, Handle handle, std::uint32_t inSize, std::uint32_t outSize);
Status setChars(Bench& bench, Handle handle);
Status setTimeouts(Bench& bench, Handle handle, std::uint32_t readMs, std::uint32_t writeMs);
Status setLatencyTimer(Bench& bench, Handle handle, std::uint8_t milliseconds);
Status setBitMode(Bench& bench, Handle handle, std::uint8_t mask, std::uint8_t mode);
Status getDeviceInfo(Bench& bench, Handle handle, std::uint32_t* chipType, std::uint32_t* deviceId,
                     char* serialNumber, char* description);
Status stopInTask(Bench& bench, Handle handle);
Status purge(Bench& bench, Handle handle, std::uint32_t mask);
Status restartInTask(Bench& bench, Handle handle);
Status write(Bench& bench, Handle handle, const void* bytes, std::uint32_t count,
             std::uint32_t* written);
Status read(Bench& bench, Handle handle, void* buffer, std::uint32_t count,
            std::uint32_t* received);

}  // namespace mdiosim::d2xx
