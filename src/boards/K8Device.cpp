#include "boards/K8Device.h"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <stdexcept>
#include <thread>

#include "boards/GpioPins.h"
#include "boards/LED.h"
#include "ftdi/ClockRate.h"
#include "ftdi/K8Board.h"
#include "ftdi/UsbLock.h"
#include "ftdi/d2xx/Driver.h"
#include "ftdi/d2xx/DriverFailure.h"
#include "mdio/I2C_MDIO.h"
#include "mdio/K8MDIO.h"
#include "mpsse/MpsseCommands.h"

namespace FTDI::K8 {
namespace {

using Exceptions::throwDeviceConnection;

// LED status codes by protocol.
constexpr StatusCode kMdioStatus = 1;
constexpr StatusCode kI2cStatus = 5;
constexpr StatusCode kJtagStatus = 9;

// The bring-up's setup bytes: at most one clocking command, one drive-only-
// zero command with its two masks, and the five bytes that every K8 chip
// gets. A fixed array whose size the compiler sees (a growing vector's
// inserts draw false buffer-overflow warnings from GCC 12 at -O3).
class SetupBytes {
  public:
    void append(std::initializer_list<std::uint8_t> bytes) {
        if (bytes.size() > stored.size() - used) throw std::logic_error("K8 setup bytes overflow");
        for (std::uint8_t byte : bytes)
            stored[used++] = byte;
    }
    const std::uint8_t* data() const { return stored.data(); }
    std::uint32_t size() const { return static_cast<std::uint32_t>(used); }

  private:
    static constexpr std::size_t kCapacity = 1 + 3 + 5;
    std::array<std::uint8_t, kCapacity> stored{};
    std::size_t used = 0;
};

}  // namespace

std::uint32_t clockDivisor(std::uint32_t rate, bool threePhase) {
    // Computed in 32 bits: rates from 2^31 up wrap around.
    const std::uint32_t halfPeriods = 2u * rate;
    std::uint32_t divisor = 0;
    if (halfPeriods != 0) {
        const double exact = static_cast<double>(Mpsse::kMasterClockHz) / halfPeriods - 1.0;
        // exact > -1, so truncation toward zero makes every negative value 0.
        if (exact > 0) divisor = static_cast<std::uint32_t>(exact);
    }
    if (threePhase) divisor = (2 * divisor + 1) / 3;
    return divisor;
}

Device::Device(std::string adapterName, std::string usbSerialNumber, std::string usbDescription,
               std::string protocolName)
    : FTDI::Device(std::move(adapterName), std::move(usbSerialNumber), std::move(usbDescription)),
      protocol(std::move(protocolName)) {
    board.family = BoardFamily::K8;
    board.protocol = protocolNamed(protocol);
}

// The LED thread writes through this device: it is joined (by the LED's
// destructor) before the base part goes.
Device::~Device() = default;

void Device::bringUp() {
    UsbLockGuard lock(usbLock());
    D2xx::Driver& driver = D2xx::driver();

    const D2xx::Status resetStatus = driver.resetDevice(handle);
    if (resetStatus != D2xx::kOk) throwDeviceConnection(name, "Couldn't reset", resetStatus);

    // All seven settings are made whatever each returns; one failure text
    // covers them all.
    D2xx::Status settings = D2xx::kOk;
    settings |= driver.setUsbParameters(handle, kUsbTransferSize, kUsbTransferSize);
    settings |= driver.setChars(handle, 0, 0, 0, 0);  // no event or error character
    settings |= driver.setTimeouts(handle, kSettingReadTimeoutMs, kWriteTimeoutMs);
    settings |= driver.setLatencyTimer(handle, kLatencyTimerMs);
    settings |= driver.setBitMode(handle, kNoPinMask, D2xx::kBitModeReset);
    settings |= driver.setBitMode(handle, kNoPinMask, D2xx::kBitModeMpsse);
    settings |= driver.setTimeouts(handle, kReadTimeoutMs, kWriteTimeoutMs);
    if (settings != D2xx::kOk) throwDeviceConnection(name, "Couldn't initialize USB", settings);

    purgeBuffers();
    syncCheck(true);

    std::uint32_t chipType = 0;
    std::uint32_t deviceId = 0;
    std::array<char, D2xx::kSerialNumberSize> serial{};
    std::array<char, D2xx::kDescriptionSize> text{};
    const D2xx::Status infoStatus =
        driver.getDeviceInfo(handle, chipType, deviceId, serial.data(), text.data());
    if (infoStatus != D2xx::kOk) {
        throwDeviceConnection(name, "Couldn't get the device info", infoStatus);
    }

    SetupBytes setup;
    if (board.protocol == Protocol::I2c) {
        // I2C wants data stable on both clock edges: three-phase clocking.
        setClock(clockRateFromEnvironment("I2C_CLOCK_HZ", kDefaultI2cClockHz), true);
        setup.append({Mpsse::kEnableThreePhaseClocking});
    } else {
        setClock(clockRateFromEnvironment(protocol + "_CLOCK_HZ", kDefaultMdioClockHz), false);
        setup.append({Mpsse::kDisableThreePhaseClocking});
    }
    // Only the FT232H has drive-only-zero outputs.
    if (chipType == D2xx::kChipTypeFt232h) {
        if (board.protocol == Protocol::I2c) {
            setup.append({Mpsse::kDriveOnlyZero, kOpenDrainI2cPins, kNoOpenDrainPins});
        } else if (board.protocol == Protocol::Mdio) {
            setup.append({Mpsse::kDriveOnlyZero, kNoOpenDrainPins, kNoOpenDrainPins});
        }
    }
    setup.append({Mpsse::kDisableClockDivideBy5, Mpsse::kDisableAdaptiveClocking,
                  Mpsse::kSetDataBitsLow, kClockAndDataHigh, kDriveClockAndData});
    writeBytes(setup.data(), setup.size());
    std::this_thread::sleep_for(kSetupSettle);

    const std::uint8_t loopbackOff = Mpsse::kLoopbackOff;
    writeBytes(&loopbackOff, 1);
    std::this_thread::sleep_for(kLoopbackSettle);
}

void Device::purgeBuffers() {
    UsbLockGuard lock(usbLock());
    D2xx::Driver& driver = D2xx::driver();
    D2xx::Status status = driver.stopInTask(handle);
    if (status != D2xx::kOk) throwDeviceConnection(name, "Couldn't stop in task", status);
    status = driver.purge(handle, D2xx::kPurgeReceive | D2xx::kPurgeTransmit);
    if (status != D2xx::kOk) throwDeviceConnection(name, "Couldn't purge buffers", status);
    status = driver.restartInTask(handle);
    if (status != D2xx::kOk) throwDeviceConnection(name, "Couldn't restart in task", status);
    if (engine) engine->clearAll();
}

void Device::afterBringUp() {
    // An I2C adapter reaches its PHYs through an I2C-to-MDIO bridge; a JTAG
    // adapter has no engine.
    if (board.protocol == Protocol::I2c) {
        engine = std::make_unique<K8::I2C_MDIO>(this);
    } else if (board.protocol == Protocol::Mdio) {
        engine = std::make_unique<K8::MDIO>(this);
    }
    if (!leds) return;
    leds->start();
    if (board.protocol == Protocol::Jtag) {
        leds->addStatus(kJtagStatus);
    } else if (board.protocol == Protocol::Mdio) {
        leds->addStatus(kMdioStatus);
    } else if (board.protocol == Protocol::I2c) {
        leds->addStatus(kI2cStatus);
    }
    // Without status LEDs the spare pins are free for general use; a fresh
    // object each opening starts from the layout's levels.
    gpioPins.reset();
    if (board.hasGpio()) {
        auto pins = std::make_unique<GpioPins>(this);
        if (pins->initPins()) gpioPins = std::move(pins);
    }
}

void Device::beforeClose() {
    if (handle == nullptr) return;
    // The LED is stopped before anything takes the USB lock: its thread's
    // last colour write needs that lock.
    try {
        if (leds) leds->stop();
    } catch (...) {
    }
    try {
        purgeBuffers();
    } catch (...) {
    }
    engine.reset();
    handle = nullptr;
}

void Device::syncCheck(bool force) {
    const auto now = std::chrono::steady_clock::now();
    if (!force && lastSync && now - *lastSync < kSyncInterval) return;

    UsbLockGuard lock(usbLock());
    const std::uint8_t probe = Mpsse::kSyncProbe;
    writeBytes(&probe, 1);
    std::array<std::uint8_t, 2> reply{};
    readBytes(reply.data(), static_cast<std::uint32_t>(reply.size()));
    if (reply[0] != Mpsse::kBadCommandReply || reply[1] != Mpsse::kSyncProbe) {
        throwDeviceConnection(name, "Failed to sync with FTDI chip (command)", D2xx::kOk);
    }
    lastSync = now;
}

bool Device::setPin(std::uint8_t pin, std::uint8_t level) {
    return gpioPins ? gpioPins->setPin(pin, level) : false;
}

bool Device::getPin(std::uint8_t pin, std::uint8_t& level) {
    return gpioPins ? gpioPins->getPin(pin, level) : false;
}

// An I2C adapter's engine is always the I2C-bridged one (afterBringUp).
I2C_MDIO* Device::i2cEngine() const {
    if (board.protocol != Protocol::I2c || !engine) return nullptr;
    return static_cast<I2C_MDIO*>(engine.get());
}

void Device::i2cWrite(std::uint8_t address, const std::vector<std::uint8_t>& bytes) {
    if (I2C_MDIO* bridged = i2cEngine()) bridged->i2cWrite(address, bytes);
}

std::vector<std::uint8_t> Device::i2cRead(std::uint8_t address, std::uint32_t registerAddress,
                                          std::uint8_t registerLength, std::uint32_t count) {
    if (I2C_MDIO* bridged = i2cEngine()) {
        return bridged->i2cRead(address, registerAddress, registerLength, count);
    }
    return {};
}

bool Device::lastI2cTransferAcknowledged() const {
    const I2C_MDIO* bridged = i2cEngine();
    return bridged != nullptr && bridged->lastRawTransferAcknowledged();
}

void Device::setClock(std::uint32_t rate, bool threePhase) {
    const std::uint32_t divisor = clockDivisor(rate, threePhase);
    syncCheck(true);
    // Only the low 16 bits of the divisor exist on the chip.
    const std::array<std::uint8_t, 3> command{Mpsse::kSetClockDivisor,
                                              static_cast<std::uint8_t>(divisor & 0xFF),
                                              static_cast<std::uint8_t>((divisor >> 8) & 0xFF)};
    writeBytes(command.data(), static_cast<std::uint32_t>(command.size()));
}

}  // namespace FTDI::K8
