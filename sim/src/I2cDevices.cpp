#include "I2cDevices.h"

#include <stdexcept>
#include <string>

#include "I2cEeprom.h"
#include "mdiosim/Board.h"

namespace mdiosim {

namespace {

constexpr unsigned kBitsPerByte = 8;
constexpr std::uint8_t kReleasedLine = 0xFF;

// Bridge op byte: operation in bits 7..5, a 5-bit field below it.
constexpr unsigned kOperationShift = 5;
constexpr std::uint8_t kFieldMask = 0x1F;
constexpr unsigned kSetAddress = 0;
constexpr unsigned kWrite = 1;
constexpr unsigned kRead = 3;
constexpr unsigned kSetAddressHalf = 4;
constexpr unsigned kWriteHalf = 5;
constexpr unsigned kReadHalf = 7;
constexpr unsigned kOpAndDataBytes = 3;
// The 32-bit register frame kinds the bridge uses: read and write at an address.
constexpr unsigned kRegister32ReadAt = 0;
constexpr unsigned kRegister32WriteAt = 4;

constexpr unsigned kRegisterBytes = 4;

}  // namespace

I2cDevice::~I2cDevice() = default;
std::uint8_t I2cDevice::byte(unsigned) const {
    return kReleasedLine;
}
void I2cDevice::setByte(unsigned, std::uint8_t) {}
std::uint32_t I2cDevice::register32(std::uint32_t) const {
    return 0;
}
void I2cDevice::setRegister32(std::uint32_t, std::uint32_t) {}

// --- the bridge

I2cMdioBridge::I2cMdioBridge(unsigned address, Board& owner, unsigned phyAddress)
    : I2cDevice(address, I2cDeviceKind::MdioBridge), board(&owner), phy(phyAddress) {}

bool I2cMdioBridge::addressed(unsigned, bool read) {
    if (!read) {
        written = 0;
        return true;
    }
    // A read follows a repeated START after the op byte; the bridge runs the
    // MDIO cycles now and sends the result.
    sent = 0;
    answer = 0xFFFF;  // no PHY: MDIO reads all ones
    Phy* target = board->findPhy(phy);
    const unsigned field = op & kFieldMask;
    switch (op >> kOperationShift) {
        case kRead:
            if (target != nullptr) answer = target->clause45ReadFrame(field, false);
            break;
        case kReadHalf:
            if (field == 0) {
                const std::uint32_t value =
                    target != nullptr ? target->register32ReadFrame(kRegister32ReadAt, address32())
                                      : 0xFFFFFFFF;
                answer = static_cast<std::uint16_t>(value);
                readHigh = static_cast<std::uint16_t>(value >> 16);
            } else {
                answer = readHigh;
            }
            break;
        default:
            break;
    }
    return true;
}

bool I2cMdioBridge::received(std::uint8_t byte) {
    if (written >= kOpAndDataBytes) return false;
    if (written == 0) {
        op = byte;
    } else if (written == 1) {
        data = byte;
    } else {
        data = static_cast<std::uint16_t>(data | byte << kBitsPerByte);
        carryOut();
    }
    ++written;
    return true;
}

void I2cMdioBridge::carryOut() {
    Phy* target = board->findPhy(phy);
    const unsigned field = op & kFieldMask;
    const bool highHalf = field != 0;
    switch (op >> kOperationShift) {
        case kSetAddress:
            if (target != nullptr) target->clause45AddressFrame(field, data);
            break;
        case kWrite:
            if (target != nullptr) target->clause45WriteFrame(field, data);
            break;
        case kSetAddressHalf:
            addressHalves[highHalf ? 1 : 0] = data;
            break;
        case kWriteHalf:
            if (highHalf) {
                dataHigh = data;
            } else if (target != nullptr) {
                target->register32WriteFrame(kRegister32WriteAt, address32(),
                                             static_cast<std::uint32_t>(dataHigh) << 16 | data);
            }
            break;
        default:
            break;
    }
}

std::uint8_t I2cMdioBridge::transmit() {
    const unsigned index = sent++;
    if (index >= 2) return kReleasedLine;
    return static_cast<std::uint8_t>(answer >> (kBitsPerByte * index));
}

// --- 32-bit registers

I2cRegisters32::I2cRegisters32(unsigned address, std::map<std::uint32_t, std::uint32_t> initial)
    : I2cDevice(address, I2cDeviceKind::Registers32), registers(std::move(initial)) {}

std::uint32_t I2cRegisters32::register32(std::uint32_t address) const {
    const auto found = registers.find(address);
    return found == registers.end() ? 0 : found->second;
}

void I2cRegisters32::setRegister32(std::uint32_t address, std::uint32_t value) {
    registers[address] = value;
}

bool I2cRegisters32::addressed(unsigned, bool) {
    count = 0;
    incoming = 0;
    return true;
}

bool I2cRegisters32::received(std::uint8_t byte) {
    if (count >= 2 * kRegisterBytes) return false;
    if (count < kRegisterBytes) {
        incoming = incoming << kBitsPerByte | byte;  // address: most significant first
        if (count == kRegisterBytes - 1) {
            pointer = incoming;
            incoming = 0;
        }
    } else {
        const unsigned index = count - kRegisterBytes;  // value: least significant first
        incoming |= static_cast<std::uint32_t>(byte) << (kBitsPerByte * index);
        if (index == kRegisterBytes - 1) registers[pointer] = incoming;
    }
    ++count;
    return true;
}

std::uint8_t I2cRegisters32::transmit() {
    const std::uint32_t value = register32(pointer + kRegisterBytes * (count / kRegisterBytes));
    const unsigned index = count % kRegisterBytes;
    ++count;
    return static_cast<std::uint8_t>(value >> (kBitsPerByte * index));
}

std::unique_ptr<I2cDevice> makeI2cDevice(const I2cDeviceDescription& description, Board& board) {
    switch (description.kind) {
        case I2cDeviceKind::MdioBridge:
            return std::make_unique<I2cMdioBridge>(description.address, board,
                                                   description.phyAddress);
        case I2cDeviceKind::Registers32:
            return std::make_unique<I2cRegisters32>(description.address, description.registers32);
        case I2cDeviceKind::Eeprom:
            return std::make_unique<I2cEeprom>(description, board.counters());
    }
    throw std::invalid_argument("unknown I2C device kind");
}

}  // namespace mdiosim
