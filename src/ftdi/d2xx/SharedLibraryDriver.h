// The production driver: the D2XX C API resolved at run time from one shared
// library. MDIOHOST_D2XX names the library (a path or a file name); unset, it
// is FTD2XX.dll on Windows, where every function is resolved by its ordinal as
// the vendor's import library does, and on Linux libftd2xx.so, by name, or
// when that cannot be loaded the libftdi1 driver beside the library.
//
// If no library with all its functions can be loaded, one line on standard
// error names every file tried, and every operation then fails with
// kDeviceNotFound, so that enumeration finds no device and nothing crashes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ftdi/d2xx/D2xxAbi.h"
#include "ftdi/d2xx/Driver.h"
#include "ftdi/d2xx/DynamicLibrary.h"

namespace FTDI::D2xx {

inline constexpr const char* kDriverVariable = "MDIOHOST_D2XX";
#if defined(_WIN32)
inline constexpr const char* kDefaultDriverFile = "FTD2XX.dll";
#else
inline constexpr const char* kDefaultDriverFile = "libftd2xx.so";
#endif

// The status every operation returns while no driver library is loaded.
inline constexpr Status kDriverMissingStatus = kDeviceNotFound;

class SharedLibraryDriver final : public Driver {
  public:
    // Loads the file that MDIOHOST_D2XX names, or the first default that loads.
    static SharedLibraryDriver fromEnvironment();
    explicit SharedLibraryDriver(const std::string& file);
    // Tries each file in turn and keeps the first that loads completely.
    explicit SharedLibraryDriver(const std::vector<std::string>& files);

    bool loaded() const { return library != nullptr; }
    // The path of the loaded library; empty while none is loaded.
    const std::string& file() const { return loadedFile; }

    Status createDeviceInfoList(std::uint32_t& count) override;
    Status getDeviceInfoList(DeviceListNode* nodes, std::uint32_t& count) override;
    Status openBySerialNumber(const char* serialNumber, Handle& handle) override;
    Status close(Handle handle) override;
    Status resetDevice(Handle handle) override;
    Status setUsbParameters(Handle handle, std::uint32_t inTransferSize,
                            std::uint32_t outTransferSize) override;
    Status setChars(Handle handle, std::uint8_t eventChar, std::uint8_t eventCharEnabled,
                    std::uint8_t errorChar, std::uint8_t errorCharEnabled) override;
    Status setTimeouts(Handle handle, std::uint32_t readMs, std::uint32_t writeMs) override;
    Status setLatencyTimer(Handle handle, std::uint8_t milliseconds) override;
    Status setBitMode(Handle handle, std::uint8_t mask, std::uint8_t mode) override;
    Status getDeviceInfo(Handle handle, std::uint32_t& chipType, std::uint32_t& deviceId,
                         char* serialNumber, char* description) override;
    Status stopInTask(Handle handle) override;
    Status purge(Handle handle, std::uint32_t mask) override;
    Status restartInTask(Handle handle) override;
    Status write(Handle handle, const std::uint8_t* bytes, std::uint32_t count,
                 std::uint32_t& written) override;
    Status read(Handle handle, std::uint8_t* buffer, std::uint32_t count,
                std::uint32_t& received) override;

  private:
    struct Functions {
        FT_CreateDeviceInfoList_Fn createDeviceInfoList = nullptr;
        FT_GetDeviceInfoList_Fn getDeviceInfoList = nullptr;
        FT_OpenEx_Fn openEx = nullptr;
        FT_Close_Fn close = nullptr;
        FT_ResetDevice_Fn resetDevice = nullptr;
        FT_SetUSBParameters_Fn setUsbParameters = nullptr;
        FT_SetChars_Fn setChars = nullptr;
        FT_SetTimeouts_Fn setTimeouts = nullptr;
        FT_SetLatencyTimer_Fn setLatencyTimer = nullptr;
        FT_SetBitMode_Fn setBitMode = nullptr;
        FT_GetDeviceInfo_Fn getDeviceInfo = nullptr;
        FT_StopInTask_Fn stopInTask = nullptr;
        FT_Purge_Fn purge = nullptr;
        FT_RestartInTask_Fn restartInTask = nullptr;
        FT_Write_Fn write = nullptr;
        FT_Read_Fn read = nullptr;
    };

    // Resolves every function; on the first one missing, says which in
    // `reason` and leaves the driver unloaded.
    bool resolveAll(std::string& reason);

    std::shared_ptr<DynamicLibrary> library;
    Functions api;
    std::string loadedFile;
};

// The path of the driver library in use, loading it on first use; empty when
// none could be loaded or a test double stands in.
std::string loadedDriverFile();

}  // namespace FTDI::D2xx
