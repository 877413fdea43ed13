// A serial EEPROM of the 24C family on a K8 board's I2C bus, as the parts
// behave:
//   - a write starts with the memory address, most significant byte first
//     (one byte up to 2 Kbit, where a part larger than 256 bytes takes the
//     high address bits from the low bits of its I2C address instead);
//   - data bytes go into the page buffer, their address wrapping within the
//     page, and only a STOP writes them: a repeated START abandons them;
//   - for the write cycle after that STOP the part acknowledges nothing, so
//     a host polls its address until it answers;
//   - reads run from the address on and wrap at the end of the memory.
// The write cycle runs in the board's modeled time.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "mdiosim/Counters.h"
#include "mdiosim/I2cDevice.h"

namespace mdiosim {

class I2cEeprom final : public I2cDevice {
  public:
    I2cEeprom(const I2cDeviceDescription& description, const Counters& boardTime);

    std::uint8_t byte(unsigned offset) const override;
    void setByte(unsigned offset, std::uint8_t value) override;
    bool answers(unsigned busAddress) const override;
    bool addressed(unsigned busAddress, bool read) override;
    bool received(std::uint8_t byte) override;
    std::uint8_t transmit() override;
    void stopped() override { pageBuffer.clear(); }
    void stopCondition() override;

  private:
    bool busy() const;
    unsigned blocks() const;  // I2C addresses the part answers
    unsigned nextInPage(unsigned offset) const;

    std::vector<std::uint8_t> memory;
    unsigned addressBytes;
    unsigned pageSize;
    double writeCycleSeconds;
    const Counters* time;
    double writeStarted = 0;
    bool writing = false;

    unsigned pointer = 0;
    unsigned block = 0;             // high address bits from the I2C address
    unsigned incoming = 0;          // memory address bytes so far
    unsigned addressBytesSeen = 0;  // bytes of this write transfer
    std::map<unsigned, std::uint8_t> pageBuffer;
};

}  // namespace mdiosim
