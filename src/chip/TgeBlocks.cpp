#include "chip/TgeBlocks.h"

#include <cstdio>

#include "chip/ChipRegisters.h"

namespace mdiohost::chip {
namespace {

namespace Tge = registers::Tge;

struct TgeAddress {
    std::uint32_t blockId;
    std::uint32_t offset;
};

TgeAddress split(std::uint32_t registerAddress) {
    return {(registerAddress >> Tge::kBlockIdShift) & Tge::kBlockIdMask,
            registerAddress & Tge::kOffsetMask};
}

bool supported(const TgeAddress& address) {
    if (address.blockId <= Tge::kHighestBlockId) return true;
    std::fprintf(stderr, "Error: unsupported TGE register block ID: %u\n", address.blockId);
    std::fflush(stderr);
    return false;
}

std::uint32_t storeBlock0(std::uint32_t block0Register) {
    return Tge::kStoreBlock0 | (block0Register & Tge::kBlock0RegisterMask);
}

std::uint32_t loadBlock0(std::uint32_t block0Register) {
    return Tge::kLoadBlock0 | (block0Register & Tge::kBlock0RegisterMask);
}

// The word stored into block-0 register 0x14 for blocks 1 to 3: the
// direction, S = block id - 1 in bits 8..7, the offset's bits 6..0.
std::uint32_t blockAddressWord(std::uint32_t direction, const TgeAddress& address) {
    const std::uint32_t select = (address.blockId - 1) & Tge::kBlockSelectMask;
    return direction | (select << Tge::kBlockSelectShift) |
           (address.offset & Tge::kBlockOffsetMask);
}

}  // namespace

void TgeBlocks::command(std::uint32_t commandWord) {
    writeRegister(port, Mmd::kTgeAccess, Tge::kCommand, commandWord);
}

void TgeBlocks::data(std::uint32_t value) {
    writeRegister(port, Mmd::kTgeAccess, Tge::kData, value);
}

void TgeBlocks::write(std::uint32_t registerAddress, std::uint32_t value) {
    const TgeAddress address = split(registerAddress);
    if (!supported(address)) return;
    data(value);
    if (address.blockId == 0) {
        command(storeBlock0(address.offset));
        return;
    }
    command(storeBlock0(Tge::kBlockWriteDataRegister));
    data(blockAddressWord(Tge::kBlockWrite, address));
    command(storeBlock0(Tge::kBlockAddressRegister));
}

std::uint32_t TgeBlocks::read(std::uint32_t registerAddress) {
    const TgeAddress address = split(registerAddress);
    if (!supported(address)) return 0;
    if (address.blockId == 0) {
        command(loadBlock0(address.offset));
    } else {
        data(blockAddressWord(Tge::kBlockRead, address));
        command(storeBlock0(Tge::kBlockAddressRegister));
        command(loadBlock0(Tge::kBlockReadDataRegister));
    }
    return readRegister(port, Mmd::kTgeAccess, Tge::kData);
}

}  // namespace mdiohost::chip
