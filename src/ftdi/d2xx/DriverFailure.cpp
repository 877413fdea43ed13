#include "ftdi/d2xx/DriverFailure.h"

#include "ftdi/d2xx/StatusText.h"

namespace FTDI::Exceptions {

void throwDeviceConnection(const std::string& context, const std::string& action,
                           std::uint32_t status) {
    std::string detail = context + ": " + action;
    if (status != 0) detail += ": " + statusText(status);
    throw DeviceConnection(detail);
}

}  // namespace FTDI::Exceptions
