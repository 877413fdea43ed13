// The process-wide default PHY id of the _Default_PHY_ID exports: 0 when the
// library is loaded, set unchecked by HW_SetDefault_PHY_ID. Like the default
// adapter it is not locked; hosts serialise their calls.
#pragma once

#include <cstdint>

namespace mdiohost::chip {

std::uint32_t defaultPhyId();
void setDefaultPhyId(std::uint32_t phyId);

}  // namespace mdiohost::chip
