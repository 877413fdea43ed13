// The PHY argument of the ZM_API_ functions. With bit 31 set it names an
// adapter in bits 30..16 and a PHY address in bits 15..0; without it, the
// whole value is a PHY address on the default adapter.
#pragma once

#include <cstdint>

namespace mdiohost::chip {

inline constexpr std::uint32_t kQualifiedFlag = 0x80000000u;
inline constexpr std::uint32_t kQualifiedAdapterShift = 16;
inline constexpr std::uint32_t kQualifiedAdapterMask = 0x7FFF;
inline constexpr std::uint32_t kQualifiedPhyMask = 0xFFFF;

struct QualifiedPhyId {
    std::uint32_t adapter;
    std::uint32_t phyId;
};

constexpr bool isQualified(std::uint32_t qualifiedPhyId) {
    return (qualifiedPhyId & kQualifiedFlag) != 0;
}

// Where an access with this PHY argument goes when `defaultAdapter` is the
// default adapter.
constexpr QualifiedPhyId decodeQualifiedPhyId(std::uint32_t qualifiedPhyId,
                                              std::uint32_t defaultAdapter) {
    if (!isQualified(qualifiedPhyId)) return {defaultAdapter, qualifiedPhyId};
    return {(qualifiedPhyId >> kQualifiedAdapterShift) & kQualifiedAdapterMask,
            qualifiedPhyId & kQualifiedPhyMask};
}

}  // namespace mdiohost::chip
