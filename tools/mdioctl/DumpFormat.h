// The register dump as text and as JSON, and reading either back, so that
// two dumps saved by `dump` (before and after a change, or of two boards)
// can be compared by `diff`.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "Arguments.h"

namespace mdioctl {

struct Dump {
    std::uint32_t adapter = 0;
    std::uint32_t phy = 0;
    RegisterRange range;  // count is values.size()
    std::vector<std::uint16_t> values;
};

// "adapter 2, PHY 3, MMD 1, registers 0x0000-0x001F" then rows of eight
// values ("0x0000: 2040 0006 ...").
std::vector<std::string> dumpText(const Dump& dump);
nlohmann::json dumpJson(const Dump& dump);

// The dumps in a file: text with one or more headings, or a JSON dump
// document or an array of them. Throws UsageError naming `source` and what
// is wrong with it.
std::vector<Dump> parseDumps(const std::string& text, const std::string& source);

}  // namespace mdioctl
