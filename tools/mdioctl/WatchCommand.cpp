// watch: poll registers and print what changes, as it changes.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>
#include <thread>

#include "AdapterLookup.h"
#include "Commands.h"

namespace mdioctl {
namespace {

struct Watched {
    RegisterRange range;
    std::vector<std::uint16_t> values;
};

// Seconds since the watch started, to the millisecond: "[   1.250]".
std::string stamp(double seconds) {
    char text[24];
    std::snprintf(text, sizeof text, "[%8.3f]", seconds);
    return text;
}

// Each event goes out at once (a watch runs until interrupted, so nothing
// may wait for the end): a text line, or one JSON object per line.
void emit(const Output& out, double seconds, const RegisterRange& range, std::uint32_t offset,
          std::optional<std::uint16_t> before, std::uint16_t after) {
    const std::uint32_t address = range.first + offset;
    if (out.wantsJson()) {
        nlohmann::json event = {{"seconds", seconds}, {"register", address}, {"value", after}};
        if (range.clause22) {
            event["clause"] = 22;
        } else {
            event["mmd"] = range.mmd;
        }
        if (before) event["before"] = *before;
        std::cout << event.dump() << std::endl;
        return;
    }
    std::string text = stamp(seconds) + " " + registerName(range.clause22, range.mmd, address);
    text += before ? ": " + hex16(*before) + " -> " + hex16(after) : " = " + hex16(after);
    std::cout << text << std::endl;
}

}  // namespace

void watchRegisters(Session& session, Output& out, const std::string& adapter, std::uint32_t phy,
                    const std::vector<RegisterRange>& registers, const WatchOptions& options) {
    const std::uint32_t index = session.open(adapter, mdioNeed("watch"));
    const auto start = std::chrono::steady_clock::now();
    const auto now = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    std::vector<Watched> watched;
    for (const RegisterRange& range : registers) {
        watched.push_back({range, session.readRange(index, phy, range, range.count)});
        for (std::uint32_t i = 0; i < range.count; ++i) {
            emit(out, 0.0, range, i, std::nullopt, watched.back().values[i]);
        }
    }
    std::uint32_t polls = 1;
    if (options.afterPoll) options.afterPoll(polls);
    while (options.polls == 0 || polls < options.polls) {
        std::this_thread::sleep_for(std::chrono::milliseconds(options.intervalMilliseconds));
        for (Watched& entry : watched) {
            const auto values = session.readRange(index, phy, entry.range, entry.range.count);
            const double seconds = now();
            for (std::uint32_t i = 0; i < values.size(); ++i) {
                if (values[i] != entry.values[i]) {
                    emit(out, seconds, entry.range, i, entry.values[i], values[i]);
                }
            }
            entry.values = values;
        }
        ++polls;
        if (options.afterPoll) options.afterPoll(polls);
    }
    // The events are out already; no document follows them.
    out.suppressDocument();
}

}  // namespace mdioctl
