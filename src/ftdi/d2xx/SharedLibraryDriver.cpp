#include "ftdi/d2xx/SharedLibraryDriver.h"

#include <cstdio>

#include "base/EnvironmentVariable.h"
#include "ftdi/d2xx/DriverSearch.h"

namespace FTDI::D2xx {
namespace {

// `tried` lists each file with the reason it failed: "'file' (reason)",
// joined by " nor ".
void reportLoadFailure(const std::string& tried) {
    std::fprintf(stderr,
                 "mdiohost: cannot use the D2XX driver library %s; "
                 "set %s to the path of a D2XX library. No adapters are available.\n",
                 tried.c_str(), kDriverVariable);
    std::fflush(stderr);
}

void* resolve(const DynamicLibrary& library, [[maybe_unused]] const char* name,
              [[maybe_unused]] unsigned ordinal) {
#if defined(_WIN32)
    return library.symbolByOrdinal(ordinal);
#else
    return library.symbol(name);
#endif
}

}  // namespace

SharedLibraryDriver SharedLibraryDriver::fromEnvironment() {
    const std::optional<std::string> named = environmentVariable(kDriverVariable);
    if (named && !named->empty()) return SharedLibraryDriver(*named);
    return SharedLibraryDriver(defaultDriverFiles());
}

SharedLibraryDriver::SharedLibraryDriver(const std::string& file)
    : SharedLibraryDriver(std::vector<std::string>{file}) {}

SharedLibraryDriver::SharedLibraryDriver(const std::vector<std::string>& files) {
    std::string tried;
    for (const std::string& file : files) {
        std::string reason;
        library = DynamicLibrary::open(file, reason);
        if (library && resolveAll(reason)) {
            loadedFile = fileHolding(reinterpret_cast<void*>(api.read), file);
            return;
        }
        library.reset();
        tried += (tried.empty() ? "'" : " nor '") + file + "' (" + reason + ")";
    }
    reportLoadFailure(tried);
}

std::string loadedDriverFile() {
    const auto* loaded = dynamic_cast<const SharedLibraryDriver*>(&driver());
    return loaded != nullptr ? loaded->file() : std::string();
}

bool SharedLibraryDriver::resolveAll(std::string& reason) {
    struct Entry {
        const char* name;
        unsigned ordinal;
        void** slot;
    };
    // Function pointers are stored through void** because the loader hands
    // out untyped addresses; each slot has the exact C signature of its entry.
    const Entry entries[] = {
        {"FT_CreateDeviceInfoList", kOrdinalCreateDeviceInfoList,
         reinterpret_cast<void**>(&api.createDeviceInfoList)},
        {"FT_GetDeviceInfoList", kOrdinalGetDeviceInfoList,
         reinterpret_cast<void**>(&api.getDeviceInfoList)},
        {"FT_OpenEx", kOrdinalOpenEx, reinterpret_cast<void**>(&api.openEx)},
        {"FT_Close", kOrdinalClose, reinterpret_cast<void**>(&api.close)},
        {"FT_ResetDevice", kOrdinalResetDevice, reinterpret_cast<void**>(&api.resetDevice)},
        {"FT_SetUSBParameters", kOrdinalSetUSBParameters,
         reinterpret_cast<void**>(&api.setUsbParameters)},
        {"FT_SetChars", kOrdinalSetChars, reinterpret_cast<void**>(&api.setChars)},
        {"FT_SetTimeouts", kOrdinalSetTimeouts, reinterpret_cast<void**>(&api.setTimeouts)},
        {"FT_SetLatencyTimer", kOrdinalSetLatencyTimer,
         reinterpret_cast<void**>(&api.setLatencyTimer)},
        {"FT_SetBitMode", kOrdinalSetBitMode, reinterpret_cast<void**>(&api.setBitMode)},
        {"FT_GetDeviceInfo", kOrdinalGetDeviceInfo, reinterpret_cast<void**>(&api.getDeviceInfo)},
        {"FT_StopInTask", kOrdinalStopInTask, reinterpret_cast<void**>(&api.stopInTask)},
        {"FT_Purge", kOrdinalPurge, reinterpret_cast<void**>(&api.purge)},
        {"FT_RestartInTask", kOrdinalRestartInTask, reinterpret_cast<void**>(&api.restartInTask)},
        {"FT_Write", kOrdinalWrite, reinterpret_cast<void**>(&api.write)},
        {"FT_Read", kOrdinalRead, reinterpret_cast<void**>(&api.read)},
    };
    for (const Entry& entry : entries) {
        *entry.slot = resolve(*library, entry.name, entry.ordinal);
        if (*entry.slot == nullptr) {
#if defined(_WIN32)
            reason = std::string("it exports no ordinal ") + std::to_string(entry.ordinal) + " (" +
                     entry.name + ")";
#else
            reason = std::string("it lacks ") + entry.name;
#endif
            api = Functions{};
            return false;
        }
    }
    return true;
}

Status SharedLibraryDriver::createDeviceInfoList(std::uint32_t& count) {
    if (!loaded()) return kDriverMissingStatus;
    return api.createDeviceInfoList(&count);
}

Status SharedLibraryDriver::getDeviceInfoList(DeviceListNode* nodes, std::uint32_t& count) {
    if (!loaded()) return kDriverMissingStatus;
    return api.getDeviceInfoList(nodes, &count);
}

Status SharedLibraryDriver::openBySerialNumber(const char* serialNumber, Handle& handle) {
    if (!loaded()) return kDriverMissingStatus;
    // The C API takes the serial number through an untyped, non-const pointer
    // and only reads it.
    return api.openEx(const_cast<char*>(serialNumber), kOpenBySerialNumber, &handle);
}

Status SharedLibraryDriver::close(Handle handle) {
    if (!loaded()) return kDriverMissingStatus;
    return api.close(handle);
}

Status SharedLibraryDriver::resetDevice(Handle handle) {
    if (!loaded()) return kDriverMissingStatus;
    return api.resetDevice(handle);
}

Status SharedLibraryDriver::setUsbParameters(Handle handle, std::uint32_t inTransferSize,
                                             std::uint32_t outTransferSize) {
    if (!loaded()) return kDriverMissingStatus;
    return api.setUsbParameters(handle, inTransferSize, outTransferSize);
}

Status SharedLibraryDriver::setChars(Handle handle, std::uint8_t eventChar,
                                     std::uint8_t eventCharEnabled, std::uint8_t errorChar,
                                     std::uint8_t errorCharEnabled) {
    if (!loaded()) return kDriverMissingStatus;
    return api.setChars(handle, eventChar, eventCharEnabled, errorChar, errorCharEnabled);
}

Status SharedLibraryDriver::setTimeouts(Handle handle, std::uint32_t readMs,
                                        std::uint32_t writeMs) {
    if (!loaded()) return kDriverMissingStatus;
    return api.setTimeouts(handle, readMs, writeMs);
}

Status SharedLibraryDriver::setLatencyTimer(Handle handle, std::uint8_t milliseconds) {
    if (!loaded()) return kDriverMissingStatus;
    return api.setLatencyTimer(handle, milliseconds);
}

Status SharedLibraryDriver::setBitMode(Handle handle, std::uint8_t mask, std::uint8_t mode) {
    if (!loaded()) return kDriverMissingStatus;
    return api.setBitMode(handle, mask, mode);
}

Status SharedLibraryDriver::getDeviceInfo(Handle handle, std::uint32_t& chipType,
                                          std::uint32_t& deviceId, char* serialNumber,
                                          char* description) {
    if (!loaded()) return kDriverMissingStatus;
    return api.getDeviceInfo(handle, &chipType, &deviceId, serialNumber, description, nullptr);
}

Status SharedLibraryDriver::stopInTask(Handle handle) {
    if (!loaded()) return kDriverMissingStatus;
    return api.stopInTask(handle);
}

Status SharedLibraryDriver::purge(Handle handle, std::uint32_t mask) {
    if (!loaded()) return kDriverMissingStatus;
    return api.purge(handle, mask);
}

Status SharedLibraryDriver::restartInTask(Handle handle) {
    if (!loaded()) return kDriverMissingStatus;
    return api.restartInTask(handle);
}

Status SharedLibraryDriver::write(Handle handle, const std::uint8_t* bytes, std::uint32_t count,
                                  std::uint32_t& written) {
    if (!loaded()) return kDriverMissingStatus;
    // The C API's buffer pointer is not const; the driver only reads it.
    return api.write(handle, const_cast<std::uint8_t*>(bytes), count, &written);
}

Status SharedLibraryDriver::read(Handle handle, std::uint8_t* buffer, std::uint32_t count,
                                 std::uint32_t& received) {
    if (!loaded()) return kDriverMissingStatus;
    return api.read(handle, buffer, count, &received);
}

}  // namespace FTDI::D2xx
