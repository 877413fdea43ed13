#include "mdiosim/Phy.h"

#include <optional>

namespace mdiosim {
namespace {

constexpr unsigned kRegisterMask = 0x1F;  // 5-bit REGAD, DEVAD

// 32-bit register frame kinds: the low two bits say how the frame addresses
// its register, bit 2 says write.
constexpr unsigned kKindAtAddress = 0;
constexpr unsigned kKindPreIncrement = 1;
constexpr unsigned kKindAddressMask = 3;

// Clause 22 registers 13 and 14: Clause 45 access (IEEE 802.3 annex 22D).
constexpr unsigned kMmdAccessControl = 13;
constexpr unsigned kMmdAccessAddressData = 14;
constexpr unsigned kMmdAccessFunctionShift = 14;
constexpr unsigned kFunctionAddress = 0b00;
constexpr unsigned kFunctionDataIncrement = 0b10;
constexpr unsigned kFunctionDataIncrementOnWrite = 0b11;

// Clause 22 status register: bit 6 says the PHY accepts management frames
// with the preamble suppressed (IEEE 802.3 22.2.4.2.11).
constexpr unsigned kStatusRegister = 1;
constexpr std::uint16_t kStatusPreambleSuppression = 0x0040;

}  // namespace

Phy::Phy(const PhyDescription& description)
    : portAddress(description.address & kRegisterMask),
      preamble(description.preambleBits),
      suppression(description.acceptsPreambleSuppression),
      postReadIncrement(description.implementsPostReadIncrement),
      step32(description.register32Step),
      chipModel(description.chip) {
    for (const auto& [registerAddress, value] : description.clause22) {
        setClause22(registerAddress, value);
    }
    for (const auto& [mmd, registers] : description.clause45) {
        for (const auto& [registerAddress, value] : registers) {
            setClause45(mmd, registerAddress, value);
        }
    }
    for (const auto& [address, value] : description.registers32)
        setRegister32(address, value);
    showSuppressionInStatus();
}

void Phy::setPreamble(unsigned bits, bool acceptsSuppression) {
    preamble = bits;
    suppression = acceptsSuppression;
    showSuppressionInStatus();
}

std::uint16_t Phy::clause22(unsigned registerAddress) const {
    return registers22[registerAddress & kRegisterMask];
}

void Phy::showSuppressionInStatus() {
    std::uint16_t& status = registers22[kStatusRegister];
    status = static_cast<std::uint16_t>((status & ~kStatusPreambleSuppression) |
                                        (suppression ? kStatusPreambleSuppression : 0));
}

void Phy::setClause22(unsigned registerAddress, std::uint16_t value) {
    registers22[registerAddress & kRegisterMask] = value;
}

std::uint16_t Phy::clause45(unsigned mmd, std::uint16_t registerAddress) const {
    // Registers nobody set read as zero, as unimplemented registers do.
    const auto found = registers45.find(clause45Key(mmd, registerAddress));
    return found == registers45.end() ? 0 : found->second;
}

void Phy::setClause45(unsigned mmd, std::uint16_t registerAddress, std::uint16_t value) {
    registers45[clause45Key(mmd, registerAddress)] = value;
}

std::uint16_t Phy::clause45AddressRegister(unsigned mmd) const {
    return mmdAddress[mmd & kRegisterMask];
}

std::uint32_t Phy::register32(std::uint32_t address) const {
    const auto found = registers32.find(address);
    return found == registers32.end() ? 0 : found->second;
}

void Phy::setRegister32(std::uint32_t address, std::uint32_t value) {
    registers32[address] = value;
}

void Phy::clause45AddressFrame(unsigned mmd, std::uint16_t registerAddress) {
    mmdAddress[mmd & kRegisterMask] = registerAddress;
}

void Phy::clause45Write(unsigned mmd, std::uint16_t registerAddress, std::uint16_t value) {
    setClause45(mmd, registerAddress, value);
    chipModel.written(*this, mmd & kRegisterMask, registerAddress, value);
}

std::uint16_t Phy::clause45Read(unsigned mmd, std::uint16_t registerAddress) {
    const std::optional<std::uint16_t> answer =
        chipModel.read(*this, mmd & kRegisterMask, registerAddress);
    return answer ? *answer : clause45(mmd, registerAddress);
}

void Phy::clause45WriteFrame(unsigned mmd, std::uint16_t value) {
    clause45Write(mmd, mmdAddress[mmd & kRegisterMask], value);
}

std::uint16_t Phy::clause45ReadFrame(unsigned mmd, bool postIncrement) {
    std::uint16_t& address = mmdAddress[mmd & kRegisterMask];
    const std::uint16_t value = clause45Read(mmd, address);
    // Clause 45 op 10: post-read-increment-address.
    if (postIncrement) ++address;
    return value;
}

void Phy::clause22WriteFrame(unsigned registerAddress, std::uint16_t value) {
    if ((registerAddress & kRegisterMask) == kMmdAccessAddressData) return mmdAccessWrite(value);
    setClause22(registerAddress, value);
}

std::uint16_t Phy::clause22ReadFrame(unsigned registerAddress) {
    if ((registerAddress & kRegisterMask) == kMmdAccessAddressData) return mmdAccessRead();
    return clause22(registerAddress);
}

// Register 13 holds the function in bits 15..14 and the MMD in bits 4..0.
// Function 00 makes register 14 the MMD's address register; the others make
// it the addressed register itself, 10 incrementing the address after every
// access and 11 after writes only.
void Phy::mmdAccessWrite(std::uint16_t value) {
    const std::uint16_t control = clause22(kMmdAccessControl);
    const unsigned mmd = control & kRegisterMask;
    const unsigned function = control >> kMmdAccessFunctionShift;
    std::uint16_t& address = mmdAddress[mmd];
    if (function == kFunctionAddress) {
        address = value;
        return;
    }
    clause45Write(mmd, address, value);
    if (function == kFunctionDataIncrement || function == kFunctionDataIncrementOnWrite) ++address;
}

std::uint16_t Phy::mmdAccessRead() {
    const std::uint16_t control = clause22(kMmdAccessControl);
    const unsigned mmd = control & kRegisterMask;
    const unsigned function = control >> kMmdAccessFunctionShift;
    std::uint16_t& address = mmdAddress[mmd];
    if (function == kFunctionAddress) return address;
    const std::uint16_t value = clause45Read(mmd, address);
    if (function == kFunctionDataIncrement) ++address;
    return value;
}

std::uint32_t Phy::addressFor(unsigned kind, std::uint32_t address) {
    switch (kind & kKindAddressMask) {
        case kKindAtAddress:
            pointer32 = address;
            break;
        case kKindPreIncrement:
            pointer32 += step32;
            break;
        default:  // the current address
            break;
    }
    return pointer32;
}

std::uint32_t Phy::register32ReadFrame(unsigned kind, std::uint32_t address) {
    return register32(addressFor(kind, address));
}

void Phy::register32WriteFrame(unsigned kind, std::uint32_t address, std::uint32_t data) {
    setRegister32(addressFor(kind, address), data);
}

}  // namespace mdiosim
