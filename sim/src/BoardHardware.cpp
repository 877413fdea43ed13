#include "BoardHardware.h"

#include "UsbRequests.h"
#include "mpsse/MpsseCommands.h"

namespace mdiosim {

using FTDI::Mpsse::kPinClock;
using FTDI::Mpsse::kPinDataIn;
using FTDI::Mpsse::kPinDataOut;

namespace {
// On a K8 board the MDIO line reaches the MPSSE's data output and data input.
constexpr std::uint8_t kMdioWire = kPinDataOut | kPinDataIn;
}  // namespace

BoardHardware::BoardHardware(unsigned boardIndex, std::uint32_t chipType, bool controllerBoard,
                             TransactionLog& log, const double& usbLatencySeconds,
                             const TimingModel& timingModel)
    : chip(chipType, controllerBoard ? 0 : kMdioWire, counters, &timingModel),
      latency(&usbLatencySeconds),
      timing(&timingModel),
      packetBytes(usb::bulkPacketBytes(chipType)) {
    if (controllerBoard) {
        controller = std::make_unique<BoardController>(log, boardIndex, counters);
        chip.connectBytePipe(controller.get());
    } else {
        // MDC is the MPSSE clock; the bus sees MDIO on the data-input side of
        // the wire, which is where the line's level shows. It joins the wires
        // with its first PHY: a board without PHYs has no MDIO bus wired, and
        // its monitor must not read frames into I2C traffic.
        mdioBus = std::make_unique<MdioBus>(kPinClock, kPinDataIn, log, boardIndex, counters);
        chip.lowByte().attach(externalPins);
    }
}

I2cBus& BoardHardware::i2c() {
    if (!i2cBus) {
        // SCL is the MPSSE clock; SDA is the same joined wire as MDIO.
        i2cBus = std::make_unique<I2cBus>(kPinClock, kPinDataIn);
        chip.lowByte().attach(*i2cBus);
    }
    return *i2cBus;
}

void BoardHardware::attach(Phy& phy) {
    if (controller) {
        controller->bus().attach(phy);
        controller->wires().settle();
    } else {
        if (!mdioWired) {
            chip.lowByte().attach(*mdioBus);
            mdioWired = true;
        }
        mdioBus->attach(phy);
        chip.lowByte().settle();
    }
}

void BoardHardware::detach(const Phy& phy) {
    if (controller) {
        controller->bus().detach(phy);
        controller->wires().settle();
    } else {
        mdioBus->detach(phy);
        chip.lowByte().settle();
    }
}

void BoardHardware::powerOn() {
    // The I2C devices sit on the board and lose power with it; the PHYs of
    // the bench are powered apart and keep their state, also mid-frame.
    if (i2cBus) i2cBus->powerCycle();
    chip.reset();
    chip.lowByte().settle();
    // Armed faults and other processes' claims outlive the power cycle.
    const UsbDeviceState defaults;
    usb.handle = nullptr;
    usb.readTimeoutMs = defaults.readTimeoutMs;
    usb.writeTimeoutMs = defaults.writeTimeoutMs;
    usb.latencyMs = defaults.latencyMs;
    usb.inTaskStopped = false;
    usb.serial = defaults.serial;
    usb.lastTransferWasWrite = false;
}

void BoardHardware::countTransfer(bool isWrite) {
    const bool completesRoundTrip = !isWrite && usb.lastTransferWasWrite;
    usb.lastTransferWasWrite = isWrite;
    if (completesRoundTrip) return;
    counters.roundTrips += 1;
    counters.usbSeconds += *latency;
}

void BoardHardware::countPackets(std::size_t bytes, bool isWrite) {
    if (bytes == 0) return;
    const std::size_t payload = isWrite ? packetBytes : packetBytes - usb::kStatusBytes;
    const std::size_t packets = (bytes + payload - 1) / payload;
    counters.usbPackets += packets;
    counters.packetSeconds += static_cast<double>(packets - 1) * timing->usbPacketSeconds;
}

void BoardHardware::countLatencyTimer(bool heldBack) {
    if (heldBack && timing->latencyTimer) counters.latencyTimerSeconds += usb.latencyMs / 1000.0;
}

}  // namespace mdiosim
