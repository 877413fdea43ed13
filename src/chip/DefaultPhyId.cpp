#include "chip/DefaultPhyId.h"

namespace mdiohost::chip {
namespace {

std::uint32_t gDefaultPhyId = 0;

}  // namespace

std::uint32_t defaultPhyId() {
    return gDefaultPhyId;
}

void setDefaultPhyId(std::uint32_t phyId) {
    gDefaultPhyId = phyId;
}

}  // namespace mdiohost::chip
