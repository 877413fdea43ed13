// FTDI::K8::Device: one protocol ("I2C", "MDIO" or "JTAG") of a K8 board, an
// FTDI chip driven in MPSSE mode. It brings the chip up after the registry
// opens it (driver settings, clock, pins), makes sure the chip still executes
// MPSSE commands before transfers (the sync check), creates its MDIO engine
// and runs its status LED.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "boards/Device.h"
#include "ftdi/K8Board.h"

namespace FTDI::K8 {

class LED;
class GpioPins;
class I2C_MDIO;

class Device : public FTDI::Device {
  public:
    Device(std::string adapterName, std::string usbSerialNumber, std::string usbDescription,
           std::string protocolName);
    ~Device() override;

    // Stops the LED thread and purges the chip (ignoring failures of either),
    // destroys the engine and forgets the handle; the registry closes it.
    void beforeClose() override;
    // Reset, USB settings, purge, sync check, clock and pin set-up.
    void bringUp() override;
    // Stops and restarts the driver's in-task around a purge of both buffers,
    // then empties the engine's queues.
    void purgeBuffers() override;
    // Creates the engine for the protocol and starts the LED showing it.
    void afterBringUp() override;

    // Makes sure the chip still executes MPSSE commands: it must answer the
    // bad command 0xAB with FA AB. Without `force` at most once a second.
    void syncCheck(bool force);
    // Before every engine transfer: the sync check when it is due.
    void beforeTransfer() override {
        if (lastSync && std::chrono::steady_clock::now() - *lastSync < kSyncInterval) return;
        syncCheck(false);
    }
    // Sends the clock divisor for `rate` Hz; with threePhase, the divisor of
    // three-phase data clocking (each bit takes three half-periods).
    void setClock(std::uint32_t rate, bool threePhase);

    // GPIO pins, forwarded to `gpioPins`: false, with nothing sent, on a
    // board that has none (a board with status LEDs).
    bool setPin(std::uint8_t pin, std::uint8_t level);
    bool getPin(std::uint8_t pin, std::uint8_t& level);
    // Raw I2C, forwarded to the engine when it is the I2C-bridged one;
    // otherwise the write does nothing and the read returns no byte.
    void i2cWrite(std::uint8_t address, const std::vector<std::uint8_t>& bytes);
    std::vector<std::uint8_t> i2cRead(std::uint8_t address, std::uint32_t registerAddress,
                                      std::uint8_t registerLength, std::uint32_t count);
    // Whether every byte written in the last raw I2C transfer was
    // acknowledged; false when there was none or it failed.
    bool lastI2cTransferAcknowledged() const;

    // Set by the factory for a board whose spare pins drive a status LED.
    void markStatusLed() { board.statusLed = true; }

    std::string protocol;
    std::unique_ptr<LED> leds;  // set by the factory
    // Made at each opening for a board without status LEDs; null otherwise.
    std::unique_ptr<GpioPins> gpioPins;
    // Time of the last successful sync check; empty until the first.
    std::optional<std::chrono::steady_clock::time_point> lastSync;

  private:
    // The engine of an I2C adapter; null for other protocols or when closed.
    I2C_MDIO* i2cEngine() const;
};

// The clock divisor the chip needs for `rate` Hz: 60 MHz / (2 * rate) - 1,
// truncated; 0 for rates of 30 MHz and above and for 0. With threePhase the
// divisor is scaled by 2/3, rounded.
std::uint32_t clockDivisor(std::uint32_t rate, bool threePhase);

}  // namespace FTDI::K8
