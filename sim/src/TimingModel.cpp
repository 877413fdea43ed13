#include <optional>
#include <string_view>

#include "mdiosim/Description.h"

namespace mdiosim {

const TimingModel& typicalTiming() {
    static const TimingModel typical;
    return typical;
}

std::optional<TimingModel> timingPreset(std::string_view name) {
    if (name == "ideal") return TimingModel{0, 0, false};
    // The MPSSE fetches the next command while it clocks out the last bit of
    // the current one, and bulk packets stream in while the chip executes:
    // only round trips, clock cycles and unflushed replies cost anything.
    if (name == "optimistic") return TimingModel{0, 0, true};
    if (name == "typical") return TimingModel{};
    // A dozen master-clock cycles between commands, and every packet after
    // the first paid in full on a busy high-speed bus.
    if (name == "pessimistic") return TimingModel{200e-9, 10e-6, true};
    return std::nullopt;
}

}  // namespace mdiosim
