// The MPSSE of an FTDI chip: it executes the command stream the host writes
// while the chip is in MPSSE mode, moving the low-byte pins (and so the wires
// and every listener on them) bit by bit, and queues its answers.
//
// A command cut off at the end of one write waits for the rest in the next.
// An opcode the chip does not know is answered with FA and the opcode, and
// execution goes on with the next byte; which opcodes a chip knows depends on
// its type (the clock commands 0x8A..0x97 came with the high-speed chips). Every clock cycle is
// counted at the programmed rate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Lines.h"
#include "ReplyQueue.h"
#include "mdiosim/Board.h"
#include "mdiosim/Counters.h"
#include "mdiosim/Description.h"

namespace mdiosim {

class MpsseEngine {
  public:
    MpsseEngine(std::uint32_t chipType, Lines& lowByte, Counters& counters,
                const TimingModel* timing = nullptr);

    // The state after the chip enters MPSSE mode: every pin an input, the
    // master clock divided by 5, divisor 0, no loopback, nothing pending.
    void reset();
    void execute(const std::uint8_t* bytes, std::size_t count, ReplyQueue& replies);
    // Drops a command cut off mid-way (and a wait that stalls the chip).
    void discardPending();
    void wrongSyncAnswers(unsigned times) { garbledAnswers = times; }
    // High-byte pins something outside the chip pulls low.
    void pullHighPinsLow(std::uint8_t pins) { highPulledLow = pins; }

    void describe(ChipState& state) const;
    PinState lowPins() const;
    PinState highPins() const;

  private:
    std::size_t run(const std::uint8_t* bytes, std::size_t count, ReplyQueue& replies);
    std::size_t shiftCommand(const std::uint8_t* bytes, std::size_t count, ReplyQueue& replies);
    std::size_t otherCommand(const std::uint8_t* bytes, std::size_t count, ReplyQueue& replies);
    std::uint8_t shiftBits(std::uint8_t opcode, std::uint8_t out, unsigned bits);
    void clockWithoutData(std::uint64_t cycles);
    void badCommand(std::uint8_t opcode, ReplyQueue& replies);
    bool knows(std::uint8_t opcode) const;
    bool waitSatisfied() const;
    void account(std::uint64_t cycles, bool dataShift);
    void updateClock();

    void setLow(std::uint8_t value) {
        if (value == lowValue) return;
        lowValue = value;
        lines->drive(lowValue, lowDirection);
    }

    std::uint32_t chipType;
    Lines* lines;
    Counters* counters;
    const TimingModel* timing;          // null: commands cost nothing
    std::vector<std::uint8_t> pending;  // a command cut off by the end of a write

    std::uint8_t lowValue = 0, lowDirection = 0, lowDriveOnlyZero = 0;
    std::uint8_t highValue = 0, highDirection = 0, highDriveOnlyZero = 0;
    std::uint8_t highPulledLow = 0;
    std::uint16_t divisor = 0;
    bool divideBy5 = true;
    bool threePhase = false;
    bool adaptive = false;
    bool loopback = false;
    enum class Wait : std::uint8_t { None, High, Low } waiting = Wait::None;
    double cycleSeconds = 0;
    unsigned garbledAnswers = 0;
};

}  // namespace mdiosim
