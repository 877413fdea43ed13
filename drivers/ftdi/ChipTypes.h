// What a chip's USB release number (bcdDevice) says about it: the D2XX chip
// type and how many interfaces (channels A, B, ...) it has.
#pragma once

#include <cstdint>

namespace usbdriver {

// D2XX chip types (FT_DEVICE_*), in the vendor's numbering.
inline constexpr std::uint32_t kChipBm = 0;
inline constexpr std::uint32_t kChipAm = 1;
inline constexpr std::uint32_t kChipUnknown = 3;
inline constexpr std::uint32_t kChip2232c = 4;
inline constexpr std::uint32_t kChip232r = 5;
inline constexpr std::uint32_t kChip2232h = 6;
inline constexpr std::uint32_t kChip4232h = 7;
inline constexpr std::uint32_t kChip232h = 8;
inline constexpr std::uint32_t kChipXSeries = 9;

struct ChipKind {
    std::uint32_t type;
    unsigned interfaces;
};

ChipKind chipKind(std::uint16_t releaseNumber);

}  // namespace usbdriver
