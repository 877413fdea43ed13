// How a failed driver call becomes an exception: the adapter, what was being
// done, and the driver's own text for its status.
#pragma once

#include <cstdint>
#include <string>

#include "base/Exceptions.h"

namespace FTDI::Exceptions {

// Throws DeviceConnection with "context: action", followed by ": " and the
// driver's text for `status` unless the status is 0 (success).
[[noreturn]] void throwDeviceConnection(const std::string& context, const std::string& action,
                                        std::uint32_t status);

}  // namespace FTDI::Exceptions
