// The D2XX status for each libusb error code. Where a code means different
// things at different steps (a device gone is "not found" when opening it,
// but an I/O error on a handle that was open, as the vendor driver reports
// an unplug), the step decides.
#pragma once

#include "ftdi/d2xx/D2xxAbi.h"

namespace usbdriver {

enum class UsbStep {
    Enumerate,  // listing devices and reading their strings
    Open,       // opening and claiming an interface
    Transfer,   // any request on an open interface
};

FTDI::D2xx::Status d2xxStatus(int usbError, UsbStep step);

}  // namespace usbdriver
