// The constant tables K8 boards are described by: the colour of each LED
// status code, the two step tables of the LED animation, and the protocol
// names a board may announce in its USB description. All are built before
// any export can run and are read-only afterwards, so the LED threads and the
// callers' threads read them without a lock.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string_view>

namespace FTDI::K8 {

// A colour holds three 2-bit channel levels (bits 0-1, 2-3, 4-5), 0 dark to 3.
using Colour = std::uint8_t;
using StatusCode = std::int32_t;

// Colour of each status code. Code 0 is the idle colour; the K8 device uses
// 1 for MDIO, 5 for I2C and 9 for JTAG boards.
extern const std::map<StatusCode, Colour>& ledColours;

// The colour of `code`, or 0 (dark) for a code without an entry. Never adds
// an entry.
Colour ledColour(StatusCode code);

inline constexpr int kAnimationSteps = 6;
inline constexpr int kChannelLevels = 4;
using StepRow = std::array<std::int8_t, kAnimationSteps>;

// Pulse: row = the channel's level, column = step modulo 6; the entry is
// added to the level modulo 4. Dark channels stay dark.
inline constexpr std::array<StepRow, kChannelLevels> pulseSteps{{
    {0, 0, 0, 0, 0, 0},
    {0, -1, 0, 0, 1, 0},
    {-1, -1, 0, 1, 1, 1},
    {-1, -2, -1, 0, 0, 0},
}};

// Fade: row = target level - start level + 3, column = step modulo 6; the
// entry is added to the start level modulo 4. Falling channels move early and
// rising ones late; column 5 always lands on the target.
inline constexpr int kFadeRowOffset = 3;
inline constexpr std::array<StepRow, 2 * kFadeRowOffset + 1> fadeSteps{{
    {-1, -2, -3, -3, -3, -3},
    {0, -1, -2, -2, -2, -2},
    {0, 0, -1, -1, -1, -1},
    {0, 0, 0, 0, 0, 0},
    {0, 0, 0, 1, 1, 1},
    {0, 0, 0, 1, 1, 2},
    {0, 0, 0, 1, 3, 3},
}};

// The protocols a K8 board may name in its USB description, one adapter each.
inline constexpr std::array<std::string_view, 3> protocolNames{"I2C", "MDIO", "JTAG"};

bool isProtocolName(std::string_view token);

}  // namespace FTDI::K8
