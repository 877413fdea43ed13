// The fixed tables of the libftdi1 driver: libusb errors to D2XX statuses at
// each step, libftdi1's open failures to their libusb cause, and release
// numbers to chip types.
#include <gtest/gtest.h>
#include <libusb.h>

#include "ChipTypes.h"
#include "LibFtdiPort.h"
#include "StatusMapping.h"

using namespace usbdriver;
using namespace FTDI::D2xx;

TEST(StatusMapping, EveryLibusbErrorAtEveryStep) {
    struct Row {
        int error;
        Status enumerate, open, transfer;
    };
    const Row rows[] = {
        {LIBUSB_SUCCESS, kOk, kOk, kOk},
        {5, kOk, kOk, kOk},  // a byte count is success
        {LIBUSB_ERROR_IO, kIoError, kIoError, kIoError},
        {LIBUSB_ERROR_INVALID_PARAM, kInvalidParameter, kInvalidParameter, kInvalidParameter},
        {LIBUSB_ERROR_ACCESS, kDeviceNotOpened, kDeviceNotOpened, kDeviceNotOpened},
        // Unplugged: not found before opening, the vendor's I/O error on a handle.
        {LIBUSB_ERROR_NO_DEVICE, kDeviceNotFound, kDeviceNotFound, kIoError},
        {LIBUSB_ERROR_NOT_FOUND, kDeviceNotFound, kDeviceNotFound, kIoError},
        {LIBUSB_ERROR_BUSY, kDeviceNotOpened, kDeviceNotOpened, kDeviceNotOpened},
        {LIBUSB_ERROR_TIMEOUT, kIoError, kIoError, kIoError},
        {LIBUSB_ERROR_OVERFLOW, kIoError, kIoError, kIoError},
        {LIBUSB_ERROR_PIPE, kIoError, kIoError, kIoError},
        {LIBUSB_ERROR_INTERRUPTED, kIoError, kIoError, kIoError},
        {LIBUSB_ERROR_NO_MEM, kInsufficientResources, kInsufficientResources,
         kInsufficientResources},
        {LIBUSB_ERROR_NOT_SUPPORTED, kNotSupported, kNotSupported, kNotSupported},
        {LIBUSB_ERROR_OTHER, kOtherError, kOtherError, kOtherError},
        {-13, kOtherError, kOtherError, kOtherError},  // a code libusb does not define
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.error);
        EXPECT_EQ(d2xxStatus(row.error, UsbStep::Enumerate), row.enumerate);
        EXPECT_EQ(d2xxStatus(row.error, UsbStep::Open), row.open);
        EXPECT_EQ(d2xxStatus(row.error, UsbStep::Transfer), row.transfer);
    }
}

TEST(StatusMapping, LibftdiOpenFailuresNameTheirCause) {
    const std::pair<int, int> rows[] = {
        {-3, LIBUSB_ERROR_NOT_FOUND}, {-4, LIBUSB_ERROR_ACCESS}, {-5, LIBUSB_ERROR_BUSY},
        {-6, LIBUSB_ERROR_IO},        {-7, LIBUSB_ERROR_IO},     {-11, LIBUSB_ERROR_INVALID_PARAM},
        {-1, LIBUSB_ERROR_OTHER},     {-12, LIBUSB_ERROR_OTHER},
    };
    for (const auto& [libftdi, libusb] : rows) {
        EXPECT_EQ(openFailureCause(libftdi), libusb) << libftdi;
    }
    // What the host finally sees for the common ones.
    EXPECT_EQ(d2xxStatus(openFailureCause(-5), UsbStep::Open), kDeviceNotOpened);
    EXPECT_EQ(d2xxStatus(openFailureCause(-3), UsbStep::Open), kDeviceNotFound);
}

TEST(ChipTypes, ReleaseNumberGivesTypeAndChannels) {
    struct Row {
        std::uint16_t release;
        std::uint32_t type;
        unsigned interfaces;
    };
    const Row rows[] = {
        {0x0200, kChipAm, 1},      {0x0400, kChipBm, 1},
        {0x0500, kChip2232c, 2},   {0x0600, kChip232r, 1},
        {0x0700, kChip2232h, 2},   {0x0800, kChip4232h, 4},
        {0x0900, kChip232h, 1},    {0x1000, kChipXSeries, 1},
        {0x0905, kChip232h, 1},  // a revision in the low byte changes nothing
        {0x08FF, kChip4232h, 4},   {0x0A00, kChipUnknown, 1},
        {0x0000, kChipUnknown, 1}, {0x0100, kChipUnknown, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.release);
        const ChipKind kind = chipKind(row.release);
        EXPECT_EQ(kind.type, row.type);
        EXPECT_EQ(kind.interfaces, row.interfaces);
    }
    // The bench and the library agree on the FT232H's number.
    EXPECT_EQ(kChip232h, kChipTypeFt232h);
}
