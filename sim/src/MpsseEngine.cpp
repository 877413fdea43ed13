#include "MpsseEngine.h"

#include <array>
#include <optional>

#include "mpsse/MpsseCommands.h"
#include "mpsse/MpsseStream.h"

namespace mdiosim {

using namespace FTDI::Mpsse;

namespace {

constexpr int kUnknown = -1;
// Chip types (as the device list reports them) of the high-speed chips.
constexpr std::uint32_t kChipTypeFt2232h = 6;
constexpr std::uint32_t kChipTypeFt232h = 8;  // the only chip with 0x9E
// The high-speed chips added the commands 0x8A..0x97 (master clock, three-phase
// clocking, clocks without data, adaptive clocking); the FT2232D's MPSSE
// answers every one of them as invalid.
constexpr std::uint8_t kFirstHighSpeedCommand = 0x8A;
constexpr std::uint8_t kLastHighSpeedCommand = 0x97;
constexpr unsigned kBitsPerByte = 8;
constexpr unsigned kBitLengthMask = 0x07;  // bit-mode lengths count 1..8 bits

// Operand bytes of every non-shifting opcode the chip knows, from the one
// command table.
constexpr std::array<int, 256> operandTable() {
    std::array<int, 256> table{};
    for (int& entry : table)
        entry = kUnknown;
    for (const CommandInfo& info : kCommands)
        table[info.opcode] = info.operandBytes;
    return table;
}
constexpr std::array<int, 256> kOperandBytes = operandTable();

std::uint8_t levelsOf(std::uint8_t value, std::uint8_t direction) {
    // Pins that drive 0 read 0; outputs at 1 and inputs read their pull-up.
    return static_cast<std::uint8_t>(~(direction & ~value));
}

}  // namespace

MpsseEngine::MpsseEngine(std::uint32_t type, Lines& lowByte, Counters& counting,
                         const TimingModel* timingModel)
    : chipType(type), lines(&lowByte), counters(&counting), timing(timingModel) {
    reset();
}

void MpsseEngine::reset() {
    pending.clear();
    lowValue = lowDirection = lowDriveOnlyZero = 0;
    highValue = highDirection = highDriveOnlyZero = 0;
    lines->drive(lowValue, lowDirection);
    divisor = 0;
    divideBy5 = true;
    threePhase = adaptive = loopback = false;
    waiting = Wait::None;
    updateClock();
}

void MpsseEngine::discardPending() {
    pending.clear();
    waiting = Wait::None;
}

void MpsseEngine::execute(const std::uint8_t* bytes, std::size_t count, ReplyQueue& replies) {
    if (pending.empty()) {
        const std::size_t used = run(bytes, count, replies);
        pending.assign(bytes + used, bytes + count);
        return;
    }
    pending.insert(pending.end(), bytes, bytes + count);
    const std::size_t used = run(pending.data(), pending.size(), replies);
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(used));
}

std::size_t MpsseEngine::run(const std::uint8_t* bytes, std::size_t count, ReplyQueue& replies) {
    std::size_t at = 0;
    while (at < count) {
        if (waiting != Wait::None) {
            if (!waitSatisfied()) break;
            waiting = Wait::None;
        }
        const std::size_t used = isShiftCommand(bytes[at])
                                     ? shiftCommand(bytes + at, count - at, replies)
                                     : otherCommand(bytes + at, count - at, replies);
        if (used == 0) break;  // the rest of the command is still to come
        at += used;
        counters->mpsseCommands += 1;
        if (timing != nullptr) counters->commandSeconds += timing->mpsseCommandSeconds;
    }
    return at;
}

std::size_t MpsseEngine::shiftCommand(const std::uint8_t* bytes, std::size_t count,
                                      ReplyQueue& replies) {
    // The stream decoder says where the command ends, or that it is cut short.
    const std::optional<StreamCommand> command = commandAt({bytes, count});
    if (!command) return 0;
    const std::uint8_t opcode = bytes[0];
    const bool bitMode = (opcode & kShiftBitMode) != 0;
    const unsigned lengthField =
        bitMode ? (bytes[1] & kBitLengthMask) : static_cast<unsigned>(bytes[1] | (bytes[2] << 8));
    const ShiftSizes sizes = shiftCommandSizes(opcode, lengthField);
    const std::size_t total = command->length;

    const std::uint8_t* out = bytes + 1 + sizes.lengthOperandBytes;
    const bool writes = (opcode & kShiftWritesData) != 0;
    const bool reads = (opcode & kShiftReadsData) != 0;
    if (bitMode) {
        const std::uint8_t in = shiftBits(opcode, writes ? out[0] : 0, lengthField + 1);
        if (reads) replies.push(in);
    } else {
        for (unsigned index = 0; index <= lengthField; ++index) {
            const std::uint8_t in = shiftBits(opcode, writes ? out[index] : 0, kBitsPerByte);
            if (reads) replies.push(in);
        }
    }
    account(sizes.clockCycles, true);
    return total;
}

// One clock pulse per bit. The leading edge leaves the clock's idle level
// (rising when the clock idles low). Data written on the trailing edge is set
// up before the pulse, data written on the leading edge changes right after
// it; the input is sampled just before its edge, so a listener that answers an
// edge is seen on the next one.
std::uint8_t MpsseEngine::shiftBits(std::uint8_t opcode, std::uint8_t out, unsigned bits) {
    const bool writes = (opcode & kShiftWritesData) != 0;
    const bool reads = (opcode & kShiftReadsData) != 0;
    const bool lsbFirst = (opcode & kShiftLsbFirst) != 0;
    const bool idleHigh = (lowValue & kPinClock) != 0;
    const bool writeOnLeading = ((opcode & kShiftWriteFalling) != 0) == idleHigh;
    const bool readOnLeading = ((opcode & kShiftReadFalling) != 0) == idleHigh;
    std::uint8_t in = 0;

    const auto dataOut = [&](unsigned index) {
        const unsigned shift = lsbFirst ? index : kBitsPerByte - 1 - index;
        const std::uint8_t bit = ((out >> shift) & 1) ? kPinDataOut : 0;
        setLow(static_cast<std::uint8_t>((lowValue & ~kPinDataOut) | bit));
    };
    const auto sample = [&] {
        const std::uint8_t source = loopback ? lowValue : lines->levels();
        const bool level = (source & (loopback ? kPinDataOut : kPinDataIn)) != 0;
        // MSB first shifts in at bit 0, LSB first at bit 7.
        in = lsbFirst ? static_cast<std::uint8_t>((in >> 1) | (level ? 0x80 : 0))
                      : static_cast<std::uint8_t>((in << 1) | (level ? 1 : 0));
    };

    for (unsigned index = 0; index < bits; ++index) {
        if (writes && !writeOnLeading) dataOut(index);
        if (reads && readOnLeading) sample();
        setLow(static_cast<std::uint8_t>(lowValue ^ kPinClock));
        if (writes && writeOnLeading) dataOut(index);
        if (reads && !readOnLeading) sample();
        setLow(static_cast<std::uint8_t>(lowValue ^ kPinClock));
    }
    return in;
}

void MpsseEngine::clockWithoutData(std::uint64_t cycles) {
    for (std::uint64_t cycle = 0; cycle < cycles; ++cycle) {
        setLow(static_cast<std::uint8_t>(lowValue ^ kPinClock));
        setLow(static_cast<std::uint8_t>(lowValue ^ kPinClock));
    }
    account(cycles, false);
}

bool MpsseEngine::knows(std::uint8_t opcode) const {
    if (kOperandBytes[opcode] == kUnknown) return false;
    const bool highSpeedChip = chipType >= kChipTypeFt2232h && chipType <= kChipTypeFt232h;
    if (opcode >= kFirstHighSpeedCommand && opcode <= kLastHighSpeedCommand) return highSpeedChip;
    return opcode != kDriveOnlyZero || chipType == kChipTypeFt232h;
}

void MpsseEngine::badCommand(std::uint8_t opcode, ReplyQueue& replies) {
    replies.push(kBadCommandReply);
    if (garbledAnswers != 0) {
        --garbledAnswers;
        replies.push(static_cast<std::uint8_t>(~opcode));
    } else {
        replies.push(opcode);
    }
    // The chip reports a bad command at once, latency timer or not.
    replies.markFlushed();
}

std::size_t MpsseEngine::otherCommand(const std::uint8_t* bytes, std::size_t count,
                                      ReplyQueue& replies) {
    const std::uint8_t opcode = bytes[0];
    if (!knows(opcode)) {
        badCommand(opcode, replies);
        return 1;
    }
    const std::size_t total = 1 + static_cast<std::size_t>(kOperandBytes[opcode]);
    if (count < total) return 0;

    switch (opcode) {
        case kSetDataBitsLow:
            lowDirection = bytes[2];
            lowValue = bytes[1];
            lines->drive(lowValue, lowDirection);
            break;
        case kReadDataBitsLow:
            replies.push(lines->levels());
            break;
        case kSetDataBitsHigh:
            highValue = bytes[1];
            highDirection = bytes[2];
            break;
        case kReadDataBitsHigh:
            replies.push(
                static_cast<std::uint8_t>(levelsOf(highValue, highDirection) & ~highPulledLow));
            break;
        case kLoopbackOn:
            loopback = true;
            break;
        case kLoopbackOff:
            loopback = false;
            break;
        case kSetClockDivisor:
            divisor = static_cast<std::uint16_t>(bytes[1] | (bytes[2] << 8));
            updateClock();
            break;
        case kSendImmediate:
            // Without it, replies short of a packet wait for the latency timer.
            replies.markFlushed();
            break;
        case kWaitOnIoHigh:
            waiting = Wait::High;
            break;
        case kWaitOnIoLow:
            waiting = Wait::Low;
            break;
        case kDisableClockDivideBy5:
            divideBy5 = false;
            updateClock();
            break;
        case kEnableClockDivideBy5:
            divideBy5 = true;
            updateClock();
            break;
        case kEnableThreePhaseClocking:
            threePhase = true;
            break;
        case kDisableThreePhaseClocking:
            threePhase = false;
            break;
        case kClockBitsNoData:
            clockWithoutData((bytes[1] & kBitLengthMask) + 1u);
            break;
        case kClockBytesNoData:
            clockWithoutData((static_cast<std::uint64_t>(bytes[1] | (bytes[2] << 8)) + 1) *
                             kBitsPerByte);
            break;
        case kEnableAdaptiveClocking:
            adaptive = true;
            break;
        case kDisableAdaptiveClocking:
            adaptive = false;
            break;
        case kDriveOnlyZero:
            lowDriveOnlyZero = bytes[1];
            highDriveOnlyZero = bytes[2];
            break;
        default:
            break;
    }
    return total;
}

bool MpsseEngine::waitSatisfied() const {
    // The chip stalls until GPIOL1 reaches the level; nothing on these boards
    // drives it, so a wait for low stalls until the host purges or resets.
    const bool high = (lines->levels() & kPinWaitOnIo) != 0;
    return waiting == Wait::High ? high : !high;
}

void MpsseEngine::updateClock() {
    const double master = divideBy5 ? kMasterClockDivideBy5Hz : kMasterClockHz;
    cycleSeconds = 2.0 * (divisor + 1.0) / master;
}

void MpsseEngine::account(std::uint64_t cycles, bool dataShift) {
    counters->mdcCycles += cycles;
    // Three-phase data clocking holds each data bit for one and a half periods.
    const double periods = dataShift && threePhase ? 1.5 : 1.0;
    counters->clockSeconds += static_cast<double>(cycles) * periods * cycleSeconds;
}

void MpsseEngine::describe(ChipState& state) const {
    state.divisor = divisor;
    state.divideBy5 = divideBy5;
    state.threePhase = threePhase;
    state.adaptiveClocking = adaptive;
    state.loopback = loopback;
    state.clockHz = 1.0 / cycleSeconds;
}

PinState MpsseEngine::lowPins() const {
    return PinState{lowValue, lowDirection, lowDriveOnlyZero, lines->levels()};
}

PinState MpsseEngine::highPins() const {
    return PinState{highValue, highDirection, highDriveOnlyZero,
                    static_cast<std::uint8_t>(levelsOf(highValue, highDirection) & ~highPulledLow)};
}

}  // namespace mdiosim
