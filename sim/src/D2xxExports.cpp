// The D2XX C functions the simulated bench exports, with the vendor's names,
// signatures and status codes: a host loads this library in place of the
// vendor's driver. This file is the one list of exported C functions (a
// Windows build exports the same list by the vendor's ordinals).
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
