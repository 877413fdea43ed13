#include "DumpFormat.h"

#include <cstdio>
#include <regex>
#include <sstream>

namespace mdioctl {
namespace {

constexpr std::uint32_t kValuesPerRow = 8;

[[noreturn]] void unreadable(const std::string& source, const std::string& why) {
    throw UsageError("cannot read a dump from '" + source + "': " + why);
}

Dump fromJson(const nlohmann::json& document, const std::string& source) {
    try {
        Dump dump;
        dump.adapter = document.at("adapter").get<std::uint32_t>();
        dump.phy = document.at("phy").get<std::uint32_t>();
        dump.range.clause22 = document.value("clause", 45) == 22;
        if (!dump.range.clause22) dump.range.mmd = document.at("mmd").get<std::uint32_t>();
        dump.range.first = document.at("first").get<std::uint32_t>();
        dump.values = document.at("values").get<std::vector<std::uint16_t>>();
        dump.range.count = static_cast<std::uint32_t>(dump.values.size());
        return dump;
    } catch (const nlohmann::json::exception& error) {
        unreadable(source, std::string("not a dump document (") + error.what() + ")");
    }
}

std::vector<Dump> fromText(const std::string& text, const std::string& source) {
    static const std::regex heading(
        R"(adapter (\d+), PHY (\d+), (?:MMD (\d+)|(Clause 22)), registers 0x([0-9A-F]+)-0x([0-9A-F]+))");
    static const std::regex row(R"(0x([0-9A-F]+):((?: [0-9A-F]{4})+))");
    std::vector<Dump> dumps;
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        std::smatch match;
        if (std::regex_match(line, match, heading)) {
            Dump dump;
            dump.adapter = static_cast<std::uint32_t>(std::stoul(match[1]));
            dump.phy = static_cast<std::uint32_t>(std::stoul(match[2]));
            dump.range.clause22 = match[4].matched;
            if (match[3].matched) dump.range.mmd = static_cast<std::uint32_t>(std::stoul(match[3]));
            dump.range.first = static_cast<std::uint32_t>(std::stoul(match[5], nullptr, 16));
            dumps.push_back(dump);
        } else if (std::regex_match(line, match, row)) {
            if (dumps.empty())
                unreadable(source, "line " + std::to_string(number) + ": no heading");
            Dump& dump = dumps.back();
            const auto at = static_cast<std::uint32_t>(std::stoul(match[1], nullptr, 16));
            if (at != dump.range.first + dump.values.size()) {
                unreadable(source, "line " + std::to_string(number) + ": rows out of order");
            }
            std::istringstream words(match[2].str());
            for (std::string word; words >> word;) {
                dump.values.push_back(static_cast<std::uint16_t>(std::stoul(word, nullptr, 16)));
            }
        } else if (!line.empty()) {
            unreadable(source, "line " + std::to_string(number) + " is not part of a dump");
        }
    }
    if (dumps.empty()) unreadable(source, "no dump in it");
    for (Dump& dump : dumps)
        dump.range.count = static_cast<std::uint32_t>(dump.values.size());
    return dumps;
}

}  // namespace

std::vector<std::string> dumpText(const Dump& dump) {
    std::vector<std::string> lines;
    char text[96];
    const std::string space =
        dump.range.clause22 ? std::string("Clause 22") : "MMD " + std::to_string(dump.range.mmd);
    std::snprintf(text, sizeof text, "adapter %u, PHY %u, %s, registers 0x%04X-0x%04X",
                  dump.adapter, dump.phy, space.c_str(), dump.range.first,
                  dump.range.first + static_cast<std::uint32_t>(dump.values.size()) - 1);
    lines.emplace_back(text);
    for (std::uint32_t row = 0; row < dump.values.size(); row += kValuesPerRow) {
        int used = std::snprintf(text, sizeof text, "0x%04X:", dump.range.first + row);
        for (std::uint32_t i = row; i < dump.values.size() && i < row + kValuesPerRow; ++i) {
            used += std::snprintf(text + used, sizeof text - static_cast<std::size_t>(used),
                                  " %04X", dump.values[i]);
        }
        lines.emplace_back(text);
    }
    return lines;
}

nlohmann::json dumpJson(const Dump& dump) {
    nlohmann::json document = {{"adapter", dump.adapter},
                               {"phy", dump.phy},
                               {"first", dump.range.first},
                               {"values", dump.values}};
    if (dump.range.clause22) {
        document["clause"] = 22;
    } else {
        document["mmd"] = dump.range.mmd;
    }
    return document;
}

std::vector<Dump> parseDumps(const std::string& text, const std::string& source) {
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string::npos) unreadable(source, "it is empty");
    if (text[start] != '{' && text[start] != '[') return fromText(text, source);
    const nlohmann::json document = nlohmann::json::parse(text, nullptr, false);
    if (document.is_discarded()) unreadable(source, "not valid JSON");
    std::vector<Dump> dumps;
    if (document.is_array()) {
        for (const auto& entry : document)
            dumps.push_back(fromJson(entry, source));
    } else {
        dumps.push_back(fromJson(document, source));
    }
    return dumps;
}

}  // namespace mdioctl
