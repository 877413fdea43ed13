#include "MdioFrameDecoder.h"

namespace mdiosim {

using namespace mdio;

bool MdioFrameDecoder::isRead() const {
    switch (frameKind) {
        case Kind::Clause45:
            return op == kClause45Read || op == kClause45ReadIncrement;
        case Kind::Clause22:
            return op == kClause22Read;
        case Kind::Register32:
            return (registerKind & kRegister32WriteBit) == 0;
    }
    return false;
}

MdioFrameDecoder::Event MdioFrameDecoder::startFrame(unsigned requiredPreamble) {
    const unsigned seen = ones;
    preambleSeen = static_cast<std::uint16_t>(idleOnes);
    ones = idleOnes = 0;
    if (seen < requiredPreamble) return Event::None;
    state = State::Header;
    collected = 0;
    shift = 0;
    return Event::None;
}

MdioFrameDecoder::Event MdioFrameDecoder::frameBit(bool bit) {
    ones = bit ? ones + 1 : 0;
    if (ones >= kPreambleBits) {
        state = State::Idle;
        idleOnes = ones;
        return Event::Aborted;
    }
    switch (state) {
        case State::Header:
            return headerBit(bit);
        case State::Address:
            shift = (shift << 1) | (bit ? 1 : 0);
            if (--bitsLeft != 0) return Event::None;
            address = joinHalves(shift);
            state = State::Turnaround;
            bitsLeft = kTurnaroundBits;
            return Event::Address;
        case State::Turnaround:
            // The turnaround bits are not checked: a host that drives them wrong
            // still gets its write done, as most PHYs do.
            if (--bitsLeft == 0) {
                state = State::Data;
                bitsLeft = dataBits;
                shift = 0;
            }
            return Event::None;
        case State::Data:
            shift = (shift << 1) | (bit ? 1 : 0);
            if (--bitsLeft != 0) return Event::None;
            value = dataBits == kDataBits ? static_cast<std::uint32_t>(shift & 0xFFFF)
                                          : joinHalves(shift);
            state = State::Idle;
            return Event::Frame;
        case State::Idle:
            break;
    }
    return Event::None;
}

MdioFrameDecoder::Event MdioFrameDecoder::headerBit(bool bit) {
    shift = (shift << 1) | (bit ? 1 : 0);
    ++collected;
    if (collected < kClassifyBits) return Event::None;
    if (collected == kClassifyBits) {
        const unsigned secondStart = static_cast<unsigned>(shift >> 2) & 1;
        op = static_cast<unsigned>(shift) & 3;
        if (secondStart != kStartClause22) {
            frameKind = Kind::Clause45;
            headerLength = kHeaderBitsClause;
        } else if (op == kRegister32Frame) {
            frameKind = Kind::Register32;
            headerLength = kHeaderBitsRegister32;
        } else if (op == kClause22Write || op == kClause22Read) {
            frameKind = Kind::Clause22;
            headerLength = kHeaderBitsClause;
        } else {
            // ST 01 with OP 11 is no frame anybody answers: wait for a preamble.
            state = State::Idle;
        }
        return Event::None;
    }
    if (collected < headerLength) return Event::None;

    if (frameKind == Kind::Register32) {
        portAddress = static_cast<unsigned>(shift >> kKindBits) & 0x1F;
        registerKind = static_cast<unsigned>(shift) & 0x7;
        secondField = 0;
        if ((registerKind & ~kRegister32WriteBit) == kRegister32Unassigned) {
            state = State::Idle;
            return Event::None;
        }
    } else {
        portAddress = static_cast<unsigned>(shift >> kFieldBits) & 0x1F;
        secondField = static_cast<unsigned>(shift) & 0x1F;
    }
    return startTail();
}

MdioFrameDecoder::Event MdioFrameDecoder::startTail() {
    dataBits = frameKind == Kind::Register32 ? kData32Bits : kDataBits;
    shift = 0;
    if (hasAddress32()) {
        state = State::Address;
        bitsLeft = kData32Bits;
    } else {
        state = State::Turnaround;
        bitsLeft = kTurnaroundBits;
    }
    return Event::Header;
}

}  // namespace mdiosim
