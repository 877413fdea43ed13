#include "Arguments.h"

#include <cstdio>

namespace mdioctl {
namespace {

constexpr std::uint32_t kMaxMmd = 31;
constexpr std::uint32_t kMaxClause45Register = 0xFFFF;
constexpr std::uint32_t kMaxClause22Register = 31;
constexpr std::string_view kClause22Prefix = "c22:";
// Registers a dump covers when no range is given: the IEEE-defined block at
// the start of every MMD.
constexpr std::uint32_t kDefaultDumpCount = 0x20;

[[noreturn]] void bad(std::string_view what, std::string_view text, std::string_view expected) {
    throw UsageError("bad " + std::string(what) + " '" + std::string(text) + "': expected " +
                     std::string(expected));
}

bool startsWithHexPrefix(std::string_view text) {
    return text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

}  // namespace

std::uint32_t parseNumber(std::string_view text, std::string_view what, std::uint32_t maximum) {
    const bool hex = startsWithHexPrefix(text);
    const std::string_view digits = hex ? text.substr(2) : text;
    if (digits.empty()) bad(what, text, "a decimal or 0x-hexadecimal number");
    std::uint64_t value = 0;
    for (const char c : digits) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            bad(what, text, "a decimal or 0x-hexadecimal number");
        }
        value = value * (hex ? 16 : 10) + digit;
        if (value > maximum) {
            bad(what, text, "a number up to " + std::to_string(maximum));
        }
    }
    return static_cast<std::uint32_t>(value);
}

RegisterRange parseRegisterRange(std::string_view text, bool rangeAllowed) {
    RegisterRange range;
    std::string_view rest = text;
    std::uint32_t maxRegister = kMaxClause45Register;
    if (rest.substr(0, kClause22Prefix.size()) == kClause22Prefix) {
        range.clause22 = true;
        maxRegister = kMaxClause22Register;
        rest.remove_prefix(kClause22Prefix.size());
    } else {
        const std::size_t dot = rest.find('.');
        if (dot == std::string_view::npos) bad("register", text, "MMD.REG or c22:REG");
        range.mmd = parseNumber(rest.substr(0, dot), "MMD", kMaxMmd);
        rest.remove_prefix(dot + 1);
    }

    const std::size_t split = rest.find_first_of("-+");
    range.first = parseNumber(rest.substr(0, split), "register", maxRegister);
    if (split == std::string_view::npos) return range;
    if (!rangeAllowed) bad("register", text, "a single register");

    const std::string_view bound = rest.substr(split + 1);
    if (rest[split] == '-') {
        const std::uint32_t last = parseNumber(bound, "range end", maxRegister);
        if (last < range.first) bad("range", text, "an end at or after the start");
        range.count = last - range.first + 1;
    } else {
        range.count = parseNumber(bound, "count", maxRegister + 1);
        if (range.count == 0 || range.first + range.count - 1 > maxRegister) {
            bad("count", text, "at least one register, within the register space");
        }
    }
    return range;
}

RegisterRange parseDumpRange(std::string_view text) {
    if (text == kClause22Prefix.substr(0, kClause22Prefix.size() - 1)) {
        RegisterRange range;
        range.clause22 = true;
        range.count = kMaxClause22Register + 1;
        return range;
    }
    if (text.substr(0, kClause22Prefix.size()) == kClause22Prefix) {
        return parseRegisterRange(text, true);
    }
    if (text.find('.') == std::string_view::npos) {
        RegisterRange range;
        range.mmd = parseNumber(text, "MMD", kMaxMmd);
        range.count = kDefaultDumpCount;
        return range;
    }
    const RegisterRange range = parseRegisterRange(text, true);
    return range;
}

MaskedValue parseMaskedValue(std::string_view text) {
    MaskedValue result;
    const std::size_t slash = text.find('/');
    result.value = static_cast<std::uint16_t>(parseNumber(text.substr(0, slash), "value", 0xFFFF));
    if (slash != std::string_view::npos) {
        result.keep =
            static_cast<std::uint16_t>(parseNumber(text.substr(slash + 1), "mask", 0xFFFF));
        result.masked = true;
        if ((result.value & result.keep) != 0) {
            bad("value", text,
                "VALUE/MASK where MASK names the bits to keep and VALUE sets none of them "
                "(0x8000/0x7FFF sets bit 15 and keeps the rest)");
        }
    }
    return result;
}

bool matches(const MaskedValue& expected, std::uint16_t actual) {
    return (actual & ~expected.keep & 0xFFFF) == expected.value;
}

std::uint32_t parseFrequency(std::string_view text, std::string_view what, std::uint32_t minimum,
                             std::uint32_t maximum) {
    const std::string expected = "a frequency from " + std::to_string(minimum) + " to " +
                                 std::to_string(maximum) + " Hz such as 2.5M, 400k or 5000000";
    std::string_view rest = text;
    for (const std::string_view unit : {"Hz", "hz", "HZ"}) {
        if (rest.size() > unit.size() && rest.substr(rest.size() - unit.size()) == unit) {
            rest.remove_suffix(unit.size());
        }
    }
    std::uint64_t scale = 1;
    if (!rest.empty() && (rest.back() == 'k' || rest.back() == 'K')) scale = 1000;
    if (!rest.empty() && rest.back() == 'M') scale = 1000000;
    if (scale != 1) rest.remove_suffix(1);
    const std::size_t point = rest.find('.');
    const std::string_view whole = rest.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : rest.substr(point + 1);
    if (whole.empty() || (point != std::string_view::npos && fraction.empty()) ||
        whole.find_first_not_of("0123456789") != std::string_view::npos ||
        fraction.find_first_not_of("0123456789") != std::string_view::npos || whole.size() > 10) {
        bad(what, text, expected);
    }
    // Whole hertz only: the fraction may not reach below one hertz.
    std::uint64_t hertz = std::stoull(std::string(whole)) * scale;
    std::uint64_t place = scale;
    for (const char digit : fraction) {
        if (place % 10 != 0) bad(what, text, expected);
        place /= 10;
        hertz += static_cast<std::uint64_t>(digit - '0') * place;
    }
    if (hertz < minimum || hertz > maximum) bad(what, text, expected);
    return static_cast<std::uint32_t>(hertz);
}

std::string registerName(bool clause22, std::uint32_t mmd, std::uint32_t registerAddress) {
    char text[32];
    if (clause22) {
        std::snprintf(text, sizeof text, "c22:%u", registerAddress);
    } else {
        std::snprintf(text, sizeof text, "%u.0x%04X", mmd, registerAddress);
    }
    return text;
}

}  // namespace mdioctl
