#include "ftdi/d2xx/StatusText.h"

#include <map>

#include "ftdi/d2xx/D2xxAbi.h"

namespace FTDI {
namespace {

using namespace FTDI::D2xx;

// Built at the first look-up and never destroyed: a status LED's thread of an
// adapter the host left open may still be failing a write, and asking for
// its text, while the process ends and static objects are torn down.
const std::map<std::uint32_t, std::string>& statusTexts() {
    static const auto* texts = new std::map<std::uint32_t, std::string>{
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
    return *texts;
}

}  // namespace

const std::string& statusText(std::uint32_t status) {
    static const auto* noText = new std::string();
    const auto found = statusTexts().find(status);
    return found == statusTexts().end() ? *noText : found->second;
}

}  // namespace FTDI
