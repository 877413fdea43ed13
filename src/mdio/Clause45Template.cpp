#include "mdio/Clause45Template.h"

#include "mdio/MdioFramePieces.h"
#include "mdio/MpsseFrames.h"

namespace FTDI::K8 {

using namespace MdioFrames;

namespace {

// A 16-bit value out ends the address and write frames: its two bytes are last.
constexpr std::size_t kValueFromEnd = 2;

}  // namespace

void Clause45Template::build(std::uint8_t preambleBits, std::uint32_t portAddress,
                             std::uint8_t mmd) {
    // The images are made by the frame builders themselves, so they cannot
    // differ from the frames the builders queue.
    Mpsse::CommandQueue scratch;
    appendClause45Frame(kClause45Address, preambleBits, portAddress, mmd, 0, scratch);
    const std::size_t addressFrameBytes = scratch.queuedCommands().size();
    appendClause45Frame(kClause45Read, preambleBits, portAddress, mmd, 0, scratch);
    readImage = scratch.queuedCommands();

    scratch.clear();
    appendClause45Frame(kClause45Address, preambleBits, portAddress, mmd, 0, scratch);
    appendClause45Frame(kClause45Write, preambleBits, portAddress, mmd, 0, scratch);
    writeImage = scratch.queuedCommands();

    registerAt = addressFrameBytes - kValueFromEnd;
    valueAt = writeImage.size() - kValueFromEnd;
    preamble = preambleBits;
    device = mmd;
    built = true;
}

}  // namespace FTDI::K8
