#include "AdapterLookup.h"

#include <algorithm>
#include <cctype>

#include "Arguments.h"

namespace mdioctl {
namespace {

std::string lowerCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string knownAdapters(const std::vector<ListedAdapter>& adapters) {
    if (adapters.empty()) return "no adapters found";
    std::string text = "adapters found:";
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        text += (i == 0 ? " " : ", ") + std::to_string(i) + " " + adapters[i].name;
    }
    return text;
}

[[noreturn]] void notFound(const std::string& wanted, const std::vector<ListedAdapter>& adapters) {
    throw LibraryError("no adapter '" + wanted + "'; " + knownAdapters(adapters));
}

bool isIndex(const std::string& text) {
    try {
        parseNumber(text, "adapter");
        return true;
    } catch (const UsageError&) {
        return false;
    }
}

std::uint32_t byName(const std::string& wanted, const std::vector<ListedAdapter>& adapters,
                     const AdapterNeed& need) {
    const std::string key = lowerCase(wanted);
    for (std::uint32_t i = 0; i < adapters.size(); ++i) {
        if (lowerCase(adapters[i].name) == key) return i;
    }
    if (key.find(':') != std::string::npos) notFound(wanted, adapters);
    // A serial number alone: the board's adapter of the protocol (names are
    // unique, so a board has at most one).
    const std::string prefix = key + ":";
    std::string boardAdapters;
    for (std::uint32_t i = 0; i < adapters.size(); ++i) {
        const std::string name = lowerCase(adapters[i].name);
        if (!need.protocol.empty() && name == prefix + lowerCase(need.protocol)) return i;
        if (name.rfind(prefix, 0) == 0) {
            boardAdapters += (boardAdapters.empty() ? "" : ", ") + adapters[i].name;
        }
    }
    if (boardAdapters.empty()) notFound(wanted, adapters);
    throw LibraryError("board '" + wanted + "' has several adapters (" + boardAdapters +
                       "); name one");
}

std::string describedFamily(const std::string& family) {
    return family == "older family" ? "an adapter of the older family" : "a " + family + " adapter";
}

}  // namespace

std::uint32_t chooseAdapter(const std::string& wanted, const std::vector<ListedAdapter>& adapters,
                            const AdapterNeed& need) {
    std::uint32_t index = 0;
    if (isIndex(wanted)) {
        index = parseNumber(wanted, "adapter");
        if (index >= adapters.size()) notFound(wanted, adapters);
    } else {
        index = byName(wanted, adapters, need);
    }
    const ListedAdapter& chosen = adapters[index];
    // A family the tool cannot tell is left to the library to judge.
    const bool known = chosen.family != "unknown";
    if (known && !need.families.empty() &&
        std::find(need.families.begin(), need.families.end(), chosen.family) ==
            need.families.end()) {
        throw LibraryError(need.command + " needs " + need.familiesText + "; " + chosen.name +
                           " is " + describedFamily(chosen.family));
    }
    return index;
}

}  // namespace mdioctl

namespace mdioctl {

AdapterNeed mdioNeed(const std::string& command) {
    return {command,
            "MDIO",
            {"K8 MDIO", "K8 I2C", "older family"},
            "an adapter that reaches PHYs (K8 MDIO, K8 I2C or the older family)"};
}

AdapterNeed boardNeed() {
    return {"board", "", {"older family"}, "an adapter of the older family"};
}

AdapterNeed gpioNeed() {
    return {"gpio", "", {"K8 MDIO", "K8 I2C", "K8 JTAG"}, "a K8 adapter"};
}

AdapterNeed i2cNeed() {
    return {"i2c", "I2C", {"K8 I2C"}, "a K8 I2C adapter"};
}

}  // namespace mdioctl
