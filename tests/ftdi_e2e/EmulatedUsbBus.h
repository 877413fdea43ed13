// Bench boards on an emulated USB bus: umockdev shows each board to libusb
// as a device in sysfs and /dev/bus/usb, and answers the usbfs requests on
// its device node (URB submit and reap, interface claims, kernel driver
// detach and attach) from the board's USB face. libusb, libftdi1 and the
// libftdi1 driver above them run their own code unchanged.
//
// The program must run with umockdev's preload library (see
// runUnderUmockdev); each board is alone on its own bus.
#pragma once

#include <umockdev.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "mdiosim/UsbFace.h"

namespace e2e {

class EmulatedUsbBus {
  public:
    EmulatedUsbBus();
    ~EmulatedUsbBus();
    EmulatedUsbBus(const EmulatedUsbBus&) = delete;
    EmulatedUsbBus& operator=(const EmulatedUsbBus&) = delete;

    // The bench board with this serial number appears on bus `bus`, with the
    // kernel's serial driver bound to each of its interfaces.
    void plug(const std::string& serialNumber, unsigned bus);
    // The board goes from the bench and from sysfs.
    void unplug(const std::string& serialNumber);
    // The board is pulled out electrically once `transfers` more bulk OUT
    // transfers reached it: the chip has the bytes, no answer comes back.
    void unplugAfterBulkOut(const std::string& serialNumber, unsigned transfers);
    // While silent, the chip's bulk IN packets carry the status bytes only:
    // the chip stops answering without leaving the bus.
    void silence(const std::string& serialNumber, bool silent);
    // Whether the kernel's serial driver holds interface `interfaceIndex`.
    bool kernelDriverBound(const std::string& serialNumber, unsigned interfaceIndex);

  private:
    struct Device {
        std::string serialNumber;
        std::string sysfsPath;
        std::unique_ptr<mdiosim::UsbFace> face;
        std::vector<bool> driverBound;
        std::deque<UMockdevIoctlData*> completed;  // URBs waiting to be reaped
        std::optional<unsigned> unplugAfter;
        bool silent = false;
    };

    static gboolean onIoctl(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, gpointer self);
    bool handle(UMockdevIoctlClient* client);
    bool submit(Device& device, UMockdevIoctlClient* client);
    Device* deviceNamed(const std::string& serialNumber);

    UMockdevTestbed* testbed;
    UMockdevIoctlBase* handler;
    std::mutex mutex;
    std::map<std::string, Device> devices;  // by device node
};

// Runs the program again with umockdev's preload library when it is not
// loaded yet; call first in main().
void runUnderUmockdev(char** argv);

}  // namespace e2e
