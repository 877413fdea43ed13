// The short addressing forms every mdioctl command shares, and their parsing.
// Numbers are decimal or 0x-hexadecimal and nothing else: a leading 0 is not
// octal, so "010" is ten.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace mdioctl {

// A mistake in the command line: reported with the usage line, exit status 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// `what` names the argument in the error message ("PHY", "VALUE", ...).
std::uint32_t parseNumber(std::string_view text, std::string_view what,
                          std::uint32_t maximum = 0xFFFFFFFF);

// MMD.REG (Clause 45) or c22:REG (Clause 22), optionally followed by -END
// (inclusive) or +COUNT.
struct RegisterRange {
    bool clause22 = false;
    std::uint32_t mmd = 0;  // Clause 45 only
    std::uint32_t first = 0;
    std::uint32_t count = 1;

    std::uint32_t last() const { return first + count - 1; }
};

RegisterRange parseRegisterRange(std::string_view text, bool rangeAllowed);

// The dump form: MMD, MMD.START-END, c22 (the 32 Clause 22 registers) or
// c22:START-END.
RegisterRange parseDumpRange(std::string_view text);

// VALUE or VALUE/MASK of a write. MASK names the bits of the register to
// keep, the way Linux MDIO tools write it: 0x8000/0x7FFF sets the reset
// bit and keeps every other bit. VALUE may not set a kept bit, so a mask
// written the other way round (0x0800/0x0800) is refused, not misread.
struct MaskedValue {
    std::uint16_t value = 0;
    std::uint16_t keep = 0;
    bool masked = false;

    std::uint16_t appliedTo(std::uint16_t current) const {
        return static_cast<std::uint16_t>((current & keep) | (value & ~keep));
    }
};

MaskedValue parseMaskedValue(std::string_view text);

// The same form for `expect VALUE[/MASK]`: MASK names the bits that are
// ignored; VALUE may not set one of them.
bool matches(const MaskedValue& expected, std::uint16_t actual);

// A clock rate: hertz as a whole number, or with a k or M suffix and an
// optional fraction ("2.5M", "400k", "5000000"); "Hz" may follow.
std::uint32_t parseFrequency(std::string_view text, std::string_view what, std::uint32_t minimum,
                             std::uint32_t maximum);

// "1.0x0002" or "c22:2": how registers are shown back to the user.
std::string registerName(bool clause22, std::uint32_t mmd, std::uint32_t registerAddress);

}  // namespace mdioctl
