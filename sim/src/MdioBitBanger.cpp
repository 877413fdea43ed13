#include "MdioBitBanger.h"

#include "MdioFrame.h"

namespace mdiosim {

using namespace mdio;

namespace {
constexpr std::uint32_t kAllOnes = 0xFFFFFFFF;
constexpr std::uint32_t kWriteTurnaround = 0b10;
}  // namespace

MdioBitBanger::MdioBitBanger(Lines& lines, std::uint8_t mdcPin, std::uint8_t mdioPin,
                             Counters& counting)
    : wires(&lines), mdc(mdcPin), mdio(mdioPin), counters(&counting) {
    // Idle: MDC low, MDIO released.
    wires->drive(0, mdc);
}

void MdioBitBanger::clause45Address(unsigned port, unsigned mmd, std::uint16_t registerAddress) {
    frame(kClause45Address, port, mmd);
    sendBits(kWriteTurnaround, kTurnaroundBits);
    sendBits(registerAddress, kDataBits);
}

void MdioBitBanger::clause45Write(unsigned port, unsigned mmd, std::uint16_t value) {
    frame(kClause45Write, port, mmd);
    sendBits(kWriteTurnaround, kTurnaroundBits);
    sendBits(value, kDataBits);
}

std::uint16_t MdioBitBanger::clause45Read(unsigned port, unsigned mmd) {
    frame(kClause45Read, port, mmd);
    receiveBits(kTurnaroundBits);
    return static_cast<std::uint16_t>(receiveBits(kDataBits));
}

void MdioBitBanger::frame(unsigned opcode, unsigned port, unsigned mmd) {
    sendBits(kAllOnes, kPreambleBits);
    // ST 00, OP, PRTAD, DEVAD
    const std::uint32_t header =
        (opcode << (2 * kFieldBits)) | ((port & 0x1F) << kFieldBits) | (mmd & 0x1F);
    sendBits(header, 2 + 2 + 2 * kFieldBits);
}

void MdioBitBanger::sendBits(std::uint32_t bits, unsigned count) {
    for (unsigned index = count; index-- > 0;)
        clock(true, ((bits >> index) & 1) != 0);
}

std::uint32_t MdioBitBanger::receiveBits(unsigned count) {
    std::uint32_t bits = 0;
    for (unsigned index = 0; index < count; ++index)
        bits = (bits << 1) | (clock(false, true) ? 1 : 0);
    return bits;
}

// One MDC cycle: set MDIO (or release it) while MDC is low, sample it, raise
// MDC, lower MDC. Returns the level sampled.
bool MdioBitBanger::clock(bool drive, bool level) {
    const std::uint8_t direction = drive ? static_cast<std::uint8_t>(mdc | mdio) : mdc;
    const std::uint8_t data = level ? mdio : 0;
    wires->drive(data, direction);
    const bool sampled = (wires->levels() & mdio) != 0;
    wires->drive(static_cast<std::uint8_t>(data | mdc), direction);
    wires->drive(data, direction);
    counters->mdcCycles += 1;
    counters->clockSeconds += 1.0 / kMdcHz;
    return sampled;
}

}  // namespace mdiosim
