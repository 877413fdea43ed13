// The UsbPort over libftdi1 (and libusb beneath it): enumeration of the
// FTDI product ids libftdi1 knows, and one libftdi1 context per open
// interface. libftdi1 reports many failures as its own negative numbers;
// this file turns each into the libusb error that caused it, asking the
// device when libftdi1 no longer says.
#pragma once

#include <memory>

#include "UsbPort.h"

namespace usbdriver {

std::unique_ptr<UsbPort> makeLibFtdiPort();

// libftdi1's answers from ftdi_usb_open_bus_addr() as libusb errors.
int openFailureCause(int libftdiResult);

}  // namespace usbdriver
