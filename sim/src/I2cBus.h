// The I2C bus of a K8 board: SCL on one wire, SDA on another, both pulled up,
// and the devices on it. The bus sees only line levels:
//   - SDA falling while SCL stays high is a START (or a repeated START),
//     SDA rising while SCL stays high a STOP;
//   - a bit is the SDA level at a rising SCL edge;
//   - a device changes what it drives only while SCL is low, right after a
//     falling edge: its acknowledge after the 9th falling edge of a byte it
//     received, and the bits of a byte it sends.
// After the address byte (7 bits and R/W) the addressed device acknowledges;
// an address nobody has is not acknowledged and the line reads 1s.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "LineListener.h"
#include "mdiosim/I2cDevice.h"

namespace mdiosim {

class I2cBus final : public LineListener {
  public:
    I2cBus(std::uint8_t sclPin, std::uint8_t sdaPin);

    // Adds a device, replacing one at the same address.
    I2cDevice& add(std::unique_ptr<I2cDevice> device);
    // The device added at this address.
    I2cDevice* find(unsigned address);
    // The device that answers this bus address (a large EEPROM answers several).
    I2cDevice* answering(unsigned busAddress);

    bool linesChanged(std::uint8_t previous, std::uint8_t current) override;
    // The board lost power: a transfer cut short by it is over, and no
    // device holds SDA low any more (the devices are powered by the board).
    void powerCycle();

    // Every transfer since the last clear, the current one included once it
    // ends: the most recent kMostTransfersKept (older ones go half at a time,
    // so a long run stays within bounds).
    static constexpr std::size_t kMostTransfersKept = std::size_t{1} << 16;
    std::vector<I2cTransfer> traffic;

  private:
    enum class Phase : std::uint8_t {
        Idle,        // no transfer, or one that is not ours to answer
        Address,     // shifting in the address byte
        AddressAck,  // the device drives its acknowledge of the address
        Write,       // shifting in a data byte
        WriteAck,    // the device drives its acknowledge of a data byte
        Read,        // the device shifts a byte out
        ReadAck,     // the master drives its acknowledge of that byte
    };

    void start();
    void stop();
    void rising(bool sda);
    void falling();
    void endTransfer();
    void sendNextByte();
    void driveBit() { driveLow = ((outgoing >> (7 - bitCount)) & 1) == 0; }

    std::uint8_t scl;
    std::uint8_t sda;
    std::vector<std::unique_ptr<I2cDevice>> devices;

    Phase phase = Phase::Idle;
    unsigned bitCount = 0;
    std::uint8_t shift = 0;
    std::uint8_t outgoing = 0;
    bool clocked = false;          // an acknowledge bit was clocked since the phase began
    bool masterAcked = false;      // the master's acknowledge of the last byte read
    bool driveLow = false;         // the device pulls SDA low
    I2cDevice* session = nullptr;  // addressed since the last STOP
    bool inTransfer = false;
    I2cTransfer transfer;
};

}  // namespace mdiosim
