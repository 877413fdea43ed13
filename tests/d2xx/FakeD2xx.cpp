// A D2XX-compatible library whose functions do nothing: enough for the
// run-time loader to find them (on Windows, by ordinal), or to miss FT_Read.
// Calls that reach a loaded driver are checked against the simulated bench,
// which every end-to-end test loads the same way.
#include "ftdi/d2xx/D2xxAbi.h"

#if defined(_WIN32)
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif
#define FAKE_FUNCTION(name, ...)                       \
    FAKE_EXPORT FTDI::D2xx::Status name(__VA_ARGS__) { \
        return FTDI::D2xx::kOk;                        \
    }

using FTDI::D2xx::Handle;

FAKE_FUNCTION(FT_CreateDeviceInfoList, std::uint32_t*)
FAKE_FUNCTION(FT_GetDeviceInfoList, FTDI::D2xx::DeviceListNode*, std::uint32_t*)
FAKE_FUNCTION(FT_OpenEx, void*, std::uint32_t, Handle*)
FAKE_FUNCTION(FT_Close, Handle)
FAKE_FUNCTION(FT_ResetDevice, Handle)
FAKE_FUNCTION(FT_SetUSBParameters, Handle, std::uint32_t, std::uint32_t)
FAKE_FUNCTION(FT_SetChars, Handle, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t)
FAKE_FUNCTION(FT_SetTimeouts, Handle, std::uint32_t, std::uint32_t)
FAKE_FUNCTION(FT_SetLatencyTimer, Handle, std::uint8_t)
FAKE_FUNCTION(FT_SetBitMode, Handle, std::uint8_t, std::uint8_t)
FAKE_FUNCTION(FT_GetDeviceInfo, Handle, std::uint32_t*, std::uint32_t*, char*, char*, void*)
FAKE_FUNCTION(FT_StopInTask, Handle)
FAKE_FUNCTION(FT_Purge, Handle, std::uint32_t)
FAKE_FUNCTION(FT_RestartInTask, Handle)
FAKE_FUNCTION(FT_Write, Handle, void*, std::uint32_t, std::uint32_t*)
#if !defined(FAKE_D2XX_WITHOUT_READ)
FAKE_FUNCTION(FT_Read, Handle, void*, std::uint32_t, std::uint32_t*)
#endif
