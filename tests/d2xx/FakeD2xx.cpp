// A minimal D2XX-compatible library: two devices, and a loopback pipe that
// returns every byte written. Just enough to prove the run-time loader.
#include <cstring>
#include <deque>

#include "ftdi/d2xx/D2xxAbi.h"

#if defined(_WIN32)
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

using namespace FTDI::D2xx;

namespace {
std::deque<std::uint8_t> loopback;
int handleToken = 0;
}  // namespace

FAKE_EXPORT Status FT_CreateDeviceInfoList(std::uint32_t* count) {
    *count = 2;
    return kOk;
}

FAKE_EXPORT Status FT_GetDeviceInfoList(DeviceListNode* nodes, std::uint32_t* count) {
    std::memset(nodes, 0, sizeof(DeviceListNode) * *count);
    std::strcpy(nodes[0].SerialNumber, "FAKE1");
    std::strcpy(nodes[0].Description, "K8U MDIO");
    std::strcpy(nodes[1].SerialNumber, "FAKE2B");
    std::strcpy(nodes[1].Description, "Talvik");
    *count = 2;
    return kOk;
}

FAKE_EXPORT Status FT_OpenEx(void* serial, std::uint32_t flags, Handle* handle) {
    if (flags != kOpenBySerialNumber || std::strcmp(static_cast<char*>(serial), "FAKE1") != 0) {
        return kDeviceNotFound;
    }
    *handle = &handleToken;
    return kOk;
}

FAKE_EXPORT Status FT_Close(Handle) {
    return kOk;
}
FAKE_EXPORT Status FT_ResetDevice(Handle) {
    return kOk;
}
FAKE_EXPORT Status FT_SetUSBParameters(Handle, std::uint32_t, std::uint32_t) {
    return kOk;
}
FAKE_EXPORT Status FT_SetChars(Handle, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) {
    return kOk;
}
FAKE_EXPORT Status FT_SetTimeouts(Handle, std::uint32_t, std::uint32_t) {
    return kOk;
}
FAKE_EXPORT Status FT_SetLatencyTimer(Handle, std::uint8_t) {
    return kOk;
}
FAKE_EXPORT Status FT_SetBitMode(Handle, std::uint8_t, std::uint8_t) {
    return kOk;
}
FAKE_EXPORT Status FT_GetDeviceInfo(Handle, std::uint32_t* type, std::uint32_t* id, char*, char*,
                                    void*) {
    *type = kChipTypeFt232h;
    *id = 0x04036014;
    return kOk;
}
FAKE_EXPORT Status FT_StopInTask(Handle) {
    return kOk;
}
FAKE_EXPORT Status FT_Purge(Handle, std::uint32_t) {
    return kOk;
}
FAKE_EXPORT Status FT_RestartInTask(Handle) {
    return kOk;
}

FAKE_EXPORT Status FT_Write(Handle, void* buffer, std::uint32_t count, std::uint32_t* written) {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    loopback.insert(loopback.end(), bytes, bytes + count);
    *written = count;
    return kOk;
}

#if !defined(FAKE_D2XX_WITHOUT_READ)
FAKE_EXPORT Status FT_Read(Handle, void* buffer, std::uint32_t count, std::uint32_t* received) {
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    std::uint32_t n = 0;
    while (n < count && !loopback.empty()) {
        bytes[n++] = loopback.front();
        loopback.pop_front();
    }
    *received = n;
    return kOk;
}
#endif
