// FTDI::MDIO: the MDIO engine every adapter device owns. The registry queues
// register operations on it per PHY id and later asks it to execute one PHY's
// queue. An operation is queued by appending its encoded frame to the PHY's
// command buffer and, for a read, an entry to the PHY's reply-size list;
// execute returns the values of that PHY's reads in queue order.
//
// This base class holds the per-PHY queues all engines share, does nothing
// for every operation, and checks PHY ids.
#pragma once

#include <cstdint>
#include <vector>

namespace FTDI {

class Device;

using Bytes = std::vector<std::uint8_t>;
using Values = std::vector<std::uint32_t>;

inline constexpr std::uint8_t kDefaultPreambleBits = 32;

class MDIO {
  public:
    MDIO(Device* owner, std::uint32_t highestPhyId);
    virtual ~MDIO();
    MDIO(const MDIO&) = delete;
    MDIO& operator=(const MDIO&) = delete;

    // Clause 45.
    virtual void queueWrite(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress,
                            std::uint16_t value);
    virtual void queueRead(std::uint32_t phyId, std::uint8_t mmd, std::uint16_t registerAddress);
    // Clause 22.
    virtual void queueWriteC22(std::uint32_t phyId, std::uint8_t registerAddress,
                               std::uint16_t value);
    virtual void queueReadC22(std::uint32_t phyId, std::uint8_t registerAddress);
    // 32-bit chip registers.
    virtual void queueWrite32(std::uint32_t phyId, std::uint32_t address, std::uint32_t data);
    virtual void queueRead32(std::uint32_t phyId, std::uint32_t address);
    virtual void queueWrite32PreIncrementAddress(std::uint32_t phyId, std::uint32_t data);
    virtual void queueWrite32CurrentAddress(std::uint32_t phyId, std::uint32_t data);
    virtual void queueRead32PreIncrementAddress(std::uint32_t phyId);
    virtual void queueRead32CurrentAddress(std::uint32_t phyId);

    // Sends the PHY's queue and returns, in queue order, the values saved by
    // earlier automatic executes followed by the values read now.
    virtual Values execute(std::uint32_t phyId);

    virtual void setPreamble(std::uint32_t phyId, std::uint8_t preambleBits);
    virtual void deviceOpened() {}
    virtual void reservedHook() {}
    virtual void clearAll();
    virtual void clear(std::uint32_t phyId);
    // Throws std::runtime_error when phyId exceeds maxPhyId.
    virtual void checkPhyId(std::uint32_t phyId);
    // Executes the PHY's queue early when one more operation might outgrow
    // one USB transfer, keeping the values in savedResults.
    virtual void flushIfFull(std::uint32_t phyId);

    Device* device;  // the owner; not owned
    std::vector<Bytes> commands;
    std::vector<Values> replySizes;
    std::vector<std::uint8_t> preambles;
    std::uint32_t maxPhyId;
    bool autoFlushing = false;
    std::vector<Values> savedResults;
    std::uint32_t deviceParameter = 0;
};

}  // namespace FTDI
