#include "StatusMapping.h"

#include <libusb.h>

namespace usbdriver {

using namespace FTDI::D2xx;

Status d2xxStatus(int usbError, UsbStep step) {
    if (usbError >= 0) return kOk;
    const bool onOpenHandle = step == UsbStep::Transfer;
    switch (usbError) {
        case LIBUSB_ERROR_IO:
        case LIBUSB_ERROR_TIMEOUT:
        case LIBUSB_ERROR_OVERFLOW:
        case LIBUSB_ERROR_PIPE:
        case LIBUSB_ERROR_INTERRUPTED:
            return kIoError;
        case LIBUSB_ERROR_INVALID_PARAM:
            return kInvalidParameter;
        // No permission on the device node, or another program (or the kernel)
        // holds the interface: the device is there but cannot be opened.
        case LIBUSB_ERROR_ACCESS:
        case LIBUSB_ERROR_BUSY:
            return kDeviceNotOpened;
        // A device that went away: an open handle reads it as an I/O error, as
        // the vendor driver reports an unplug; before opening it is not found.
        case LIBUSB_ERROR_NO_DEVICE:
        case LIBUSB_ERROR_NOT_FOUND:
            return onOpenHandle ? kIoError : kDeviceNotFound;
        case LIBUSB_ERROR_NO_MEM:
            return kInsufficientResources;
        case LIBUSB_ERROR_NOT_SUPPORTED:
            return kNotSupported;
        default:
            return kOtherError;
    }
}

}  // namespace usbdriver
