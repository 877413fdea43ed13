// FTDI::K8::I2C_MDIO: the MDIO engine of a K8 adapter whose protocol is I2C.
// PHY registers sit behind an I2C-to-MDIO bridge on the board's I2C bus, so
// every queued MDIO or 32-bit operation becomes one or two short I2C
// transactions with the bridge, and the "PHY id" is the bridge's 7-bit I2C
// address (0 to 127). As on the MDIO engine, execute sends one address's
// whole queue in one USB write and reads every reply in one USB read.
//
// With device parameter 1 (raw mode) the 32-bit operations skip the bridge
// and talk to a 32-bit register device at the address with plain transactions.
//
// One more queue, after the last bridge address, carries the raw I2C
// transactions behind i2cWrite and i2cRead; MDIO operations never touch it.
#pragma once

#include <cstdint>

#include "ftdi/I2cMaster.h"
#include "mdio/MDIO.h"

namespace FTDI::K8 {

class I2C_MDIO : public FTDI::MDIO {
  public:
    static constexpr std::uint32_t kHighestI2cAddress = 127;
    static constexpr std::uint32_t kRawI2cQueue = kHighestI2cAddress + 1;

    explicit I2C_MDIO(FTDI::AdapterPort* owner);
    ~I2C_MDIO() override;

    void queueWrite(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress,
                    std::uint16_t value) override;
    void queueRead(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress) override;
    void queueWrite32(std::uint32_t phyId, std::uint32_t address, std::uint32_t data) override;
    void queueRead32(std::uint32_t phyId, std::uint32_t address) override;

    // The bridge has no Clause 22 form and no pre-increment or current-address
    // 32-bit form. These throw std::runtime_error (naming the adapter and the
    // operation) before anything is queued: MDIO bit frames sent on the I2C
    // lines would only confuse the bus, and their replies would never be read.
    void queueWriteC22(std::uint32_t phyId, std::uint8_t registerAddress,
                       std::uint16_t value) override;
    void queueReadC22(std::uint32_t phyId, std::uint8_t registerAddress) override;
    void queueWrite32PreIncrementAddress(std::uint32_t phyId, std::uint32_t data) override;
    void queueWrite32CurrentAddress(std::uint32_t phyId, std::uint32_t data) override;
    void queueRead32PreIncrementAddress(std::uint32_t phyId) override;
    void queueRead32CurrentAddress(std::uint32_t phyId) override;

    // Raw I2C on the raw queue, each a whole transfer of its own.
    void i2cWrite(std::uint8_t address, const I2c::Bytes& bytes);
    // Writes the `registerLength` (at most 4) low bytes of `registerAddress`,
    // least significant first, in a transaction of its own, then reads
    // `count` bytes in a second one. registerLength 0 makes an address-only
    // write.
    I2c::Bytes i2cRead(std::uint8_t address, std::uint32_t registerAddress,
                       std::uint8_t registerLength, std::uint32_t count);
    // Whether the slave acknowledged every byte written in the last raw
    // transfer (the address bytes included); false after a failed one.
    bool lastRawTransferAcknowledged() const { return rawAcknowledged; }
    const Mpsse::CommandQueue& rawQueue() const { return queueOf(kRawI2cQueue); }

  private:
    // Sends the raw queue under the USB lock after the sync check; returns
    // the data bytes. A failure empties the raw queue, so no half-sent
    // transaction is sent again by the next call.
    I2c::Bytes runRawI2c();
    void refuse(const char* operation) const;
    void queueRaw32(std::uint32_t phyId, std::uint32_t address, const std::uint32_t* data);

    bool rawAcknowledged = false;
};

// Appends one bridge transaction for `operation` (I2cBridgeFrames.h) to the
// bridge at `address`. Set and write operations carry `data`, low byte first;
// read operations ignore it, turn the bus around with a repeated START and
// put their two bytes into `readInto`.
void appendBridgeFrame(std::uint8_t operation, std::uint32_t address, std::uint8_t field,
                       std::uint16_t data, Mpsse::CommandQueue& queue,
                       Mpsse::ReplySlot readInto = {});

}  // namespace FTDI::K8
