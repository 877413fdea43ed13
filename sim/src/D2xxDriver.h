// What the D2XX driver does for each call, on the bench's devices: the status
// codes a real driver gives for bad handles, null pointers and unknown
// devices, the device list, the handles, and the faults armed on the bench.
// The caller holds the bench's mutex.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "ftdi/d2xx/D2xxAbi.h"
#include "mdiosim/Bench.h"

namespace mdiosim::d2xx {

using FTDI::D2xx::DeviceListNode;
using FTDI::D2xx::Handle;
using FTDI::D2xx::Status;

// FT_OpenEx and FT_ListDevices flags besides open-by-serial-number.
inline constexpr std::uint32_t kOpenByDescription = 2;
inline constexpr std::uint32_t kOpenByLocation = 4;
inline constexpr std::uint32_t kListAll = 0x20000000;
inline constexpr std::uint32_t kListByIndex = 0x40000000;
inline constexpr std::uint32_t kListNumberOnly = 0x80000000;

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

// The calls programs commonly make besides those above.
Status open(Bench& bench, int deviceNumber, Handle* handle);
Status listDevices(Bench& bench, void* first, void* second, std::uint32_t flags);
Status getQueueStatus(Bench& bench, Handle handle, std::uint32_t* received);
Status getStatus(Bench& bench, Handle handle, std::uint32_t* received, std::uint32_t* transmitting,
                 std::uint32_t* events);
Status getBitMode(Bench& bench, Handle handle, std::uint8_t* pins);
Status setBaudRate(Bench& bench, Handle handle, std::uint32_t baudRate);
Status setDataCharacteristics(Bench& bench, Handle handle, std::uint8_t wordLength,
                              std::uint8_t stopBits, std::uint8_t parity);
Status setFlowControl(Bench& bench, Handle handle, std::uint16_t flowControl, std::uint8_t xon,
                      std::uint8_t xoff);
Status setDeadmanTimeout(Bench& bench, Handle handle, std::uint32_t milliseconds);
Status getLibraryVersion(Bench& bench, std::uint32_t* version);
Status getDriverVersion(Bench& bench, Handle handle, std::uint32_t* version);
// What a bench cannot do (programming the chip's own EEPROM, event
// notification): FT_NOT_SUPPORTED on a good handle.
Status unsupported(Bench& bench, Handle handle);

// --- shared by the driver's files
// What the device list and FT_GetDeviceInfo report for a chip type.
bool isHighSpeed(std::uint32_t chipType);
std::uint32_t deviceId(std::uint32_t chipType);
std::uint32_t locationOf(const Board& board);
// Copies a string into a fixed-size driver field, always terminated.
void copyField(char* field, std::size_t size, const std::string& value);
// Opens `board` for this process (FT_Open, FT_OpenEx): the checks and the handle.
Status claim(Bench& bench, Board* board, Handle* handle);

}  // namespace mdiosim::d2xx
