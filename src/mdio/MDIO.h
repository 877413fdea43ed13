// FTDI::MDIO: the MDIO engine every adapter device owns. The registry queues
// register operations on it per PHY id and later asks it to execute one PHY's
// queue. An operation is queued by appending its encoded frames to the PHY's
// command queue, a read together with the reply slot its value comes from;
// execute sends the queue in one transfer and returns the values of that
// PHY's reads in queue order.
//
// This base class holds the per-PHY queues, the one execute every engine
// shares, does nothing for every operation, and checks PHY ids.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "mpsse/CommandQueue.h"

namespace FTDI {

class Device;

using Bytes = std::vector<std::uint8_t>;
using Values = std::vector<std::uint32_t>;

inline constexpr std::uint8_t kDefaultPreambleBits = 32;

class MDIO {
  public:
    MDIO(Device* owner, std::uint32_t highestPhyId, Mpsse::Framing framing = {});
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

    // Under the USB lock: the link's before-transfer hook, one write of the
    // PHY's queue, one read of its replies. Returns, in queue order, the
    // values collected by earlier early executes and the values read now.
    Values execute(std::uint32_t phyId);
    // The same into `results`, whose storage the queue takes over in turn:
    // a caller that keeps its list allocates nothing per execute.
    void execute(std::uint32_t phyId, Values& results);

    void setPreamble(std::uint32_t phyId, std::uint8_t preambleBits);
    std::uint8_t preamble(std::uint32_t phyId) const { return preambles[phyId]; }
    virtual void deviceOpened() {}
    void clearAll();
    virtual void clear(std::uint32_t phyId);
    // Throws std::runtime_error when phyId exceeds the highest PHY id.
    void checkPhyId(std::uint32_t phyId) const {
        if (phyId > maxPhyId) throwPhyIdOutOfRange(phyId);
    }
    std::uint32_t highestPhyId() const { return maxPhyId; }

    // The access mode the host chose for the adapter (0 or 1).
    void setDeviceParameter(std::uint32_t value) { parameter = value; }
    std::uint32_t deviceParameter() const { return parameter; }

    // What is queued for a PHY and not yet sent.
    const Mpsse::CommandQueue& queueOf(std::uint32_t phyId) const { return queues[phyId]; }

  protected:
    Mpsse::CommandQueue& queueFor(std::uint32_t phyId) { return queues[phyId]; }
    // Executes the PHY's queue early when one more operation might outgrow
    // one USB transfer; its values wait in the queue for the next execute.
    void flushIfFull(std::uint32_t phyId) {
        if (queues[phyId].dueForEarlyExecute(framing)) transfer(phyId);
    }
    // One transfer of the queue at `index` under the USB lock, values kept.
    void transfer(std::uint32_t index);
    // Whether the values collected by earlier early executes outlive an
    // execute that fails. They do on K8 engines; the older family's engine
    // hands them to the execute, so they are lost with it.
    virtual bool keepsCollectedValuesOnFailure() const { return true; }
    // Engines with a queue beyond the PHY ids (the raw I2C queue) add it here.
    void addQueues(std::size_t count) { queues.resize(queues.size() + count); }
    // The bytes every later transfer ends with (the lines' rest levels).
    void setTransferClosing(std::span<const std::uint8_t> closing) { framing.closing = closing; }

    Device* device;  // the owner; not owned

  private:
    [[noreturn]] void throwPhyIdOutOfRange(std::uint32_t phyId) const;

    std::vector<Mpsse::CommandQueue> queues;
    std::vector<std::uint8_t> preambles;
    std::uint32_t maxPhyId;
    Mpsse::Framing framing;
    std::uint32_t parameter = 0;
};

}  // namespace FTDI
