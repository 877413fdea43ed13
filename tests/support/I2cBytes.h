// The MPSSE bytes of I2C bus conditions and byte transfers, written out as
// hex text for tests that compare whole transfers. They are spelled here, not
// taken from the library, so a wrong piece in the library cannot agree with
// itself.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>

namespace testing_support::i2c {

inline std::string times(const std::string& piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += piece;
    return text;
}

inline std::string byteText(std::uint8_t byte) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

const std::string kIdle = "80 03 03 ";
const std::string kStart = times("80 01 03 ", 4) + times("80 00 03 ", 4);
const std::string kStop = times("80 00 03 ", 4) + times("80 01 03 ", 4) + times("80 03 03 ", 4);
const std::string kTrailer = "87 80 03 03";  // send immediate, lines released

inline std::string writeByte(std::uint8_t byte) {
    return "11 00 00 " + byteText(byte) + " 80 02 03 22 00 ";
}
inline std::string writeBytes(std::initializer_list<std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes)
        text += writeByte(byte);
    return text;
}
inline std::string readByte(bool more) {
    return std::string("20 00 00 13 00 ") + (more ? "00" : "FF") + " 80 02 03 ";
}

}  // namespace testing_support::i2c
