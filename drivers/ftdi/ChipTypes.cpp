#include "ChipTypes.h"

namespace usbdriver {

ChipKind chipKind(std::uint16_t releaseNumber) {
    // The chip family sits in the release number's high byte; the low byte
    // is a revision the driver does not care about.
    switch (releaseNumber & 0xFF00) {
        case 0x0200:
            return {kChipAm, 1};
        case 0x0400:
            return {kChipBm, 1};
        case 0x0500:
            return {kChip2232c, 2};
        case 0x0600:
            return {kChip232r, 1};
        case 0x0700:
            return {kChip2232h, 2};
        case 0x0800:
            return {kChip4232h, 4};
        case 0x0900:
            return {kChip232h, 1};
        case 0x1000:
            return {kChipXSeries, 1};
        default:
            return {kChipUnknown, 1};
    }
}

}  // namespace usbdriver
