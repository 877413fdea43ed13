// Decodes MDIO management frames from the levels of the MDIO line at rising
// MDC edges, one bit per call. Both a PHY and the bus monitor use it.
//
// Idle, it counts ones; a 0 after at least the required number of ones is
// the first start bit. It then collects the header (second start bit, OP, the
// two 5-bit fields or PHYAD and KIND), the 33-bit address of 32-bit frames of
// kinds 0 and 4, the turnaround and the data, and reports each milestone.
// Whatever drives the line during a read, the decoder keeps the bits it sees.
//
// A start bit counts when the line carried at least the required number of
// ones in a row before it, wherever they came from (a frame cut short may end
// in the middle of the next preamble). A frame cut short resynchronises on the
// next full preamble: no valid frame carries 32 ones in a row once it has
// started, so 32 ones abandon any frame.
#pragma once

#include <cstdint>

#include "MdioFrame.h"

namespace mdiosim {

class MdioFrameDecoder {
  public:
    enum class Event : std::uint8_t {
        None,
        Header,   // the header is complete: kind, opcode, port, field or kind32
        Address,  // the 33-bit address of a 32-bit frame of kind 0 or 4 is complete
        Frame,    // the data is complete; the frame is over
        Aborted,  // the frame was abandoned for a new preamble
    };
    enum class Kind : std::uint8_t { Clause45, Clause22, Register32 };

    // One rising MDC edge with the line at `bit`. A start bit counts when at
    // least `requiredPreamble` ones came before it.
    Event clock(bool bit, unsigned requiredPreamble);
    // `count` rising edges with the line at 1 while idle: what clock(true)
    // would do `count` times.
    void addIdleOnes(unsigned count);
    bool idle() const { return state == State::Idle; }

    // The current frame's fields.
    Kind kind() const { return frameKind; }
    unsigned opcode() const { return op; }
    unsigned port() const { return portAddress; }
    unsigned field() const { return secondField; }  // DEVAD or REGAD
    unsigned kind32() const { return registerKind; }
    std::uint32_t address32() const { return address; }
    std::uint32_t data() const { return value; }
    // Ones on the line between the end of the last frame and this start bit.
    std::uint16_t preamble() const { return preambleSeen; }
    // The PHY drives the data of this frame (reads), as opposed to the host.
    bool isRead() const;
    bool hasAddress32() const {
        return frameKind == Kind::Register32 &&
               (registerKind & ~mdio::kRegister32WriteBit) == mdio::kRegister32AtAddress;
    }

  private:
    enum class State : std::uint8_t { Idle, Header, Address, Turnaround, Data };

    // Most bits arrive while idle: count them here, decode the rest out of line.
    static constexpr unsigned kOnesLimit = 0xFFFF;

    Event startFrame(unsigned requiredPreamble);
    Event frameBit(bool bit);
    Event headerBit(bool bit);
    Event startTail();

    State state = State::Idle;
    unsigned ones = 0;      // consecutive ones on the line
    unsigned idleOnes = 0;  // the same, but only since the last frame ended
    unsigned bitsLeft = 0;
    unsigned collected = 0;
    unsigned headerLength = 0;
    unsigned dataBits = 0;
    std::uint64_t shift = 0;

    Kind frameKind = Kind::Clause45;
    unsigned op = 0;
    unsigned portAddress = 0;
    unsigned secondField = 0;
    unsigned registerKind = 0;
    std::uint32_t address = 0;
    std::uint32_t value = 0;
    std::uint16_t preambleSeen = 0;
};

inline MdioFrameDecoder::Event MdioFrameDecoder::clock(bool bit, unsigned requiredPreamble) {
    if (state != State::Idle) {
        // Inside a field, a bit only shifts in; fields end out of line.
        if (bitsLeft > 1 && state != State::Header && (!bit || ones + 1 < mdio::kPreambleBits)) {
            ones = bit ? ones + 1 : 0;
            shift = (shift << 1) | (bit ? 1 : 0);
            --bitsLeft;
            return Event::None;
        }
        return frameBit(bit);
    }
    if (!bit) return startFrame(requiredPreamble);
    if (ones < kOnesLimit) ++ones;
    if (idleOnes < kOnesLimit) ++idleOnes;
    return Event::None;
}

inline void MdioFrameDecoder::addIdleOnes(unsigned count) {
    ones = ones + count < kOnesLimit ? ones + count : kOnesLimit;
    idleOnes = idleOnes + count < kOnesLimit ? idleOnes + count : kOnesLimit;
}

}  // namespace mdiosim
