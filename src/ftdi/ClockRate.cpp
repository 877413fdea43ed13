#include "ftdi/ClockRate.h"

#include <cstdio>
#include <limits>
#include <optional>
#include <stdexcept>

#include "ftdi/EnvironmentVariable.h"

namespace FTDI::K8 {

std::uint32_t clockRateFromEnvironment(const std::string& variableName, std::uint32_t defaultRate) {
    const std::optional<std::string> value = environmentVariable(variableName.c_str());
    if (!value) return defaultRate;
    const std::string& text = *value;
    try {
        // 64-bit parsing on every platform, so "-1" (which wraps to a huge
        // number) is refused on Windows, whose long is 32 bits, as on Linux.
        const unsigned long long rate = std::stoull(text);
        if (rate <= std::numeric_limits<std::uint32_t>::max())
            return static_cast<std::uint32_t>(rate);
    } catch (const std::logic_error&) {
        // invalid_argument (no digits) and out_of_range both end up below.
    }
    const std::string warning = variableName + ": value not an integer, ignored: " + text + "\n";
    std::fputs(warning.c_str(), stderr);
    std::fflush(stderr);
    return defaultRate;
}

}  // namespace FTDI::K8
