#include "Script.h"

#include <sstream>

namespace mdioctl {
namespace {

constexpr std::uint64_t kLongestSleepMicroseconds = 3600ull * 1000 * 1000;

std::chrono::microseconds parseDuration(const std::string& text) {
    struct Unit {
        const char* suffix;
        std::uint64_t microseconds;
    };
    // Longest suffix first: "ms" and "us" before "s".
    for (const Unit unit : {Unit{"ms", 1000}, Unit{"us", 1}, Unit{"s", 1000000}, Unit{"", 1000}}) {
        const std::string suffix = unit.suffix;
        if (text.size() <= suffix.size() ||
            text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0) {
            continue;
        }
        const std::uint64_t count =
            parseNumber(text.substr(0, text.size() - suffix.size()), "duration");
        const std::uint64_t total = count * unit.microseconds;
        if (total > kLongestSleepMicroseconds) break;
        return std::chrono::microseconds(total);
    }
    throw UsageError("bad duration '" + text + "': expected 10ms, 2s or 500us, up to an hour");
}

Step parseLine(const std::vector<std::string>& words) {
    Step step;
    const std::string& operation = words[0];
    if (operation == "sleep") {
        if (words.size() != 2) throw UsageError("sleep takes DURATION");
        step.kind = StepKind::Sleep;
        step.pause = parseDuration(words[1]);
        return step;
    }
    const std::size_t wanted = operation == "read" ? 4 : 5;
    if (operation == "read") {
        step.kind = StepKind::Read;
    } else if (operation == "write") {
        step.kind = StepKind::Write;
    } else if (operation == "expect") {
        step.kind = StepKind::Expect;
    } else {
        throw UsageError("unknown operation '" + operation +
                         "': expected read, write, expect or sleep");
    }
    if (words.size() != wanted) {
        throw UsageError(operation + (wanted == 4 ? " takes ADAPTER PHY REGISTER"
                                                  : " takes ADAPTER PHY REGISTER VALUE[/MASK]"));
    }
    step.adapter = words[1];
    step.phy = parseNumber(words[2], "PHY");
    step.target = parseRegisterRange(words[3], step.kind == StepKind::Read);
    if (wanted == 5) step.value = parseMaskedValue(words[4]);
    return step;
}

}  // namespace

Script parseScript(const std::string& text) {
    Script script;
    std::istringstream lines(text);
    unsigned number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        std::istringstream tokens(line.substr(0, line.find('#')));
        std::vector<std::string> words;
        for (std::string word; tokens >> word;)
            words.push_back(word);
        if (words.empty()) continue;
        try {
            Step step = parseLine(words);
            step.line = number;
            script.push_back(step);
        } catch (const UsageError& error) {
            throw UsageError("line " + std::to_string(number) + ": " + error.what());
        }
    }
    return script;
}

}  // namespace mdioctl
