// Text for each D2XX status code, as the host sees it in failure messages.
#pragma once

#include <cstdint>
#include <string>

namespace FTDI {

// The text of a driver status code; the empty string for a code the driver
// does not define.
const std::string& statusText(std::uint32_t status);

}  // namespace FTDI
