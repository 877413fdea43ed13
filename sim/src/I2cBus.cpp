#include "I2cBus.h"

namespace mdiosim {

namespace {
constexpr unsigned kBitsPerByte = 8;
}  // namespace

I2cBus::I2cBus(std::uint8_t sclPin, std::uint8_t sdaPin)
    : LineListener(static_cast<std::uint8_t>(sclPin | sdaPin),
                   static_cast<std::uint8_t>(sclPin | sdaPin)),
      scl(sclPin),
      sda(sdaPin) {}

I2cDevice& I2cBus::add(std::unique_ptr<I2cDevice> device) {
    for (std::unique_ptr<I2cDevice>& existing : devices) {
        if (existing->address() == device->address()) {
            if (session == existing.get()) session = nullptr;
            existing = std::move(device);
            return *existing;
        }
    }
    devices.push_back(std::move(device));
    return *devices.back();
}

I2cDevice* I2cBus::find(unsigned address) {
    for (const std::unique_ptr<I2cDevice>& device : devices) {
        if (device->address() == address) return device.get();
    }
    return nullptr;
}

I2cDevice* I2cBus::answering(unsigned busAddress) {
    for (const std::unique_ptr<I2cDevice>& device : devices) {
        if (device->answers(busAddress)) return device.get();
    }
    return nullptr;
}

bool I2cBus::linesChanged(std::uint8_t previous, std::uint8_t current) {
    const bool wasDriving = driveLow;
    const bool sclBefore = (previous & scl) != 0;
    const bool sclNow = (current & scl) != 0;
    const bool sdaBefore = (previous & sda) != 0;
    const bool sdaNow = (current & sda) != 0;
    if (sclBefore && sclNow) {
        // SDA moved while SCL stayed high: a bus condition, not data.
        if (sdaBefore && !sdaNow) start();
        if (!sdaBefore && sdaNow) stop();
    } else if (!sclBefore && sclNow) {
        rising(sdaNow);
    } else if (sclBefore && !sclNow) {
        falling();
    }
    low = driveLow ? sda : 0;
    return driveLow != wasDriving;
}

void I2cBus::powerCycle() {
    stop();
    low = 0;
}

void I2cBus::start() {
    endTransfer();
    phase = Phase::Address;
    bitCount = 0;
    shift = 0;
    driveLow = false;
}

void I2cBus::stop() {
    endTransfer();
    if (session != nullptr) session->stopCondition();
    session = nullptr;
    phase = Phase::Idle;
    driveLow = false;
}

void I2cBus::endTransfer() {
    if (inTransfer) {
        if (traffic.size() >= kMostTransfersKept) {
            traffic.erase(traffic.begin(),
                          traffic.begin() + static_cast<std::ptrdiff_t>(traffic.size() / 2));
        }
        traffic.push_back(transfer);
    }
    inTransfer = false;
}

void I2cBus::rising(bool level) {
    switch (phase) {
        case Phase::Address:
        case Phase::Write:
            if (bitCount < kBitsPerByte) {
                shift = static_cast<std::uint8_t>(shift << 1 | (level ? 1 : 0));
                ++bitCount;
            }
            break;
        case Phase::Read:
            ++bitCount;
            break;
        case Phase::ReadAck:
            masterAcked = !level;
            clocked = true;
            break;
        case Phase::AddressAck:
        case Phase::WriteAck:
            clocked = true;
            break;
        case Phase::Idle:
            break;
    }
}

void I2cBus::falling() {
    switch (phase) {
        case Phase::Address: {
            if (bitCount < kBitsPerByte) return;
            const unsigned address = shift >> 1;
            const bool read = (shift & 1) != 0;
            I2cDevice* device = answering(address);
            if (session != nullptr && session != device) session->stopped();
            session = device;
            inTransfer = true;
            transfer = I2cTransfer{static_cast<std::uint8_t>(address), read, false, {}};
            transfer.acknowledged = device != nullptr && device->addressed(address, read);
            if (!transfer.acknowledged) {
                session = nullptr;
                phase = Phase::Idle;
                return;
            }
            driveLow = true;
            clocked = false;
            phase = Phase::AddressAck;
            return;
        }
        case Phase::Write: {
            if (bitCount < kBitsPerByte) return;
            transfer.bytes.push_back(shift);
            if (!session->received(shift)) {
                phase = Phase::Idle;  // not acknowledged: the device leaves the bus
                return;
            }
            driveLow = true;
            clocked = false;
            phase = Phase::WriteAck;
            return;
        }
        case Phase::AddressAck:
        case Phase::WriteAck:
            if (!clocked) return;
            driveLow = false;
            bitCount = 0;
            shift = 0;
            if (transfer.read) {
                sendNextByte();
            } else {
                phase = Phase::Write;
            }
            return;
        case Phase::Read:
            if (bitCount < kBitsPerByte) {
                driveBit();
                return;
            }
            driveLow = false;  // the master acknowledges
            clocked = false;
            phase = Phase::ReadAck;
            return;
        case Phase::ReadAck:
            if (!clocked) return;
            if (masterAcked) {
                sendNextByte();
            } else {
                phase = Phase::Idle;  // the last byte: the device lets go until STOP
            }
            return;
        case Phase::Idle:
            return;
    }
}

// The first bit goes on the line at once, before the clock that samples it.
void I2cBus::sendNextByte() {
    outgoing = session->transmit();
    transfer.bytes.push_back(outgoing);
    bitCount = 0;
    phase = Phase::Read;
    driveBit();
}

}  // namespace mdiosim
