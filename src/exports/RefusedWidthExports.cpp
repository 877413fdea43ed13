// Exports for register widths the chip's MDIO paths do not carry (8, 16 and
// 64 bits). They exist so that hosts written against the full function list
// link, and they refuse every call by throwing std::runtime_error to the
// host: they are not guarded and record nothing. Their arguments mirror the
// 32-bit function of the same family with a value of the stated width.
#include <cstdint>
#include <stdexcept>

#include "mdiohost.h"
#include "registry/TalvikControl.h"

namespace {

[[noreturn]] void refuse(const char* message) {
    throw std::runtime_error(message);
}

}  // namespace

extern "C" {

MDIOHOST_API void HW_API_Write8(uint32_t, uint32_t, uint8_t) {
    refuse("Error: ZM_API_Write8() is not supported.");
}

MDIOHOST_API void HW_API_Write16(uint32_t, uint32_t, uint16_t) {
    refuse("Error: ZM_API_Write16() is not supported.");
}

MDIOHOST_API uint8_t HW_API_Read8(uint32_t, uint32_t) {
    refuse("Error: ZM_API_Read8() is not supported.");
}

MDIOHOST_API uint16_t HW_API_Read16(uint32_t, uint32_t) {
    refuse("Error: ZM_API_Read16() is not supported.");
}

MDIOHOST_API void HW_API_Write64(uint32_t, uint32_t, uint64_t) {
    refuse("Error: ZM_API_Write64() is not supported.");
}

MDIOHOST_API uint64_t HW_API_Read64(uint32_t, uint32_t) {
    refuse("Error: ZM_API_Read64() is not supported.");
}

MDIOHOST_API void HW_Write8(uint32_t, uint32_t, uint32_t, uint8_t) {
    refuse("Error: HW_Write8() is not supported.");
}

MDIOHOST_API void HW_Write16(uint32_t, uint32_t, uint32_t, uint16_t) {
    refuse("Error: HW_Write16() is not supported.");
}

MDIOHOST_API uint8_t HW_Read8(uint32_t, uint32_t, uint32_t) {
    refuse("Error: HW_Read8() is not supported.");
}

MDIOHOST_API uint16_t HW_Read16(uint32_t, uint32_t, uint32_t) {
    refuse("Error: HW_Read16() is not supported.");
}

MDIOHOST_API void HW_Write64(uint32_t, uint32_t, uint32_t, uint64_t) {
    refuse("Error: HW_Write64() is not supported.");
}

MDIOHOST_API uint64_t HW_Read64(uint32_t, uint32_t, uint32_t) {
    refuse("Error: HW_Read64() is not supported.");
}

MDIOHOST_API void HW_BlockRead64Adapter(uint32_t, uint32_t, uint32_t) {
    refuse("Error: HW_BlockRead64Adapter() is not supported.");
}

MDIOHOST_API void HW_BlockWrite64Adapter(uint32_t, uint32_t, uint32_t, uint64_t) {
    refuse("Error: HW_BlockWrite64Adapter() is not supported.");
}

// The default-adapter forms hand the default adapter to the adapter form.
MDIOHOST_API void HW_BlockRead64(uint32_t phy, uint32_t address) {
    HW_BlockRead64Adapter(registry().defaultAdapter, phy, address);
}

MDIOHOST_API void HW_BlockWrite64(uint32_t phy, uint32_t address, uint64_t value) {
    HW_BlockWrite64Adapter(registry().defaultAdapter, phy, address, value);
}

MDIOHOST_API void ZM_API_BlockRead64(uint32_t phy, uint32_t address) {
    HW_BlockRead64(phy, address);
}

MDIOHOST_API void ZM_API_BlockWrite64(uint32_t phy, uint32_t address, uint64_t value) {
    HW_BlockWrite64(phy, address, value);
}

}  // extern "C"
