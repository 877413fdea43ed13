// Byte sequences written as hex text in tests: "80 02 03" (spaces optional
// between bytes), and back, so a failed comparison prints readable bytes; and
// MPSSE streams as named commands, one a line, so a failed comparison of two
// streams shows which command differs.
#pragma once

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "mpsse/MpsseStream.h"

namespace testing_support {

inline std::vector<std::uint8_t> hex(const std::string& text) {
    std::string digits;
    for (const char c : text)
        if (c != ' ' && c != '\n') digits += c;
    if (digits.size() % 2 != 0) throw std::invalid_argument(text);  // a typo in a test
    std::vector<std::uint8_t> bytes;
    for (std::size_t at = 0; at + 1 < digits.size(); at += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(digits.substr(at, 2), nullptr, 16)));
    return bytes;
}

inline std::string toHex(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char piece[4];
    for (const std::uint8_t byte : bytes) {
        std::snprintf(piece, sizeof piece, text.empty() ? "%02X" : " %02X", byte);
        text += piece;
    }
    return text;
}

inline std::string toCommands(const std::vector<std::uint8_t>& bytes) {
    return FTDI::Mpsse::describeStream(bytes);
}

}  // namespace testing_support
