// Byte sequences written as hex text in tests: "80 02 03" (spaces optional
// between bytes), and back, so a failed comparison prints readable bytes.
#pragma once

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace testing_support {

inline std::vector<std::uint8_t> hex(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    std::string digits;
    for (const char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) throw std::invalid_argument(text);
        digits += c;
        if (digits.size() == 2) {
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(digits, nullptr, 16)));
            digits.clear();
        }
    }
    if (!digits.empty()) throw std::invalid_argument(text);
    return bytes;
}

inline std::string toHex(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        char piece[4];
        std::snprintf(piece, sizeof piece, "%02X", byte);
        if (!text.empty()) text += ' ';
        text += piece;
    }
    return text;
}

}  // namespace testing_support
