// The D2XX functions' state over a UsbPort: the device list of the last
// enumeration, the open handles, and how reads, writes and purges on a
// handle become USB requests. One object serves the whole process; every
// call takes its mutex, so the functions may be called from any thread.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "DeviceList.h"
#include "UsbPort.h"
#include "ftdi/d2xx/D2xxAbi.h"

namespace usbdriver {

using FTDI::D2xx::DeviceListNode;
using FTDI::D2xx::Handle;
using FTDI::D2xx::Status;

// The vendor driver's transfer size until FT_SetUSBParameters changes it.
inline constexpr std::uint32_t kDefaultTransferSize = 4096;
// How much FT_GetQueueStatus collects from the chip ahead of the reads.
inline constexpr std::size_t kQueueCapacity = 65536;

class D2xxSession {
  public:
    explicit D2xxSession(std::unique_ptr<UsbPort> port);

    Status createDeviceInfoList(std::uint32_t* count);
    Status getDeviceInfoList(DeviceListNode* nodes, std::uint32_t* count);
    Status openBySerialNumber(const char* serialNumber, Handle* handle);
    Status openByIndex(std::uint32_t index, Handle* handle);
    Status close(Handle handle);

    Status resetDevice(Handle handle);
    Status purge(Handle handle, std::uint32_t mask);
    Status setBitMode(Handle handle, std::uint8_t mask, std::uint8_t mode);
    Status setLatencyTimer(Handle handle, std::uint8_t milliseconds);
    Status setChars(Handle handle, std::uint8_t eventChar, std::uint8_t eventEnabled,
                    std::uint8_t errorChar, std::uint8_t errorEnabled);
    Status setUsbParameters(Handle handle, std::uint32_t inBytes, std::uint32_t outBytes);
    Status setTimeouts(Handle handle, std::uint32_t readMs, std::uint32_t writeMs);
    Status getDeviceInfo(Handle handle, std::uint32_t* chipType, std::uint32_t* deviceId,
                         char* serialNumber, char* description);
    Status stopInTask(Handle handle);
    Status restartInTask(Handle handle);
    Status getQueueStatus(Handle handle, std::uint32_t* queued);

    Status write(Handle handle, const void* bytes, std::uint32_t count, std::uint32_t* written);
    // Returns when `count` bytes arrived or the read time-out passed, with
    // what arrived by then: a short count is success, as the vendor driver has it.
    Status read(Handle handle, void* buffer, std::uint32_t count, std::uint32_t* received);

  private:
    struct OpenDevice {
        ListedDevice device;
        std::unique_ptr<UsbLink> link;
        std::uint32_t readTimeoutMs = 0;
        std::uint32_t outTransferSize = kDefaultTransferSize;
        bool inTaskStopped = false;
        std::vector<std::uint8_t> queued;  // collected by FT_GetQueueStatus, not yet read
    };

    Status openListed(const ListedDevice& device, Handle* handle);
    OpenDevice* find(Handle handle);
    // The frame of every call on a handle: unknown handles are refused.
    template <typename Work>
    Status onHandle(Handle handle, Work work);
    Status refreshList();
    Status collect(OpenDevice& open);

    std::mutex mutex;
    std::unique_ptr<UsbPort> usb;
    std::vector<ListedDevice> listed;
    std::map<std::uintptr_t, OpenDevice> handles;
    std::uintptr_t nextHandle = 0x1000;
};

}  // namespace usbdriver
