// A `run` script: register operations, one per line, read whole and checked
// before the first one runs, so a typo on line 40 cannot leave a PHY half
// initialised.
//
//   # comments run to the end of a line
//   write ADAPTER PHY REGISTER VALUE[/MASK]    (MASK: the bits to keep)
//   read ADAPTER PHY REGISTER[-END|+COUNT]
//   expect ADAPTER PHY REGISTER VALUE[/MASK]   (MASK: the bits to ignore)
//   sleep DURATION                             (10ms, 2s, 500us; a bare number is ms)
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "Arguments.h"

namespace mdioctl {

enum class StepKind { Read, Write, Expect, Sleep };

struct Step {
    StepKind kind = StepKind::Read;
    unsigned line = 0;
    std::string adapter;
    std::uint32_t phy = 0;
    RegisterRange target;
    MaskedValue value;
    std::chrono::microseconds pause{0};
};

using Script = std::vector<Step>;

// Throws UsageError naming the line and what is wrong with it.
Script parseScript(const std::string& text);

}  // namespace mdioctl
