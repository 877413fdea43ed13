#include "ftdi/ClockRate.h"

#include <cctype>
#include <cstdio>
#include <limits>
#include <optional>
#include <stdexcept>

#include "base/EnvironmentVariable.h"

namespace FTDI::K8 {

namespace {

// Reads the text as a 32-bit unsigned long is read: leading blanks, an
// optional sign, decimal digits up to the first non-digit. A minus sign
// negates modulo 2^32, so "-1" is 4294967295 on every platform, as on 64-bit
// Windows whose long has 32 bits; a magnitude beyond 32 bits does not fit.
std::optional<std::uint32_t> parseUnsigned32(const std::string& text) {
    const std::size_t start = text.find_first_not_of(" \t\n\v\f\r");
    if (start == std::string::npos) return std::nullopt;
    const bool negative = text[start] == '-';
    const std::size_t digits = (negative || text[start] == '+') ? start + 1 : start;
    if (digits >= text.size() || !std::isdigit(static_cast<unsigned char>(text[digits])))
        return std::nullopt;
    unsigned long long magnitude = 0;
    try {
        magnitude = std::stoull(text.substr(digits));
    } catch (const std::out_of_range&) {
        return std::nullopt;
    }
    if (magnitude > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    const auto value = static_cast<std::uint32_t>(magnitude);
    return negative ? static_cast<std::uint32_t>(0u - value) : value;
}

}  // namespace

std::uint32_t clockRateFromEnvironment(const std::string& variableName, std::uint32_t defaultRate) {
    const std::optional<std::string> value = environmentVariable(variableName.c_str());
    if (!value) return defaultRate;
    if (const std::optional<std::uint32_t> rate = parseUnsigned32(*value)) return *rate;
    const std::string warning = variableName + ": value not an integer, ignored: " + *value + "\n";
    std::fputs(warning.c_str(), stderr);
    std::fflush(stderr);
    return defaultRate;
}

}  // namespace FTDI::K8
