// diff: what changed between two saved dumps, register by register. The
// dumps are matched by register, not by adapter or PHY, so two boards'
// dumps compare as well as one board's before and after.
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <tuple>

#include "Commands.h"
#include "DumpFormat.h"

namespace mdioctl {
namespace {

struct RegisterKey {
    bool clause22;
    std::uint32_t mmd;
    std::uint32_t address;
    bool operator<(const RegisterKey& other) const {
        return std::tie(clause22, mmd, address) <
               std::tie(other.clause22, other.mmd, other.address);
    }
};

std::string fileText(const std::string& path) {
    if (path == "-") {
        return std::string(std::istreambuf_iterator<char>(std::cin), {});
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) throw UsageError("cannot read '" + path + "'");
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

std::map<RegisterKey, std::uint16_t> registersOf(const std::string& path) {
    std::map<RegisterKey, std::uint16_t> registers;
    for (const Dump& dump : parseDumps(fileText(path), path)) {
        for (std::uint32_t i = 0; i < dump.values.size(); ++i) {
            const RegisterKey key{dump.range.clause22, dump.range.clause22 ? 0 : dump.range.mmd,
                                  dump.range.first + i};
            registers[key] = dump.values[i];
        }
    }
    return registers;
}

nlohmann::json keyJson(const RegisterKey& key) {
    nlohmann::json entry = {{"register", key.address}};
    if (key.clause22) {
        entry["clause"] = 22;
    } else {
        entry["mmd"] = key.mmd;
    }
    return entry;
}

std::string keyName(const RegisterKey& key) {
    return registerName(key.clause22, key.mmd, key.address);
}

}  // namespace

void diffDumps(Output& out, const std::string& firstPath, const std::string& secondPath) {
    const auto first = registersOf(firstPath);
    const auto second = registersOf(secondPath);
    out.document = {{"changed", nlohmann::json::array()},
                    {"onlyInFirst", nlohmann::json::array()},
                    {"onlyInSecond", nlohmann::json::array()}};
    std::size_t differences = 0;
    for (const auto& [key, before] : first) {
        const auto other = second.find(key);
        nlohmann::json entry = keyJson(key);
        if (other == second.end()) {
            entry["value"] = before;
            out.document["onlyInFirst"].push_back(entry);
            out.line(keyName(key) + ": " + hex16(before) + " only in " + firstPath);
        } else if (other->second != before) {
            entry["before"] = before;
            entry["after"] = other->second;
            out.document["changed"].push_back(entry);
            out.line(keyName(key) + ": " + hex16(before) + " -> " + hex16(other->second));
        } else {
            continue;
        }
        ++differences;
    }
    for (const auto& [key, after] : second) {
        if (first.count(key) != 0) continue;
        nlohmann::json entry = keyJson(key);
        entry["value"] = after;
        out.document["onlyInSecond"].push_back(entry);
        out.line(keyName(key) + ": " + hex16(after) + " only in " + secondPath);
        ++differences;
    }
    // Like diff(1): a script or CI job tells "changed" from "same" by the
    // exit status.
    if (differences != 0) {
        throw CheckFailed(std::to_string(differences) +
                          (differences == 1 ? " register differs" : " registers differ"));
    }
    out.line("no differences");
}

}  // namespace mdioctl
