#include "EmulatedUsbBus.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "mdiosim/Bench.h"

namespace e2e {
namespace {

// What a kernel that offers bulk transfers of any size reports.
constexpr std::uint32_t kCapabilities = USBDEVFS_CAP_BULK_CONTINUATION |
                                        USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                                        USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
constexpr const char* kSerialDriver = "ftdi_sio";
constexpr std::size_t kSetupSize = 8;
constexpr std::uint8_t kEndpointIn = 0x80;
constexpr const char* kPreloadLibrary = "libumockdev-preload.so.0";

std::string hexText(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char digits[3];
    for (const std::uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        text += digits;
    }
    return text;
}

mdiosim::UsbSetup setupOf(const std::uint8_t* bytes) {
    return {bytes[0], bytes[1], static_cast<std::uint16_t>(bytes[2] | (bytes[3] << 8)),
            static_cast<std::uint16_t>(bytes[4] | (bytes[5] << 8)),
            static_cast<std::uint16_t>(bytes[6] | (bytes[7] << 8))};
}

// The kernel's answer to a request the device did not take.
int urbStatusOf(const mdiosim::UsbAnswer& answer) {
    return answer.outcome == mdiosim::UsbOutcome::Stall ? -EPIPE : 0;
}

}  // namespace

EmulatedUsbBus::EmulatedUsbBus()
    : testbed(umockdev_testbed_new()), handler(umockdev_ioctl_base_new()) {
    g_signal_connect_after(handler, "handle-ioctl", G_CALLBACK(&EmulatedUsbBus::onIoctl), this);
}

EmulatedUsbBus::~EmulatedUsbBus() {
    for (auto& [node, device] : devices) {
        for (UMockdevIoctlData* urb : device.completed)
            umockdev_ioctl_data_unref(urb);
    }
    g_object_unref(handler);
    g_object_unref(testbed);
}

void EmulatedUsbBus::plug(const std::string& serialNumber, unsigned bus) {
    char node[64];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03u/001", bus);
    const std::string sysfsPath = "/sys/devices/usb" + std::to_string(bus);
    auto face = std::make_unique<mdiosim::UsbFace>(serialNumber);
    const std::string descriptors = hexText(face->descriptors());
    const unsigned interfaces = face->interfaceCount();
    const bool highSpeed = face->highSpeed();
    {
        std::lock_guard lock(mutex);
        Device& device = devices[node];
        device.serialNumber = serialNumber;
        device.sysfsPath = sysfsPath;
        device.face = std::move(face);
        device.driverBound.assign(interfaces, true);
        device.unplugAfter.reset();
    }
    mdiosim::bench()->board(serialNumber).replug();
    // The handler first, so that libusb can open the node as soon as it sees it.
    umockdev_testbed_detach_ioctl(testbed, node, nullptr);
    if (!umockdev_testbed_attach_ioctl(testbed, node, handler, nullptr))
        throw std::runtime_error(std::string("cannot emulate ") + node);
    char busText[8];
    std::snprintf(busText, sizeof busText, "%03u", bus);
    const std::string description =
        "P: /devices/usb" + std::to_string(bus) + "\nN: " + std::string(node + 5) +
        "\nE: SUBSYSTEM=usb\nE: DRIVER=usb\nE: BUSNUM=" + busText +
        "\nE: DEVNUM=001\nE: DEVNAME=" + node +
        "\nE: DEVTYPE=usb_device\nA: bConfigurationValue=1\\n\nA: busnum=" + std::to_string(bus) +
        "\\n\nA: devnum=1\\n\nA: speed=" + (highSpeed ? "480" : "12") +
        "\\n\nH: descriptors=" + descriptors + "\n";
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed, description.c_str(), &error)) {
        const std::string message = error != nullptr ? error->message : "unknown";
        g_clear_error(&error);
        throw std::runtime_error("cannot add " + serialNumber + ": " + message);
    }
}

void EmulatedUsbBus::unplug(const std::string& serialNumber) {
    std::string sysfsPath;
    {
        std::lock_guard lock(mutex);
        Device* device = deviceNamed(serialNumber);
        if (device == nullptr) return;
        sysfsPath = device->sysfsPath;
    }
    mdiosim::bench()->board(serialNumber).unplug();
    umockdev_testbed_remove_device(testbed, sysfsPath.c_str());
}

void EmulatedUsbBus::unplugAfterBulkOut(const std::string& serialNumber, unsigned transfers) {
    std::lock_guard lock(mutex);
    if (Device* device = deviceNamed(serialNumber)) device->unplugAfter = transfers;
}

void EmulatedUsbBus::silence(const std::string& serialNumber, bool silent) {
    std::lock_guard lock(mutex);
    if (Device* device = deviceNamed(serialNumber)) device->silent = silent;
}

bool EmulatedUsbBus::kernelDriverBound(const std::string& serialNumber, unsigned interfaceIndex) {
    std::lock_guard lock(mutex);
    Device* device = deviceNamed(serialNumber);
    return device != nullptr && interfaceIndex < device->driverBound.size() &&
           device->driverBound[interfaceIndex];
}

EmulatedUsbBus::Device* EmulatedUsbBus::deviceNamed(const std::string& serialNumber) {
    for (auto& [node, device] : devices) {
        if (device.serialNumber == serialNumber) return &device;
    }
    return nullptr;
}

gboolean EmulatedUsbBus::onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    return static_cast<EmulatedUsbBus*>(self)->handle(client) ? TRUE : FALSE;
}

bool EmulatedUsbBus::handle(UMockdevIoctlClient* client) {
    std::lock_guard lock(mutex);
    const auto found = devices.find(umockdev_ioctl_client_get_devnode(client));
    if (found == devices.end()) return false;
    Device& device = found->second;
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* argument = umockdev_ioctl_client_get_arg(client);
    const bool plugged = mdiosim::bench()->board(device.serialNumber).plugged();

    switch (request) {
        case USBDEVFS_GET_CAPABILITIES: {
            UMockdevIoctlData* capabilities =
                umockdev_ioctl_data_resolve(argument, 0, sizeof(std::uint32_t), nullptr);
            std::memcpy(capabilities->data, &kCapabilities, sizeof kCapabilities);
            umockdev_ioctl_data_unref(capabilities);
            umockdev_ioctl_client_complete(client, 0, 0);
            return true;
        }
        case USBDEVFS_SUBMITURB:
            if (!plugged) {
                umockdev_ioctl_client_complete(client, -1, ENODEV);
                return true;
            }
            return submit(device, client);
        case USBDEVFS_REAPURB:
        case USBDEVFS_REAPURBNDELAY: {
            if (device.completed.empty()) {
                umockdev_ioctl_client_complete(client, -1, plugged ? EAGAIN : ENODEV);
                return true;
            }
            UMockdevIoctlData* urb = device.completed.front();
            device.completed.pop_front();
            UMockdevIoctlData* slot =
                umockdev_ioctl_data_resolve(argument, 0, sizeof(void*), nullptr);
            umockdev_ioctl_data_set_ptr(slot, 0, urb);
            umockdev_ioctl_client_complete(client, 0, 0);
            umockdev_ioctl_data_unref(slot);
            umockdev_ioctl_data_unref(urb);
            return true;
        }
        case USBDEVFS_DISCARDURB:
            // Every URB completes when it is submitted: nothing is in flight.
            umockdev_ioctl_client_complete(client, -1, EINVAL);
            return true;
        case USBDEVFS_DISCONNECT_CLAIM: {
            UMockdevIoctlData* claim = umockdev_ioctl_data_resolve(
                argument, 0, sizeof(usbdevfs_disconnect_claim), nullptr);
            const unsigned interfaceIndex =
                reinterpret_cast<usbdevfs_disconnect_claim*>(claim->data)->interface;
            umockdev_ioctl_data_unref(claim);
            if (interfaceIndex < device.driverBound.size())
                device.driverBound[interfaceIndex] = false;
            umockdev_ioctl_client_complete(client, plugged ? 0 : -1, plugged ? 0 : ENODEV);
            return true;
        }
        case USBDEVFS_IOCTL: {
            UMockdevIoctlData* command =
                umockdev_ioctl_data_resolve(argument, 0, sizeof(usbdevfs_ioctl), nullptr);
            const auto* inner = reinterpret_cast<usbdevfs_ioctl*>(command->data);
            const auto interfaceIndex = static_cast<unsigned>(inner->ifno);
            const int code = inner->ioctl_code;
            umockdev_ioctl_data_unref(command);
            if (interfaceIndex >= device.driverBound.size()) {
                umockdev_ioctl_client_complete(client, -1, EINVAL);
            } else if (code == USBDEVFS_DISCONNECT || code == USBDEVFS_CONNECT) {
                const bool bind = code == USBDEVFS_CONNECT;
                if (device.driverBound[interfaceIndex] == bind) {
                    umockdev_ioctl_client_complete(client, -1, bind ? EBUSY : ENODATA);
                } else {
                    device.driverBound[interfaceIndex] = bind;
                    umockdev_ioctl_client_complete(client, 0, 0);
                }
            } else {
                umockdev_ioctl_client_complete(client, -1, ENOTTY);
            }
            return true;
        }
        case USBDEVFS_GETDRIVER: {
            UMockdevIoctlData* query =
                umockdev_ioctl_data_resolve(argument, 0, sizeof(usbdevfs_getdriver), nullptr);
            auto* answer = reinterpret_cast<usbdevfs_getdriver*>(query->data);
            const bool bound = answer->interface < device.driverBound.size() &&
                               device.driverBound[answer->interface];
            if (bound) std::snprintf(answer->driver, sizeof answer->driver, "%s", kSerialDriver);
            umockdev_ioctl_data_unref(query);
            umockdev_ioctl_client_complete(client, bound ? 0 : -1, bound ? 0 : ENODATA);
            return true;
        }
        case USBDEVFS_CLAIMINTERFACE:
        case USBDEVFS_RELEASEINTERFACE:
        case USBDEVFS_SETCONFIGURATION:
        case USBDEVFS_SETINTERFACE:
        case USBDEVFS_CLEAR_HALT:
        case USBDEVFS_RESETEP:
        case USBDEVFS_RESET:
            umockdev_ioctl_client_complete(client, plugged ? 0 : -1, plugged ? 0 : ENODEV);
            return true;
        default:
            return false;
    }
}

bool EmulatedUsbBus::submit(Device& device, UMockdevIoctlClient* client) {
    UMockdevIoctlData* argument = umockdev_ioctl_client_get_arg(client);
    UMockdevIoctlData* urbData =
        umockdev_ioctl_data_resolve(argument, 0, sizeof(usbdevfs_urb), nullptr);
    auto* urb = reinterpret_cast<usbdevfs_urb*>(urbData->data);
    const auto length = static_cast<std::size_t>(urb->buffer_length);
    UMockdevIoctlData* buffer =
        umockdev_ioctl_data_resolve(urbData, offsetof(usbdevfs_urb, buffer), length, nullptr);
    std::uint8_t* bytes = buffer->data;

    mdiosim::UsbAnswer answer;
    if (urb->type == USBDEVFS_URB_TYPE_CONTROL && length >= kSetupSize) {
        answer = device.face->control(setupOf(bytes), bytes + kSetupSize);
    } else if (urb->type == USBDEVFS_URB_TYPE_BULK && (urb->endpoint & kEndpointIn) != 0) {
        // Two bytes of room: the status bytes alone, the data stays in the chip.
        answer = device.face->bulkIn(urb->endpoint, bytes, device.silent ? 2 : length);
    } else if (urb->type == USBDEVFS_URB_TYPE_BULK) {
        answer = device.face->bulkOut(urb->endpoint, bytes, length);
        if (device.unplugAfter && --*device.unplugAfter == 0) {
            device.unplugAfter.reset();
            mdiosim::bench()->board(device.serialNumber).unplug();
        }
    } else {
        answer.outcome = mdiosim::UsbOutcome::Stall;
    }
    umockdev_ioctl_data_unref(buffer);

    if (answer.outcome == mdiosim::UsbOutcome::NoDevice) {
        umockdev_ioctl_data_unref(urbData);
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return true;
    }
    urb->status = urbStatusOf(answer);
    urb->actual_length = static_cast<int>(answer.length);
    device.completed.push_back(urbData);
    umockdev_ioctl_client_complete(client, 0, 0);
    return true;
}

void runUnderUmockdev(char** argv) {
    // umockdev_in_mock_environment() answers for a running test bed only;
    // what matters here is the preload library, which only LD_PRELOAD brings.
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload != nullptr && std::strstr(preload, kPreloadLibrary) != nullptr) return;
    const std::string preloads = std::string("libumockdev-preload.so.0") +
                                 (preload != nullptr ? std::string(":") + preload : "");
    setenv("LD_PRELOAD", preloads.c_str(), 1);
    execv("/proc/self/exe", argv);
    std::perror("cannot run again under umockdev");
    std::exit(1);
}

}  // namespace e2e
