#include "MdioBus.h"

#include <algorithm>

namespace mdiosim {

using Event = MdioFrameDecoder::Event;

void MdioBus::attach(Phy& phy) {
    handOverOnes();
    anyGroupIdle = true;
    // A PHY connected now has seen nothing yet: it starts idle.
    ports.push_back(Port{PhyManagementInterface(phy), 0});
    ports.back().group = groupFor(phy.requiredPreamble(), MdioFrameDecoder{});
    allIdle = false;
}

void MdioBus::detach(const Phy& phy) {
    handOverOnes();
    std::erase_if(ports, [&](const Port& port) { return &port.interface.target() == &phy; });
    updateDrive();
    allIdle = false;
}

std::size_t MdioBus::groupFor(unsigned requiredPreamble, const MdioFrameDecoder& history) {
    for (std::size_t index = 0; index < groups.size(); ++index) {
        if (groups[index].requiredPreamble == requiredPreamble) return index;
    }
    groups.push_back(DecoderGroup{requiredPreamble, history});
    return groups.size() - 1;
}

void MdioBus::regroup() {
    for (Port& port : ports) {
        const unsigned required = port.interface.target().requiredPreamble();
        if (groups[port.group].requiredPreamble != required) {
            port.group = groupFor(required, groups[port.group].decoder);
        }
    }
}

void MdioBus::handOverPendingOnes() {
    monitor.addIdleOnes(pendingOnes);
    for (DecoderGroup& group : groups)
        group.decoder.addIdleOnes(pendingOnes);
    pendingOnes = 0;
}

bool MdioBus::clock(bool bit) {
    handOverOnes();
    // A preamble setting takes effect at the next start bit.
    if (!bit && anyGroupIdle) regroup();
    monitor.clock(bit);
    for (Port& port : ports)
        port.interface.advance();
    bool everyIdle = monitor.idle();
    anyGroupIdle = false;
    for (std::size_t index = 0; index < groups.size(); ++index) {
        MdioFrameDecoder& decoder = groups[index].decoder;
        const Event event = decoder.clock(bit, groups[index].requiredPreamble);
        if (event != Event::None) dispatch(index, event);
        everyIdle = everyIdle && decoder.idle();
        anyGroupIdle = anyGroupIdle || decoder.idle();
    }
    bool anyLow = false;
    for (const Port& port : ports) {
        anyLow = anyLow || port.interface.drivesLow();
        everyIdle = everyIdle && !port.interface.driving();
    }
    allIdle = everyIdle;
    const std::uint8_t pulled = anyLow ? mdio : 0;
    const bool changed = pulled != low;
    low = pulled;
    return changed;
}

void MdioBus::dispatch(std::size_t group, Event event) {
    const MdioFrameDecoder& frame = groups[group].decoder;
    for (Port& port : ports) {
        if (port.group != group) continue;
        if (port.interface.target().address() == frame.port()) {
            port.interface.handle(event, frame);
        } else if (event == Event::Aborted) {
            port.interface.release();
        }
    }
}

bool MdioBus::updateDrive() {
    bool anyLow = false;
    for (const Port& port : ports)
        anyLow = anyLow || port.interface.drivesLow();
    const std::uint8_t pulled = anyLow ? mdio : 0;
    const bool changed = pulled != low;
    low = pulled;
    return changed;
}

}  // namespace mdiosim
