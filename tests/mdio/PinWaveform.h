// What MDC and MDIO do under an MPSSE command stream, worked out here from the
// commands' documented behaviour rather than taken from the encoder: each
// clocked bit is two half-periods (data written on the falling edge is set up
// half a period before the rising edge), a pin command changes its pins at
// once and takes no time. The result is every MDC edge with the MDIO level
// there (or released, when the host does not drive it), and for each rising
// edge how long MDIO had been settled: two encodings of the same frames must
// give the same edges, and a PHY needs a settled MDIO at every rising edge.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "ftdi/MpsseStream.h"

namespace testing_support {

enum class Mdio : std::uint8_t { Low, High, Released };

struct MdcEdge {
    bool rising;
    Mdio mdio;
    friend bool operator==(const MdcEdge&, const MdcEdge&) = default;
};

struct PinWaveform {
    std::vector<MdcEdge> edges;
    // Half-periods MDIO had been unchanged at each rising MDC edge.
    std::vector<long> setupAtRisingEdges;
};

// The lines start at rest: MDC and MDIO high, both driven.
inline PinWaveform pinWaveform(std::span<const std::uint8_t> stream) {
    namespace M = FTDI::Mpsse;
    PinWaveform wave;
    bool mdc = true;
    bool dataOut = true;
    bool drives = true;
    long now = 0;
    long mdioChanged = -1000;
    Mdio level = Mdio::High;

    const auto settle = [&] {
        const Mdio next = drives ? (dataOut ? Mdio::High : Mdio::Low) : Mdio::Released;
        if (next != level) mdioChanged = now;
        level = next;
    };
    const auto moveClock = [&](bool high) {
        if (high == mdc) return;
        mdc = high;
        wave.edges.push_back({high, level});
        if (high) wave.setupAtRisingEdges.push_back(now - mdioChanged);
    };
    const auto clockBit = [&](bool writes, bool bit) {
        if (writes) {
            dataOut = bit;
            settle();
        }
        ++now;
        moveClock(true);
        ++now;
        moveClock(false);
    };

    while (!stream.empty()) {
        const auto command = M::commandAt(stream);
        if (!command || !command->known) throw std::invalid_argument("not a whole MPSSE stream");
        const std::uint8_t opcode = stream[0];
        if (opcode == M::kSetDataBitsLow) {
            dataOut = (stream[1] & M::kPinDataOut) != 0;
            drives = (stream[2] & M::kPinDataOut) != 0;
            settle();
            moveClock((stream[1] & M::kPinClock) != 0);
        } else if (M::isShiftCommand(opcode)) {
            const bool writes = (opcode & M::kShiftWritesData) != 0;
            const bool bitMode = (opcode & M::kShiftBitMode) != 0;
            const std::size_t dataAt = bitMode ? 2 : 3;
            const unsigned bits =
                bitMode ? (stream[1] & 0x07u) + 1 : 8u * (stream[1] | stream[2] << 8u) + 8;
            for (unsigned i = 0; i < bits; ++i) {
                const std::uint8_t byte = writes ? stream[dataAt + i / 8] : 0;
                clockBit(writes, ((byte << (i % 8)) & 0x80) != 0);
            }
        } else if (opcode != M::kSendImmediate) {
            throw std::invalid_argument("a command the MDIO frames never use");
        }
        stream = stream.subspan(command->length);
    }
    return wave;
}

}  // namespace testing_support
