#include "ftdi/d2xx/StatusText.h"

#include <map>

#include "ftdi/d2xx/D2xxAbi.h"

namespace FTDI {
namespace {

using namespace FTDI::D2xx;

// Filled when the library loads, before any export can run.
const std::map<std::uint32_t, std::string> kStatusTexts{
    {kOk, "Ok."},
    {kInvalidHandle, "Invalid handle."},
    {kDeviceNotFound, "Device not found."},
    {kDeviceNotOpened, "Device not opened."},
    {kIoError, "IO Error."},
    {kInsufficientResources, "Insufficient resources."},
    {kInvalidParameter, "Invalid parameter."},
    {kInvalidBaudRate, "Invalid baud rate."},
    {kDeviceNotOpenedForErase, "Device not opened for erase."},
    {kDeviceNotOpenedForWrite, "Device not opened for write."},
    {kFailedToWriteDevice, "Failed to write to device."},
    {kEepromReadFailed, "EEPROM read failed."},
    {kEepromWriteFailed, "EEPROM write failed."},
    {kEepromEraseFailed, "EEPROM erase failed."},
    // The driver's own wording, typo included: hosts match on it.
    {kEepromNotPresent, "EEPROM net present."},
    {kEepromNotProgrammed, "EEPROM not programmed."},
    {kInvalidArgs, "Invalid arguments."},
    {kNotSupported, "Not supported."},
    {kOtherError, "Unknown error."},
    {kDeviceListNotReady, "Device list not ready."},
};

const std::string kNoText;

}  // namespace

const std::string& statusText(std::uint32_t status) {
    const auto found = kStatusTexts.find(status);
    return found == kStatusTexts.end() ? kNoText : found->second;
}

}  // namespace FTDI
