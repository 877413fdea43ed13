// FTDI::Talvik::Device: an adapter of the older board family. Its FTDI chip is
// a plain byte pipe to a board controller that takes five-byte command frames
// (mdio/TalvikFrames.h), so bring-up sets no bit mode, clock or latency: it
// only sends the controller an init frame. The device owns its frame engine
// from construction on, and gives direct access to the board's own 8-bit
// registers.
#pragma once

#include <cstdint>
#include <string>

#include "boards/Device.h"

namespace FTDI::Talvik {

class Device : public FTDI::Device {
  public:
    Device(std::string adapterName, std::string usbSerialNumber, std::string usbDescription);
    ~Device() override;

    void beforeClose() override;
    void bringUp() override;

    // Reads board register `boardRegister`; the USB lock is held from the
    // frame to its reply, so nothing else gets between them.
    std::uint8_t boardRead(std::uint8_t boardRegister);
    // Writes board register `boardRegister` at once, outside any MDIO queue.
    void boardWrite(std::uint8_t boardRegister, std::uint8_t value);
};

}  // namespace FTDI::Talvik
