// The D2XX C functions this driver exports, each a thin call into the one
// process-wide session over libftdi1. Names and signatures are the vendor's,
// so any D2XX host program can load this file in place of the vendor's.
#include <cstdint>

#include "D2xxSession.h"
#include "LibFtdiPort.h"

#define D2XX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using namespace FTDI::D2xx;

// Never destroyed: hosts may still close handles from their own static
// destructors, after ordinary statics of this library are gone.
usbdriver::D2xxSession& session() {
    static auto* instance = new usbdriver::D2xxSession(usbdriver::makeLibFtdiPort());
    return *instance;
}

}  // namespace

D2XX_EXPORT Status FT_CreateDeviceInfoList(std::uint32_t* count) {
    return session().createDeviceInfoList(count);
}

D2XX_EXPORT Status FT_GetDeviceInfoList(DeviceListNode* nodes, std::uint32_t* count) {
    return session().getDeviceInfoList(nodes, count);
}

D2XX_EXPORT Status FT_Open(int index, Handle* handle) {
    if (index < 0) return kDeviceNotFound;
    return session().openByIndex(static_cast<std::uint32_t>(index), handle);
}

D2XX_EXPORT Status FT_OpenEx(void* argument, std::uint32_t flags, Handle* handle) {
    // Only opening by serial number is offered; the library uses nothing else.
    if (flags != kOpenBySerialNumber) return kInvalidParameter;
    return session().openBySerialNumber(static_cast<const char*>(argument), handle);
}

D2XX_EXPORT Status FT_Close(Handle handle) {
    return session().close(handle);
}

D2XX_EXPORT Status FT_ResetDevice(Handle handle) {
    return session().resetDevice(handle);
}

D2XX_EXPORT Status FT_SetUSBParameters(Handle handle, std::uint32_t inSize, std::uint32_t outSize) {
    return session().setUsbParameters(handle, inSize, outSize);
}

D2XX_EXPORT Status FT_SetChars(Handle handle, std::uint8_t eventChar, std::uint8_t eventEnabled,
                               std::uint8_t errorChar, std::uint8_t errorEnabled) {
    return session().setChars(handle, eventChar, eventEnabled, errorChar, errorEnabled);
}

D2XX_EXPORT Status FT_SetTimeouts(Handle handle, std::uint32_t readMs, std::uint32_t writeMs) {
    return session().setTimeouts(handle, readMs, writeMs);
}

D2XX_EXPORT Status FT_SetLatencyTimer(Handle handle, std::uint8_t milliseconds) {
    return session().setLatencyTimer(handle, milliseconds);
}

D2XX_EXPORT Status FT_SetBitMode(Handle handle, std::uint8_t mask, std::uint8_t mode) {
    return session().setBitMode(handle, mask, mode);
}

D2XX_EXPORT Status FT_GetDeviceInfo(Handle handle, std::uint32_t* chipType, std::uint32_t* deviceId,
                                    char* serialNumber, char* description, void*) {
    return session().getDeviceInfo(handle, chipType, deviceId, serialNumber, description);
}

D2XX_EXPORT Status FT_StopInTask(Handle handle) {
    return session().stopInTask(handle);
}

D2XX_EXPORT Status FT_Purge(Handle handle, std::uint32_t mask) {
    return session().purge(handle, mask);
}

D2XX_EXPORT Status FT_RestartInTask(Handle handle) {
    return session().restartInTask(handle);
}

D2XX_EXPORT Status FT_GetQueueStatus(Handle handle, std::uint32_t* queued) {
    return session().getQueueStatus(handle, queued);
}

D2XX_EXPORT Status FT_Write(Handle handle, void* bytes, std::uint32_t count,
                            std::uint32_t* written) {
    return session().write(handle, bytes, count, written);
}

D2XX_EXPORT Status FT_Read(Handle handle, void* buffer, std::uint32_t count,
                           std::uint32_t* received) {
    return session().read(handle, buffer, count, received);
}
