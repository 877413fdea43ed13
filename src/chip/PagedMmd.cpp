#include "chip/PagedMmd.h"

#include "chip/ChipRegisters.h"

namespace mdiohost::chip {
namespace {

namespace Paged = registers::Paged;

bool inWindow(std::uint32_t registerAddress) {
    return registerAddress <= Paged::kHighestWindowAddress;
}

}  // namespace

std::uint8_t reverseBits(std::uint8_t value) {
    std::uint8_t reversed = 0;
    for (int bit = 0; bit < 8; ++bit) {
        reversed = static_cast<std::uint8_t>((reversed << 1) | ((value >> bit) & 1u));
    }
    return reversed;
}

void PagedMmd::selectPage(std::uint32_t page) {
    const std::uint32_t current = readRegister(port, Mmd::kPhyXs, Paged::kPageSelect);
    writeRegister(port, Mmd::kPhyXs, Paged::kPageSelect, (current & Paged::kKeepAbovePage) | page);
}

std::uint32_t PagedMmd::windowRegister(std::uint32_t registerAddress) {
    return Paged::kWindowBase + (registerAddress & Paged::kWindowIndexMask);
}

std::uint32_t PagedMmd::read(std::uint32_t registerAddress) {
    if ((registerAddress & Paged::kSelectorAddressFlag) != 0) return readSelector(registerAddress);
    if (!inWindow(registerAddress)) return 0;
    selectPage(registerAddress >> Paged::kPageShift);
    return readRegister(port, Mmd::kPhyXs, windowRegister(registerAddress));
}

void PagedMmd::write(std::uint32_t registerAddress, std::uint32_t value) {
    if (!inWindow(registerAddress)) return;
    selectPage(registerAddress >> Paged::kPageShift);
    writeRegister(port, Mmd::kPhyXs, windowRegister(registerAddress), value);
}

std::uint32_t PagedMmd::readSelector(std::uint32_t registerAddress) {
    const std::uint32_t page = (registerAddress >> Paged::kPageShift) & Paged::kSelectorPageMask;
    const std::uint32_t index = registerAddress & Paged::kSelectorIndexMask;
    if (page > Paged::kHighestSelectorPage || index > Paged::kHighestSelectorIndex) return 0;
    selectPage(0);
    const auto selector = static_cast<std::uint8_t>((page << Paged::kSelectorPageShift) | index);
    writeRegister(port, Mmd::kPhyXs, Paged::kSelector, reverseBits(selector));
    const std::uint32_t low = readRegister(port, Mmd::kPhyXs, Paged::kResultLow);
    const std::uint32_t high = readRegister(port, Mmd::kPhyXs, Paged::kResultHigh);
    return low | ((high & Paged::kResultHighMask) << Paged::kResultHighShift);
}

}  // namespace mdiohost::chip
