// The D2XX C functions the simulated bench exports, with the vendor's names,
// signatures and status codes: a host loads this library in place of the
// vendor's driver, or links it under the driver's name. This file is the one
// list of exported C functions (a Windows build exports the same list by the
// vendor's ordinals, cmake/FTD2XX.def).
//
// Every function holds the bench's mutex for its whole run: hosts call from
// several threads (an LED blink thread writes while the main thread reads).
#include <mutex>
#include <type_traits>

#include "D2xxDriver.h"
#include "ProcessBench.h"

#if defined(_WIN32)
#define MDIOSIM_D2XX_EXPORT extern "C"
#else
#define MDIOSIM_D2XX_EXPORT extern "C" __attribute__((visibility("default")))
#endif

using FTDI::D2xx::DeviceListNode;
using FTDI::D2xx::Handle;
using FTDI::D2xx::Status;

namespace {

template <typename Work>
Status locked(Work work) {
    const std::lock_guard<std::recursive_mutex> guard(mdiosim::benchMutex());
    return work(mdiosim::lockedBench());
}

}  // namespace

MDIOSIM_D2XX_EXPORT Status FT_CreateDeviceInfoList(std::uint32_t* count) {
    return locked(
        [&](mdiosim::Bench& bench) { return mdiosim::d2xx::createDeviceInfoList(bench, count); });
}

MDIOSIM_D2XX_EXPORT Status FT_GetDeviceInfoList(DeviceListNode* nodes, std::uint32_t* count) {
    return locked([&](mdiosim::Bench& bench) {
        return mdiosim::d2xx::getDeviceInfoList(bench, nodes, count);
    });
}

MDIOSIM_D2XX_EXPORT Status FT_OpenEx(void* argument, std::uint32_t flags, Handle* handle) {
    return locked([&](mdiosim::Bench& bench) {
        return mdiosim::d2xx::openEx(bench, argument, flags, handle);
    });
}

MDIOSIM_D2XX_EXPORT Status FT_Close(Handle handle) {
    return locked([&](mdiosim::Bench& bench) { return mdiosim::d2xx::close(bench, handle); });
}

MDIOSIM_D2XX_EXPORT Status FT_ResetDevice(Handle handle) {
    return locked([&](mdiosim::Bench& bench) { return mdiosim::d2xx::resetDevice(bench, handle); });
}

MDIOSIM_D2XX_EXPORT Status FT_SetUSBParameters(Handle handle, std::uint32_t inTransferSize,
                                               std::uint32_t outTransferSize) {
    return locked([&](mdiosim::Bench& bench) {
        return mdiosim::d2xx::setUsbParameters(bench, handle, inTransferSize, outTransferSize);
    });
}

MDIOSIM_D2XX_EXPORT Status FT_SetChars(Handle handle, std::uint8_t, std::uint8_t, std::uint8_t,
                                       std::uint8_t) {
    return locked([&](mdiosim::Bench& bench) { return mdiosim::d2xx::setChars(bench, handle); });
}

MDIOSIM_D2XX_EXPORT Status FT_SetTimeouts(Handle handle, std::uint32_t readTimeoutMs,
                                          std::uint32_t writeTimeoutMs) {
    return locked([&](mdiosim::Bench& bench) {
        return mdiosim::d2xx::setTimeouts(bench, handle, readTimeoutMs, writeTimeoutMs);
    });
}

MDIOSIM_D2XX_EXPORT Status FT_SetLatencyTimer(Handle handle, std::uint8_t latencyMs) {
    return locked([&](mdiosim::Bench& bench) {
        return mdiosim::d2xx::setLatencyTimer(bench, handle, latencyMs);
    });
}

MDIOSIM_D2XX_EXPORT Status FT_SetBitMode(Handle handle, std::uint8_t mask, std::uint8_t mode) {
    return locked([&](mdiosim::Bench& bench) {
        return mdiosim::d2xx::setBitMode(bench, handle, mask, mode);
    });
}

MDIOSIM_D2XX_EXPORT Status FT_GetDeviceInfo(Handle handle, std::uint32_t* chipType,
                                            std::uint32_t* deviceId, char* serialNumber,
                                            char* description, void*) {
    return locked([&](mdiosim::Bench& bench) {
        return mdiosim::d2xx::getDeviceInfo(bench, handle, chipType, deviceId, serialNumber,
                                            description);
    });
}

MDIOSIM_D2XX_EXPORT Status FT_StopInTask(Handle handle) {
    return locked([&](mdiosim::Bench& bench) { return mdiosim::d2xx::stopInTask(bench, handle); });
}

MDIOSIM_D2XX_EXPORT Status FT_Purge(Handle handle, std::uint32_t mask) {
    return locked([&](mdiosim::Bench& bench) { return mdiosim::d2xx::purge(bench, handle, mask); });
}

MDIOSIM_D2XX_EXPORT Status FT_RestartInTask(Handle handle) {
    return locked(
        [&](mdiosim::Bench& bench) { return mdiosim::d2xx::restartInTask(bench, handle); });
}

MDIOSIM_D2XX_EXPORT Status FT_Write(Handle handle, void* buffer, std::uint32_t count,
                                    std::uint32_t* written) {
    return locked([&](mdiosim::Bench& bench) {
        return mdiosim::d2xx::write(bench, handle, buffer, count, written);
    });
}

MDIOSIM_D2XX_EXPORT Status FT_Read(Handle handle, void* buffer, std::uint32_t count,
                                   std::uint32_t* received) {
    return locked([&](mdiosim::Bench& bench) {
        return mdiosim::d2xx::read(bench, handle, buffer, count, received);
    });
}

MDIOSIM_D2XX_EXPORT Status FT_Open(int deviceNumber, Handle* handle) {
    return locked(
        [&](mdiosim::Bench& bench) { return mdiosim::d2xx::open(bench, deviceNumber, handle); });
}

MDIOSIM_D2XX_EXPORT Status FT_ListDevices(void* first, void* second, std::uint32_t flags) {
    return locked([&](mdiosim::Bench& bench) {
        return mdiosim::d2xx::listDevices(bench, first, second, flags);
    });
}

MDIOSIM_D2XX_EXPORT Status FT_GetQueueStatus(Handle handle, std::uint32_t* received) {
    return locked([&](mdiosim::Bench& bench) {
        return mdiosim::d2xx::getQueueStatus(bench, handle, received);
    });
}

MDIOSIM_D2XX_EXPORT Status FT_GetStatus(Handle handle, std::uint32_t* received,
                                        std::uint32_t* transmitting, std::uint32_t* events) {
    return locked([&](mdiosim::Bench& bench) {
        return mdiosim::d2xx::getStatus(bench, handle, received, transmitting, events);
    });
}

MDIOSIM_D2XX_EXPORT Status FT_SetBaudRate(Handle handle, std::uint32_t baudRate) {
    return locked(
        [&](mdiosim::Bench& bench) { return mdiosim::d2xx::setBaudRate(bench, handle, baudRate); });
}

MDIOSIM_D2XX_EXPORT Status FT_SetDataCharacteristics(Handle handle, std::uint8_t wordLength,
                                                     std::uint8_t stopBits, std::uint8_t parity) {
    return locked([&](mdiosim::Bench& bench) {
        return mdiosim::d2xx::setDataCharacteristics(bench, handle, wordLength, stopBits, parity);
    });
}

MDIOSIM_D2XX_EXPORT Status FT_SetFlowControl(Handle handle, std::uint16_t flowControl,
                                             std::uint8_t xon, std::uint8_t xoff) {
    return locked([&](mdiosim::Bench& bench) {
        return mdiosim::d2xx::setFlowControl(bench, handle, flowControl, xon, xoff);
    });
}

MDIOSIM_D2XX_EXPORT Status FT_GetBitMode(Handle handle, std::uint8_t* pins) {
    return locked(
        [&](mdiosim::Bench& bench) { return mdiosim::d2xx::getBitMode(bench, handle, pins); });
}

MDIOSIM_D2XX_EXPORT Status FT_GetLibraryVersion(std::uint32_t* version) {
    return locked(
        [&](mdiosim::Bench& bench) { return mdiosim::d2xx::getLibraryVersion(bench, version); });
}

MDIOSIM_D2XX_EXPORT Status FT_GetDriverVersion(Handle handle, std::uint32_t* version) {
    return locked([&](mdiosim::Bench& bench) {
        return mdiosim::d2xx::getDriverVersion(bench, handle, version);
    });
}

MDIOSIM_D2XX_EXPORT Status FT_SetDeadmanTimeout(Handle handle, std::uint32_t milliseconds) {
    return locked([&](mdiosim::Bench& bench) {
        return mdiosim::d2xx::setDeadmanTimeout(bench, handle, milliseconds);
    });
}

// What a bench cannot do: program the chip's own configuration EEPROM, and
// signal events. Programs that link these calls still run, and learn from
// FT_NOT_SUPPORTED that the device has neither.
namespace {
Status unsupportedOn(Handle handle) {
    return locked([&](mdiosim::Bench& bench) { return mdiosim::d2xx::unsupported(bench, handle); });
}
}  // namespace

MDIOSIM_D2XX_EXPORT Status FT_EE_Program(Handle handle, void*) {
    return unsupportedOn(handle);
}
MDIOSIM_D2XX_EXPORT Status FT_EE_Read(Handle handle, void*) {
    return unsupportedOn(handle);
}
MDIOSIM_D2XX_EXPORT Status FT_EE_UASize(Handle handle, std::uint32_t*) {
    return unsupportedOn(handle);
}
MDIOSIM_D2XX_EXPORT Status FT_EE_UARead(Handle handle, std::uint8_t*, std::uint32_t,
                                        std::uint32_t*) {
    return unsupportedOn(handle);
}
MDIOSIM_D2XX_EXPORT Status FT_EE_UAWrite(Handle handle, std::uint8_t*, std::uint32_t) {
    return unsupportedOn(handle);
}
MDIOSIM_D2XX_EXPORT Status FT_ReadEE(Handle handle, std::uint32_t, std::uint16_t*) {
    return unsupportedOn(handle);
}
MDIOSIM_D2XX_EXPORT Status FT_WriteEE(Handle handle, std::uint32_t, std::uint16_t) {
    return unsupportedOn(handle);
}
MDIOSIM_D2XX_EXPORT Status FT_EraseEE(Handle handle) {
    return unsupportedOn(handle);
}
MDIOSIM_D2XX_EXPORT Status FT_SetEventNotification(Handle handle, std::uint32_t, void*) {
    return unsupportedOn(handle);
}

// The exports have exactly the signatures the driver boundary loads them as.
static_assert(std::is_same_v<decltype(&FT_CreateDeviceInfoList), FT_CreateDeviceInfoList_Fn>);
static_assert(std::is_same_v<decltype(&FT_GetDeviceInfoList), FT_GetDeviceInfoList_Fn>);
static_assert(std::is_same_v<decltype(&FT_OpenEx), FT_OpenEx_Fn>);
static_assert(std::is_same_v<decltype(&FT_Close), FT_Close_Fn>);
static_assert(std::is_same_v<decltype(&FT_ResetDevice), FT_ResetDevice_Fn>);
static_assert(std::is_same_v<decltype(&FT_SetUSBParameters), FT_SetUSBParameters_Fn>);
static_assert(std::is_same_v<decltype(&FT_SetChars), FT_SetChars_Fn>);
static_assert(std::is_same_v<decltype(&FT_SetTimeouts), FT_SetTimeouts_Fn>);
static_assert(std::is_same_v<decltype(&FT_SetLatencyTimer), FT_SetLatencyTimer_Fn>);
static_assert(std::is_same_v<decltype(&FT_SetBitMode), FT_SetBitMode_Fn>);
static_assert(std::is_same_v<decltype(&FT_GetDeviceInfo), FT_GetDeviceInfo_Fn>);
static_assert(std::is_same_v<decltype(&FT_StopInTask), FT_StopInTask_Fn>);
static_assert(std::is_same_v<decltype(&FT_Purge), FT_Purge_Fn>);
static_assert(std::is_same_v<decltype(&FT_RestartInTask), FT_RestartInTask_Fn>);
static_assert(std::is_same_v<decltype(&FT_Write), FT_Write_Fn>);
static_assert(std::is_same_v<decltype(&FT_Read), FT_Read_Fn>);
