// What a board is made of behind its USB connector: the FTDI chip, the wires
// on its low byte and what listens to them (a K8 board's MDIO bus), or the
// older family's board controller behind the byte pipe; and the USB device
// state the driver keeps for it.
#pragma once

#include <cstdint>
#include <memory>

#include "BoardController.h"
#include "ExternalPins.h"
#include "FtdiChip.h"
#include "I2cBus.h"
#include "MdioBus.h"
#include "mdiosim/Board.h"
#include "mdiosim/Counters.h"

namespace mdiosim {

// The serial port settings of a device, kept as the driver keeps them: the
// boards use the MPSSE or the byte pipe, which none of them changes.
struct SerialSettings {
    std::uint32_t baudRate = 9600;
    std::uint8_t wordLength = 8;
    std::uint8_t stopBits = 0;  // 0: one stop bit, 2: two
    std::uint8_t parity = 0;    // none, odd, even, mark, space
    std::uint16_t flowControl = 0;
    std::uint8_t xon = 0x11, xoff = 0x13;
    std::uint32_t deadmanTimeoutMs = 5000;
};

// Driver-side state of one USB device.
struct UsbDeviceState {
    bool plugged = true;
    bool openElsewhere = false;
    std::uint64_t generation = 0;  // changes at every unplug: old handles go stale
    void* handle = nullptr;        // the handle while open in this process
    std::uint32_t readTimeoutMs = 0;
    std::uint32_t writeTimeoutMs = 0;
    std::uint8_t latencyMs = 16;
    bool inTaskStopped = false;
    SerialSettings serial;
    bool lastTransferWasWrite = false;  // a read right after it completes its round trip
    // faults
    unsigned writeChunk = 0;
    unsigned shortReadsLeft = 0;
    unsigned shortReadBytes = 0;
};

class BoardHardware {
  public:
    BoardHardware(unsigned boardIndex, std::uint32_t chipType, bool controllerBoard,
                  TransactionLog& log, const double& usbLatencySeconds, const TimingModel& timing);

    void attach(Phy& phy);
    void detach(const Phy& phy);
    // Power-on: chip reset, the device closed with the driver's default settings.
    void powerOn();
    // One USB transfer: counts a round trip unless it completes a write's.
    void countTransfer(bool isWrite);
    // The bulk packets `bytes` of payload take (each IN packet also carries
    // two status bytes); every packet after the first costs its time.
    void countPackets(std::size_t bytes, bool isWrite);
    // A read; `heldBack` when it took replies the chip sends only once its
    // latency timer runs out (charged when the timing model says so).
    void countLatencyTimer(bool heldBack);

    Counters counters;
    UsbDeviceState usb;
    FtdiChip chip;
    std::unique_ptr<BoardController> controller;  // older family only
    std::unique_ptr<MdioBus> mdioBus;             // K8 boards only; wired with the first PHY
    std::unique_ptr<I2cBus> i2cBus;               // K8 boards with I2C devices
    ExternalPins externalPins;                    // K8 boards: switches on inputs

    // The board's I2C bus, made when the first device joins it.
    I2cBus& i2c();

  private:
    const double* latency;
    const TimingModel* timing;
    std::size_t packetBytes;
    bool mdioWired = false;  // the MDIO bus listens to the wires (the board has PHYs)
};

}  // namespace mdiosim
