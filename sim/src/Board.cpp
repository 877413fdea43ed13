#include "mdiosim/Board.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "BoardHardware.h"
#include "I2cDevices.h"

namespace mdiosim {

bool isControllerBoard(std::string_view serialNumber) {
    return !serialNumber.empty() && serialNumber.back() == 'B';
}

Board::Board(unsigned index, const BoardDescription& description, TransactionLog& log,
             const double& usbLatencySeconds, const TimingModel& timing)
    : position(index),
      serial(description.serialNumber),
      text(description.description),
      type(description.chipType),
      parts(std::make_unique<BoardHardware>(index, description.chipType,
                                            mdiosim::isControllerBoard(serial), log,
                                            usbLatencySeconds, timing)) {
    for (const PhyDescription& phyDescription : description.phys)
        addPhy(phyDescription);
    for (const auto& [registerAddress, value] : description.boardRegisters) {
        setBoardRegister(registerAddress, value);
    }
    for (const I2cDeviceDescription& device : description.i2cDevices)
        addI2cDevice(device);
}

Board::~Board() = default;

bool Board::isControllerBoard() const {
    return parts->controller != nullptr;
}

Phy& Board::phy(unsigned address) {
    Phy* found = findPhy(address);
    if (found == nullptr) {
        throw std::out_of_range("board " + serial + " has no PHY at address " +
                                std::to_string(address));
    }
    return *found;
}

Phy* Board::findPhy(unsigned address) {
    for (const std::unique_ptr<Phy>& candidate : phys) {
        if (candidate->address() == address) return candidate.get();
    }
    return nullptr;
}

std::vector<unsigned> Board::phyAddresses() const {
    std::vector<unsigned> addresses;
    for (const std::unique_ptr<Phy>& candidate : phys)
        addresses.push_back(candidate->address());
    std::sort(addresses.begin(), addresses.end());
    return addresses;
}

Phy& Board::addPhy(const PhyDescription& description) {
    auto added = std::make_unique<Phy>(description);
    for (std::unique_ptr<Phy>& existing : phys) {
        if (existing->address() == added->address()) {
            parts->detach(*existing);
            existing = std::move(added);
            parts->attach(*existing);
            return *existing;
        }
    }
    phys.push_back(std::move(added));
    parts->attach(*phys.back());
    return *phys.back();
}

std::uint8_t Board::boardRegister(unsigned registerAddress) const {
    return parts->controller ? parts->controller->boardRegister(registerAddress) : 0;
}

void Board::setBoardRegister(unsigned registerAddress, std::uint8_t value) {
    if (parts->controller) parts->controller->setBoardRegister(registerAddress, value);
}

bool Board::plugged() const {
    return parts->usb.plugged;
}

bool Board::isOpen() const {
    return parts->usb.handle != nullptr;
}

ChipState Board::chip() const {
    ChipState state;
    state.bitMode = parts->chip.bitMode();
    parts->chip.mpsse().describe(state);
    state.latencyMs = parts->usb.latencyMs;
    state.readTimeoutMs = parts->usb.readTimeoutMs;
    state.writeTimeoutMs = parts->usb.writeTimeoutMs;
    const SerialSettings& port = parts->usb.serial;
    state.baudRate = port.baudRate;
    state.wordLength = port.wordLength;
    state.stopBits = port.stopBits;
    state.parity = port.parity;
    state.flowControl = port.flowControl;
    state.deadmanTimeoutMs = port.deadmanTimeoutMs;
    return state;
}

PinState Board::lowPins() const {
    return parts->chip.mpsse().lowPins();
}

PinState Board::highPins() const {
    return parts->chip.mpsse().highPins();
}

const Counters& Board::counters() const {
    return parts->counters;
}

void Board::resetCounters() {
    parts->counters = Counters{};
}

void Board::unplug() {
    if (!parts->usb.plugged) return;
    parts->usb.plugged = false;
    parts->usb.generation += 1;
    parts->powerOn();
}

void Board::replug() {
    if (parts->usb.plugged) return;
    parts->usb.plugged = true;
    parts->powerOn();
}

void Board::setOpenElsewhere(bool elsewhere) {
    parts->usb.openElsewhere = elsewhere;
}

bool Board::openElsewhere() const {
    return parts->usb.openElsewhere;
}

void Board::chunkWrites(unsigned maxBytes) {
    parts->usb.writeChunk = maxBytes;
}

void Board::shortReads(unsigned times, unsigned maxBytes) {
    parts->usb.shortReadsLeft = times;
    parts->usb.shortReadBytes = maxBytes;
}

void Board::wrongSyncAnswers(unsigned times) {
    parts->chip.mpsse().wrongSyncAnswers(times);
}

I2cDevice& Board::addI2cDevice(const I2cDeviceDescription& description) {
    if (parts->controller) {
        throw std::logic_error("board " + serial + " of the older family has no I2C bus");
    }
    I2cDevice& device = parts->i2c().add(makeI2cDevice(description, *this));
    parts->chip.lowByte().settle();
    return device;
}

I2cDevice* Board::findI2cDevice(unsigned address) {
    return parts->i2cBus ? parts->i2cBus->find(address) : nullptr;
}

std::vector<I2cTransfer> Board::i2cTraffic() const {
    return parts->i2cBus ? parts->i2cBus->traffic : std::vector<I2cTransfer>{};
}

void Board::clearI2cTraffic() {
    if (parts->i2cBus) parts->i2cBus->traffic.clear();
}

void Board::pullPinsLow(std::uint16_t pins) {
    if (parts->controller) return;  // a byte pipe has no pins to read
    parts->externalPins.pullLow(static_cast<std::uint8_t>(pins & 0xFF));
    parts->chip.lowByte().settle();
    parts->chip.mpsse().pullHighPinsLow(static_cast<std::uint8_t>(pins >> 8));
}

}  // namespace mdiosim
