// One board of the bench: its USB identity, its FTDI chip, the PHYs on its
// MDIO bus and, for the older family, its board controller. Tests reach the
// PHYs and the board's state here and arm the board's faults.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mdiosim/Counters.h"
#include "mdiosim/Description.h"
#include "mdiosim/Export.h"
#include "mdiosim/I2cDevice.h"
#include "mdiosim/Phy.h"

namespace mdiosim {

class BoardHardware;
class TransactionLog;

// One byte of MPSSE pins: the output latch, the direction (1 = output), the
// drive-only-zero mask and the level each pin's wire is at.
struct PinState {
    std::uint8_t value = 0;
    std::uint8_t direction = 0;
    std::uint8_t driveOnlyZero = 0;
    std::uint8_t levels = 0xFF;
};

// The chip's mode and clock set-up.
struct ChipState {
    std::uint8_t bitMode = 0;   // 0 reset (byte pipe), 2 MPSSE
    std::uint16_t divisor = 0;  // set by 0x86
    bool divideBy5 = true;      // 12 MHz master clock instead of 60 MHz
    bool threePhase = false;    // each bit takes 1.5 clock periods
    bool adaptiveClocking = false;
    bool loopback = false;
    double clockHz = 0;           // master / (2 * (divisor + 1))
    std::uint8_t latencyMs = 16;  // FT_SetLatencyTimer
    std::uint32_t readTimeoutMs = 0, writeTimeoutMs = 0;
    // The serial port settings a D2XX program may make (they move no MPSSE pin).
    std::uint32_t baudRate = 9600;
    std::uint8_t wordLength = 8, stopBits = 0, parity = 0;  // FT_SetDataCharacteristics
    std::uint16_t flowControl = 0;                          // FT_SetFlowControl
    std::uint32_t deadmanTimeoutMs = 5000;                  // FT_SetDeadmanTimeout
};

class MDIOSIM_API Board {
  public:
    // The board charges its modeled time by the latency and timing model it
    // is given, which must outlive it (the bench's own).
    Board(unsigned index, const BoardDescription& description, TransactionLog& log,
          const double& usbLatencySeconds, const TimingModel& timing = typicalTiming());
    ~Board();
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    unsigned index() const { return position; }
    const std::string& serialNumber() const { return serial; }
    const std::string& description() const { return text; }
    std::uint32_t chipType() const { return type; }
    bool isControllerBoard() const;

    // --- PHYs
    Phy& phy(unsigned address);  // throws std::out_of_range when there is none
    Phy* findPhy(unsigned address);
    std::vector<unsigned> phyAddresses() const;
    Phy& addPhy(const PhyDescription& description);  // replaces a PHY at the same address

    // --- the I2C bus of a K8 board (SCL on ADBUS0, SDA on ADBUS1/ADBUS2)
    // Adds a device, replacing one at the same address; throws
    // std::logic_error on a board of the older family.
    I2cDevice& addI2cDevice(const I2cDeviceDescription& description);
    I2cDevice* findI2cDevice(unsigned address);
    // Every transfer seen on the bus since the last clear.
    std::vector<I2cTransfer> i2cTraffic() const;
    void clearI2cTraffic();

    // --- inputs driven from outside the chip: bit n set pulls pin n low
    // (pins 0..7 are ADBUS0..7, 8..15 ACBUS0..7); 0 lets every pin go.
    void pullPinsLow(std::uint16_t pins);

    // --- board controller registers (older family; others have none)
    std::uint8_t boardRegister(unsigned registerAddress) const;
    void setBoardRegister(unsigned registerAddress, std::uint8_t value);

    // --- state and counters
    bool plugged() const;
    bool isOpen() const;  // open in this process
    ChipState chip() const;
    PinState lowPins() const;
    PinState highPins() const;
    const Counters& counters() const;
    void resetCounters();

    // --- faults
    // The board disappears from the device list; its open handle fails every
    // call with FT_IO_ERROR from now on.
    void unplug();
    // The board is back in the device list, closed and in its power-on state.
    void replug();
    // Another process holds the device: the device list shows it open with
    // its other fields blank, and FT_OpenEx cannot find it.
    void setOpenElsewhere(bool elsewhere);
    bool openElsewhere() const;
    // Every FT_Write accepts at most `maxBytes` (0: no limit).
    void chunkWrites(unsigned maxBytes);
    // The next `times` FT_Read calls return at most `maxBytes` (0: nothing).
    void shortReads(unsigned times, unsigned maxBytes);
    // The next `times` unknown MPSSE opcodes are answered with FA and the
    // opcode's complement instead of FA and the opcode.
    void wrongSyncAnswers(unsigned times);

    BoardHardware& hardware() { return *parts; }

  private:
    unsigned position;
    std::string serial;
    std::string text;
    std::uint32_t type;
    std::vector<std::unique_ptr<Phy>> phys;
    std::unique_ptr<BoardHardware> parts;
};

}  // namespace mdiosim
