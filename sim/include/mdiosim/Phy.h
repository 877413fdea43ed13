// The register model of one PHY: the 32 Clause 22 registers, sparse Clause 45
// registers per MMD with one address register per MMD, a 32-bit register
// space with its current-address pointer, and the chip's indirect paths
// (ChipModel). Clause 22 registers 13 and 14 reach the Clause 45 registers
// (IEEE 802.3 annex 22D). The PHY's management interface
// decodes frames from the MDIO line and calls the frame operations below;
// tests read and set registers directly.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>

#include "mdiosim/ChipModel.h"
#include "mdiosim/Description.h"
#include "mdiosim/Export.h"

namespace mdiosim {

class MDIOSIM_API Phy {
  public:
    explicit Phy(const PhyDescription& description);

    unsigned address() const { return portAddress; }
    unsigned preambleBits() const { return preamble; }
    bool acceptsPreambleSuppression() const { return suppression; }
    // Ones the PHY needs before a start bit: 0 when it accepts suppression.
    unsigned requiredPreamble() const { return suppression ? 0 : preamble; }
    // Also sets bit 6 of the Clause 22 status register (1) to match, as the
    // PHY's description does when it is built; setClause22 stores any value,
    // so a test can make a PHY whose status register promises otherwise.
    void setPreamble(unsigned bits, bool acceptsSuppression);
    bool implementsPostReadIncrement() const { return postReadIncrement; }
    void setPostReadIncrement(bool implemented) { postReadIncrement = implemented; }

    // --- direct register access for tests (no frame, no side effect)
    std::uint16_t clause22(unsigned registerAddress) const;
    void setClause22(unsigned registerAddress, std::uint16_t value);
    std::uint16_t clause45(unsigned mmd, std::uint16_t registerAddress) const;
    void setClause45(unsigned mmd, std::uint16_t registerAddress, std::uint16_t value);
    std::uint16_t clause45AddressRegister(unsigned mmd) const;
    std::uint32_t register32(std::uint32_t address) const;
    void setRegister32(std::uint32_t address, std::uint32_t value);
    std::uint32_t register32Pointer() const { return pointer32; }
    void setRegister32Pointer(std::uint32_t address) { pointer32 = address; }
    // The chip's indirect paths: their knobs and the registers behind them.
    ChipModel& chip() { return chipModel; }
    const ChipModel& chip() const { return chipModel; }

    // --- what management frames do (IEEE 802.3 Clause 22 and 45, and the
    // 32-bit register frame)
    void clause45AddressFrame(unsigned mmd, std::uint16_t registerAddress);
    void clause45WriteFrame(unsigned mmd, std::uint16_t value);
    std::uint16_t clause45ReadFrame(unsigned mmd, bool postIncrement);
    void clause22WriteFrame(unsigned registerAddress, std::uint16_t value);
    std::uint16_t clause22ReadFrame(unsigned registerAddress);
    // Kinds 0..2: read at `address` / at the pre-incremented pointer / at the pointer.
    std::uint32_t register32ReadFrame(unsigned kind, std::uint32_t address);
    // Kinds 4..6: the same three ways of addressing, for writes.
    void register32WriteFrame(unsigned kind, std::uint32_t address, std::uint32_t data);

  private:
    static std::uint32_t clause45Key(unsigned mmd, std::uint16_t registerAddress) {
        return (static_cast<std::uint32_t>(mmd & 0x1F) << 16) | registerAddress;
    }
    std::uint32_t addressFor(unsigned kind, std::uint32_t address);
    void showSuppressionInStatus();
    // A Clause 45 register access as the chip sees it, from a frame or from
    // Clause 22 registers 13 and 14.
    void clause45Write(unsigned mmd, std::uint16_t registerAddress, std::uint16_t value);
    std::uint16_t clause45Read(unsigned mmd, std::uint16_t registerAddress);
    // Clause 22 register 14 under the function and MMD in register 13.
    void mmdAccessWrite(std::uint16_t value);
    std::uint16_t mmdAccessRead();

    unsigned portAddress;
    unsigned preamble;
    bool suppression;
    bool postReadIncrement;
    std::uint32_t step32;
    std::array<std::uint16_t, 32> registers22{};
    std::array<std::uint16_t, 32> mmdAddress{};
    std::unordered_map<std::uint32_t, std::uint16_t> registers45;
    std::unordered_map<std::uint32_t, std::uint32_t> registers32;
    std::uint32_t pointer32 = 0;
    ChipModel chipModel;
};

}  // namespace mdiosim
