// Devices on a K8 board's I2C bus. The bus (SCL on ADBUS0, SDA on the wire
// joining ADBUS1 and ADBUS2, both pulled up) decodes START, repeated START,
// STOP, the address byte and every data byte from the line levels, and calls
// the device addressed; a device answers with acknowledges and the bytes it
// sends. An address nobody answers is not acknowledged and reads as 0xFF, the
// level of the released line.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "mdiosim/Export.h"

namespace mdiosim {

enum class I2cDeviceKind : std::uint8_t {
    // An I2C-to-MDIO bridge in front of one PHY of the board. Each transaction
    // starts with an op byte: operation in bits 7..5, the MMD or the 32-bit
    // half selector in bits 4..0. Operations 0 (set the Clause 45 address),
    // 1 (Clause 45 write), 4 (set one half of a 32-bit address) and 5 (write
    // one half of a 32-bit value; the low half completes the write) take two
    // data bytes, low byte first. Operations 3 (Clause 45 read) and 7 (read
    // one half of a 32-bit value; reading the low half reads the register and
    // keeps its high half) answer two bytes, low byte first, after a repeated
    // START with the read bit.
    MdioBridge,
    // A device of 32-bit registers: a write sends the address (four bytes,
    // most significant first) and optionally a value (four bytes, least
    // significant first); a read returns the value at the last address, least
    // significant byte first, then the following registers.
    Registers32,
    // A serial EEPROM of the 24C family: a write sets the memory address
    // (`addressBytes` bytes, most significant first; with one address byte a
    // part larger than 256 bytes takes the rest of the memory address from
    // the low bits of its I2C address, so it answers size / 256 addresses),
    // and further bytes go into the page buffer, their address wrapping
    // within the page; the STOP starts the write cycle, during which the part
    // acknowledges nothing. A read returns bytes from the address on,
    // wrapping at the end of the memory.
    Eeprom,
};

struct I2cDeviceDescription {
    I2cDeviceKind kind = I2cDeviceKind::Eeprom;
    unsigned address = 0x50;                    // 7-bit I2C address
    unsigned phyAddress = 0;                    // MdioBridge: the MDIO port address of its PHY
    unsigned size = 256;                        // Eeprom: bytes; a fresh one reads 0xFF
    unsigned addressBytes = 1;                  // Eeprom: 1 or 2
    unsigned pageSize = 0;                      // Eeprom: bytes a write can take; 0: the memory
    double writeCycleSeconds = 0;               // Eeprom: busy after a write's STOP
    std::map<unsigned, std::uint8_t> contents;  // Eeprom: offset -> byte
    std::map<std::uint32_t, std::uint32_t> registers32;  // Registers32: address -> value
};

// Sets an EEPROM description's size, addressing, page size and write-cycle
// time to those of a part of the 24C family ("24C02", "24C32", ... "24C512");
// false for a name it does not know.
MDIOSIM_API bool applyEepromModel(I2cDeviceDescription& description, std::string_view model);
// The part names applyEepromModel knows, separated by commas.
MDIOSIM_API std::string eepromModelNames();

// One transfer on the bus as an analyser shows it: from a START (or repeated
// START) to the next START or STOP.
struct I2cTransfer {
    std::uint8_t address = 0;  // 7-bit
    bool read = false;
    bool acknowledged = false;        // the address byte was acknowledged
    std::vector<std::uint8_t> bytes;  // data bytes, written or read

    bool operator==(const I2cTransfer&) const = default;
};

class MDIOSIM_API I2cDevice {
  public:
    virtual ~I2cDevice();
    I2cDevice(const I2cDevice&) = delete;
    I2cDevice& operator=(const I2cDevice&) = delete;

    unsigned address() const { return i2cAddress; }
    I2cDeviceKind kind() const { return deviceKind; }

    // --- storage, for tests (no bus traffic). Kinds without it read 0xFF / 0.
    // Eeprom bytes by offset.
    virtual std::uint8_t byte(unsigned offset) const;
    virtual void setByte(unsigned offset, std::uint8_t value);
    // Registers32 registers by address.
    virtual std::uint32_t register32(std::uint32_t address) const;
    virtual void setRegister32(std::uint32_t address, std::uint32_t value);

    // --- what the bus asks of the device
    // Whether the device answers this 7-bit bus address.
    virtual bool answers(unsigned busAddress) const { return busAddress == i2cAddress; }
    // Its address came after a START: begin a transfer. True to acknowledge.
    virtual bool addressed(unsigned busAddress, bool read) = 0;
    // The master wrote a byte. True to acknowledge.
    virtual bool received(std::uint8_t byte) = 0;
    // The next byte to send in a read.
    virtual std::uint8_t transmit() = 0;
    // A START that addressed another device: the transfer is abandoned.
    virtual void stopped() {}
    // A STOP: the transfer ends, as an abandoned one does unless the device
    // acts on the STOP itself (an EEPROM starts its write cycle).
    virtual void stopCondition() { stopped(); }

  protected:
    I2cDevice(unsigned address, I2cDeviceKind kind) : i2cAddress(address), deviceKind(kind) {}

  private:
    unsigned i2cAddress;
    I2cDeviceKind deviceKind;
};

}  // namespace mdiosim
