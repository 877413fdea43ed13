// The fast ways of reading a register range that `dump` takes where the PHY
// allows them: Clause 45 bursts (one address frame, then post-read-increment
// reads) and frames without preamble. Neither is trusted on the PHY's word
// alone: each is checked against plain reads of the same registers, and a
// PHY that gets one wrong is read the plain way instead, never answered with
// the wrong values.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Session.h"

namespace mdioctl {

// What the fast paths did, and why one was not taken.
struct FastReadReport {
    bool burst = false;                  // the values came from bursts
    std::uint32_t preambleBits = 32;     // the preamble the values were read with
    std::vector<std::string> fallbacks;  // one line per fast path refused
};

// Clause 22 status register 1, bit 6: the PHY accepts management frames
// without preamble.
inline constexpr std::uint32_t kStatusRegister = 1;
inline constexpr std::uint16_t kPreambleSuppressionBit = 0x0040;

// The registers of a batch of `count` that are also read the plain way, as
// offsets into the batch: the second shows whether the PHY moved on after
// the first read, the last whether it still answered at the end. A batch of
// one checks its only register.
std::vector<std::uint32_t> checkedOffsets(std::uint32_t count);

// Whether a burst's values agree with the plain reads of its checked
// registers (`plain[i]` is the register at `offsets[i]`).
bool burstAgrees(const std::vector<std::uint32_t>& offsets, const std::uint32_t* plain,
                 const std::uint32_t* burst);

// The range in batches of at most `batchSize` registers, one execute each.
// Where the adapter and the MMD allow it, each batch is a burst, and its
// checked registers are read with the full preamble in the same transfer; a
// difference makes the range read plainly. With `suppress`, and when the
// PHY's status register allows it (or, on a PHY without Clause 22 registers,
// reads all ones), the burst goes without preamble, and a difference first
// brings the preamble back. Ranges bursts cannot serve are read by
// Session::readRange, without preamble only once a register has read the
// same both ways. The PHY has its full preamble again on return.
std::vector<std::uint16_t> readRangeFast(Session& session, std::uint32_t adapter, std::uint32_t phy,
                                         const RegisterRange& range, std::uint32_t batchSize,
                                         bool suppress, FastReadReport& report,
                                         const std::function<void(std::uint32_t)>& progress = {});

}  // namespace mdioctl
