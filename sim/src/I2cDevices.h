// The devices a bench can put on a K8 board's I2C bus (mdiosim/I2cDevice.h
// says what each does on the bus).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "mdiosim/I2cDevice.h"

namespace mdiosim {

class Board;

class I2cMdioBridge final : public I2cDevice {
  public:
    I2cMdioBridge(unsigned address, Board& board, unsigned phyAddress);

    bool addressed(unsigned busAddress, bool read) override;
    bool received(std::uint8_t byte) override;
    std::uint8_t transmit() override;
    void stopped() override { written = 0; }

  private:
    void carryOut();
    std::uint32_t address32() const {
        return static_cast<std::uint32_t>(addressHalves[1]) << 16 | addressHalves[0];
    }

    Board* board;
    unsigned phy;
    std::uint8_t op = 0;
    unsigned written = 0;  // bytes received in this transaction, the op byte included
    std::uint16_t data = 0;
    std::array<std::uint16_t, 2> addressHalves{};
    std::uint16_t dataHigh = 0;       // waits for the low half to complete a write
    std::uint16_t readHigh = 0xFFFF;  // kept by a read of the low half
    std::uint16_t answer = 0xFFFF;
    unsigned sent = 0;
};

class I2cRegisters32 final : public I2cDevice {
  public:
    I2cRegisters32(unsigned address, std::map<std::uint32_t, std::uint32_t> initial);

    std::uint32_t register32(std::uint32_t address) const override;
    void setRegister32(std::uint32_t address, std::uint32_t value) override;
    bool addressed(unsigned busAddress, bool read) override;
    bool received(std::uint8_t byte) override;
    std::uint8_t transmit() override;

  private:
    std::map<std::uint32_t, std::uint32_t> registers;
    std::uint32_t pointer = 0;
    std::uint32_t incoming = 0;
    unsigned count = 0;  // bytes of this transaction
};

std::unique_ptr<I2cDevice> makeI2cDevice(const I2cDeviceDescription& description, Board& board);

}  // namespace mdiosim
