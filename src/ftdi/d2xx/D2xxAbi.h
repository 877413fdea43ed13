// The D2XX C API as the vendor publishes it: the status codes, the device-list
// node and the signatures of the functions this system calls. Both sides of the
// driver boundary use it: the library resolves these functions at run time,
// and the simulated bench exports them.
//
// Status, ULONG and DWORD are 32-bit unsigned on every platform; the handle is
// a pointer. On 64-bit Windows the calling convention is the platform's only
// one, so no stdcall decoration is needed.
#pragma once

#include <cstdint>

namespace FTDI::D2xx {

using Status = std::uint32_t;
using Handle = void*;

// Status codes in the order of the vendor's enumeration.
inline constexpr Status kOk = 0;
inline constexpr Status kInvalidHandle = 1;
inline constexpr Status kDeviceNotFound = 2;
inline constexpr Status kDeviceNotOpened = 3;
inline constexpr Status kIoError = 4;
inline constexpr Status kInsufficientResources = 5;
inline constexpr Status kInvalidParameter = 6;
inline constexpr Status kInvalidBaudRate = 7;
inline constexpr Status kDeviceNotOpenedForErase = 8;
inline constexpr Status kDeviceNotOpenedForWrite = 9;
inline constexpr Status kFailedToWriteDevice = 10;
inline constexpr Status kEepromReadFailed = 11;
inline constexpr Status kEepromWriteFailed = 12;
inline constexpr Status kEepromEraseFailed = 13;
inline constexpr Status kEepromNotPresent = 14;
inline constexpr Status kEepromNotProgrammed = 15;
inline constexpr Status kInvalidArgs = 16;
inline constexpr Status kNotSupported = 17;
inline constexpr Status kOtherError = 18;
inline constexpr Status kDeviceListNotReady = 19;

// FT_OpenEx flag: the first argument is a serial-number string.
inline constexpr std::uint32_t kOpenBySerialNumber = 1;

// FT_Purge mask bits.
inline constexpr std::uint32_t kPurgeReceive = 1;
inline constexpr std::uint32_t kPurgeTransmit = 2;

// FT_SetBitMode modes.
inline constexpr std::uint8_t kBitModeReset = 0x00;
inline constexpr std::uint8_t kBitModeMpsse = 0x02;

// Device-list node flag bit 0: the device is open (in this or another process).
inline constexpr std::uint32_t kFlagOpened = 0x1;

// Chip type reported by FT_GetDeviceInfo and the device list for the FT232H.
inline constexpr std::uint32_t kChipTypeFt232h = 8;

inline constexpr unsigned kSerialNumberSize = 16;
inline constexpr unsigned kDescriptionSize = 64;

// One record of FT_GetDeviceInfoList.
struct DeviceListNode {
    std::uint32_t Flags;
    std::uint32_t Type;
    std::uint32_t ID;
    std::uint32_t LocId;
    char SerialNumber[kSerialNumberSize];
    char Description[kDescriptionSize];
    Handle ftHandle;
};

}  // namespace FTDI::D2xx

// Function signatures of the C API. The names are those the vendor exports;
// `Fn` types are what the run-time loader casts each resolved symbol to.
extern "C" {
using FT_CreateDeviceInfoList_Fn = FTDI::D2xx::Status (*)(std::uint32_t* count);
using FT_GetDeviceInfoList_Fn = FTDI::D2xx::Status (*)(FTDI::D2xx::DeviceListNode* nodes,
                                                       std::uint32_t* count);
using FT_OpenEx_Fn = FTDI::D2xx::Status (*)(void* argument, std::uint32_t flags,
                                            FTDI::D2xx::Handle* handle);
using FT_Close_Fn = FTDI::D2xx::Status (*)(FTDI::D2xx::Handle handle);
using FT_ResetDevice_Fn = FTDI::D2xx::Status (*)(FTDI::D2xx::Handle handle);
using FT_SetUSBParameters_Fn = FTDI::D2xx::Status (*)(FTDI::D2xx::Handle handle,
                                                      std::uint32_t inTransferSize,
                                                      std::uint32_t outTransferSize);
using FT_SetChars_Fn = FTDI::D2xx::Status (*)(FTDI::D2xx::Handle handle, std::uint8_t eventChar,
                                              std::uint8_t eventCharEnabled, std::uint8_t errorChar,
                                              std::uint8_t errorCharEnabled);
using FT_SetTimeouts_Fn = FTDI::D2xx::Status (*)(FTDI::D2xx::Handle handle,
                                                 std::uint32_t readTimeoutMs,
                                                 std::uint32_t writeTimeoutMs);
using FT_SetLatencyTimer_Fn = FTDI::D2xx::Status (*)(FTDI::D2xx::Handle handle,
                                                     std::uint8_t latencyMs);
using FT_SetBitMode_Fn = FTDI::D2xx::Status (*)(FTDI::D2xx::Handle handle, std::uint8_t mask,
                                                std::uint8_t mode);
using FT_GetDeviceInfo_Fn = FTDI::D2xx::Status (*)(FTDI::D2xx::Handle handle,
                                                   std::uint32_t* chipType, std::uint32_t* deviceId,
                                                   char* serialNumber, char* description,
                                                   void* reserved);
using FT_StopInTask_Fn = FTDI::D2xx::Status (*)(FTDI::D2xx::Handle handle);
using FT_Purge_Fn = FTDI::D2xx::Status (*)(FTDI::D2xx::Handle handle, std::uint32_t mask);
using FT_RestartInTask_Fn = FTDI::D2xx::Status (*)(FTDI::D2xx::Handle handle);
using FT_Write_Fn = FTDI::D2xx::Status (*)(FTDI::D2xx::Handle handle, void* buffer,
                                           std::uint32_t count, std::uint32_t* written);
using FT_Read_Fn = FTDI::D2xx::Status (*)(FTDI::D2xx::Handle handle, void* buffer,
                                          std::uint32_t count, std::uint32_t* received);
}

namespace FTDI::D2xx {

// The ordinals under which the vendor's Windows DLL exports each function.
inline constexpr unsigned kOrdinalCreateDeviceInfoList = 70;
inline constexpr unsigned kOrdinalGetDeviceInfoList = 71;
inline constexpr unsigned kOrdinalOpenEx = 27;
inline constexpr unsigned kOrdinalClose = 2;
inline constexpr unsigned kOrdinalResetDevice = 6;
inline constexpr unsigned kOrdinalSetUSBParameters = 33;
inline constexpr unsigned kOrdinalSetChars = 15;
inline constexpr unsigned kOrdinalSetTimeouts = 17;
inline constexpr unsigned kOrdinalSetLatencyTimer = 29;
inline constexpr unsigned kOrdinalSetBitMode = 31;
inline constexpr unsigned kOrdinalGetDeviceInfo = 61;
inline constexpr unsigned kOrdinalStopInTask = 63;
inline constexpr unsigned kOrdinalPurge = 16;
inline constexpr unsigned kOrdinalRestartInTask = 64;
inline constexpr unsigned kOrdinalWrite = 4;
inline constexpr unsigned kOrdinalRead = 3;

}  // namespace FTDI::D2xx
