#include "chip/MemoryWindow.h"

#include "chip/ChipRegisters.h"

namespace mdiohost::chip {
namespace {

namespace Window = registers::MemoryWindow;

std::uint32_t byteAddressOf(std::uint32_t registerAddress) {
    return Window::kBase + Window::kBytesPerRegister * registerAddress;
}

// Odd registers are bits 31..16 of their word, even ones bits 15..0.
std::uint32_t dataRegisterOf(std::uint32_t registerAddress) {
    return (registerAddress & Window::kUpperHalfFlag) != 0 ? Window::kDataHigh : Window::kDataLow;
}

}  // namespace

void MemoryWindow::setAddress(std::uint32_t byteAddress) {
    writeRegister(port, Mmd::kVendor1, Window::kAddressHigh,
                  byteAddress >> Window::kAddressHighShift);
    writeRegister(port, Mmd::kVendor1, Window::kAddressLow, byteAddress & Window::kAddressLowMask);
}

bool MemoryWindow::loadWord(std::uint32_t byteAddress) {
    setAddress(byteAddress);
    writeRegister(port, Mmd::kVendor1, Window::kControl, Window::kCommandRead);
    for (std::uint32_t poll = 0; poll < Window::kBusyPollLimit; ++poll) {
        if ((readRegister(port, Mmd::kVendor1, Window::kControl) & Window::kBusy) == 0) return true;
    }
    return false;
}

std::uint32_t MemoryWindow::read(std::uint32_t registerAddress) {
    if (!loadWord(byteAddressOf(registerAddress))) return 0;
    return readRegister(port, Mmd::kVendor1, dataRegisterOf(registerAddress));
}

void MemoryWindow::write(std::uint32_t registerAddress, std::uint32_t value) {
    const std::uint32_t byteAddress = byteAddressOf(registerAddress);
    // The word is now in both data registers; replace one half and store it.
    if (!loadWord(byteAddress)) return;
    setAddress(byteAddress);
    writeRegister(port, Mmd::kVendor1, dataRegisterOf(registerAddress), value);
    // No poll after the store: the next access's own poll waits for it.
    writeRegister(port, Mmd::kVendor1, Window::kControl, Window::kCommandWrite);
}

}  // namespace mdiohost::chip
